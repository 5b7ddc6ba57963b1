#include "app/ThumbnailList.h"

#include "gamefiles/FshFile.h"
#include "pictures/Thumbnail.h"

#include <QEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>

CThumbnailList::CThumbnailList(QListWidget& list, int side)
    : QObject(&list), m_list(list), m_side(side) {
    m_list.setIconSize(QSize(side, side));
    m_list.setUniformItemSizes(true);
    m_list.setItemDelegate(new CSizedNameDelegate(&m_list));
    m_list.viewport()->installEventFilter(this);
    for (QScrollBar* bar : {m_list.verticalScrollBar(), m_list.horizontalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, &CThumbnailList::FillVisible);
    }
}

void CThumbnailList::Describe(int row, std::int32_t entry) {
    QListWidgetItem* item = m_list.item(row);
    if (item == nullptr || m_archive == nullptr) {
        return;
    }
    const FshRecordHeader record = m_archive->RecordHeader(entry);
    item->setData(kEntryRole, entry);
    item->setData(kSizeRole, QStringLiteral("%1 x %2").arg(record.width).arg(record.height));
    // An empty picture of the final size keeps the rows' height from the start.
    QPixmap blank(m_side, m_side);
    blank.fill(Qt::transparent);
    item->setIcon(QIcon(blank));
    item->setData(kShownRole, false);
}

void CThumbnailList::FillVisible() {
    const QRect view = m_list.viewport()->rect();
    for (int row = 0; row < m_list.count(); ++row) {
        QListWidgetItem* item = m_list.item(row);
        if (m_archive == nullptr || !item->data(kEntryRole).isValid() ||
            item->data(kShownRole).toBool() || !m_list.visualItemRect(item).intersects(view)) {
            continue;
        }
        QString why;
        const QImage thumbnail =
            Thumbnail(*m_archive, item->data(kEntryRole).toInt(), m_side, why);
        item->setIcon(QIcon(QPixmap::fromImage(thumbnail)));
        item->setData(kShownRole, true);
        if (!why.isEmpty()) {
            item->setToolTip(QStringLiteral("Cannot be shown: %1").arg(why));
        }
    }
}

bool CThumbnailList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::Resize) {
        // After the layout has placed the rows.
        QTimer::singleShot(0, this, &CThumbnailList::FillVisible);
    }
    return QObject::eventFilter(watched, event);
}

void CSizedNameDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString size = index.data(CThumbnailList::kSizeRole).toString();
    if (!size.isEmpty()) {
        option->text += QStringLiteral("  ") + size;
    }
}
