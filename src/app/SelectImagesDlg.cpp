#include "app/SelectImagesDlg.h"

#include "app/ThumbnailList.h"
#include "gamefiles/FshFile.h"
#include "tools/ImageSelection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kThumbnailSide = 64;

} // namespace

CSelectImagesDlg::CSelectImagesDlg(CImageSelection& selection, const CFshFile& archive,
                                   QWidget* parent)
    : QDialog(parent), m_selection(selection) {
    setWindowTitle(QStringLiteral("Select images"));

    m_countLabel = new QLabel(QStringLiteral("999 of 1111 images selected to use in ravfile"));
    m_countLabel->setObjectName(QStringLiteral("1041"));
    m_countLabel->setTextFormat(Qt::PlainText);
    m_countLabel->setWordWrap(true);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("1040"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* thumbnails = new CThumbnailList(*m_list, kThumbnailSide);
    thumbnails->SetArchive(&archive);
    const std::int32_t entries = archive.header.entryCount;
    for (const CImageSelection::Item& item : selection.Items()) {
        auto* row = new QListWidgetItem(QString::fromStdString(item.name), m_list);
        row->setData(Qt::UserRole, item.data);
        if (item.data >= 0 && item.data < entries) {
            thumbnails->Describe(m_list->count() - 1, item.data);
        }
    }
    // The caret starts on the first row without selecting it, so the keyboard
    // has a place to begin.
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("2"));
    buttons->addWidget(ok);
    buttons->addStretch();
    buttons->addWidget(cancel);
    connect(ok, &QPushButton::clicked, this, &CSelectImagesDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelectImagesDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_countLabel);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    // Room for several rows of pictures.
    const int em = fontMetrics().height();
    resize(sizeHint().expandedTo(QSize(22 * em, 36 * em)));

    ShowSelection();
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            &CSelectImagesDlg::OnSelchangeImageList);
}

void CSelectImagesDlg::OnSelchangeImageList() {
    for (int row = 0; row < m_list->count(); ++row) {
        m_selection.SetSelected(static_cast<std::size_t>(row), m_list->item(row)->isSelected());
    }
    // The current row is the one the user just clicked or moved to.
    m_selection.SelectionChanged(m_list->currentRow());
    ShowSelection();
}

void CSelectImagesDlg::ShowSelection() {
    {
        // Undoing a selection beyond the cap is not a change by the user.
        const QSignalBlocker blocker(m_list);
        const auto& items = m_selection.Items();
        for (int row = 0; row < m_list->count(); ++row) {
            QListWidgetItem* item = m_list->item(row);
            const bool selected = items[static_cast<std::size_t>(row)].selected;
            if (item->isSelected() != selected) {
                item->setSelected(selected);
            }
        }
    }
    if (const std::optional<std::string> label = m_selection.Label()) {
        m_countLabel->setText(QString::fromStdString(*label));
    }
}
