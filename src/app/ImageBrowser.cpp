#include "app/ImageBrowser.h"

#include "app/QuietLoad.h"
#include "app/ThumbnailList.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FshPixelFormat.h"
#include "pictures/FshQImage.h"
#include "pictures/Thumbnail.h"
#include "tools/TplPages.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <cstring>
#include <string_view>

namespace {

constexpr int kGridSide = 64;
constexpr int kLargeSide = 160;
constexpr int kPageRole = Qt::UserRole + 10;

QImage PageImage(const std::vector<std::uint8_t>& rgba) {
    QImage page(kTplPageSize, kTplPageSize, QImage::Format_RGBA8888);
    std::memcpy(page.bits(), rgba.data(), std::min<std::size_t>(rgba.size(), page.sizeInBytes()));
    return page;
}

} // namespace

CImageBrowser::CImageBrowser(QWidget* parent) : QWidget(parent) {
    m_pagesSwitch = new QCheckBox(QStringLiteral("TPL pages"));
    m_grid = new QListWidget;
    m_grid->setViewMode(QListView::IconMode);
    m_grid->setResizeMode(QListView::Adjust);
    m_grid->setMovement(QListView::Static);
    m_grid->setGridSize(QSize(kGridSide + 100, kGridSide + 2 * fontMetrics().height()));
    m_grid->setWordWrap(true);
    m_thumbnails = new CThumbnailList(*m_grid, kGridSide);
    m_picture = new QLabel;
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumHeight(kLargeSide);
    m_details = new QLabel;
    m_details->setTextFormat(Qt::PlainText);
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pagesSwitch);
    layout->addWidget(m_grid, 3);
    layout->addWidget(m_picture);
    layout->addWidget(m_details);

    connect(m_pagesSwitch, &QCheckBox::toggled, this, &CImageBrowser::ShowGrid);
    connect(m_grid, &QListWidget::itemClicked, this, &CImageBrowser::OnClicked);
    connect(m_grid, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { OnClicked(item); });
}

CImageBrowser::~CImageBrowser() = default;

void CImageBrowser::Reload(const std::string& path) {
    m_path = path;
    m_problem.clear();
    // The thumbnails must not reach the old reader once it is gone.
    m_thumbnails->SetArchive(nullptr);
    m_archive = std::make_unique<CFshFile>();
    std::string problem;
    if (!path.empty() && !LoadQuietly(*m_archive, path, problem)) {
        m_problem = QString::fromStdString(problem);
    }
    ShowGrid();
}

void CImageBrowser::ShowGrid() {
    m_grid->clear();
    m_picture->clear();
    m_details->clear();
    m_pages.clear();
    if (!m_archive || !m_archive->IsLoaded()) {
        m_details->setText(m_path.empty() ? QStringLiteral("No FSH file given.") : m_problem);
        return;
    }
    if (m_pagesSwitch->isChecked()) {
        ShowPages();
    } else {
        ShowImages();
    }
}

void CImageBrowser::ShowImages() {
    m_thumbnails->SetArchive(m_archive.get());
    const auto entries = m_archive->Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        new QListWidgetItem(QString::fromLatin1(entries[i].name.data()), m_grid);
        m_thumbnails->Describe(static_cast<int>(i), static_cast<std::int32_t>(i));
    }
    m_thumbnails->FillVisible();
}

void CImageBrowser::ShowPages() {
    const std::string tplPath = TplPathFor(m_path);
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(tplPath, bytes)) {
        m_details->setText(QStringLiteral("No TPL file at %1 yet: \"Create TPL file\" writes it.")
                               .arg(QString::fromStdString(tplPath)));
        return;
    }
    std::vector<TplSlot> layoutSlots;
    std::int32_t pages = 0;
    std::string problem;
    if (!ReadTplLayout(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                       layoutSlots, pages, problem)) {
        m_details->setText(QStringLiteral("%1 is not a TPL layout: %2")
                               .arg(QString::fromStdString(tplPath), QString::fromStdString(problem)));
        return;
    }
    MatchTplSlots(*m_archive, layoutSlots);
    std::vector<std::string> problems;
    for (const auto& page : ComposeTplPages(*m_archive, layoutSlots, pages, problems)) {
        m_pages.push_back(PageImage(page));
    }
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        auto* item = new QListWidgetItem(
            QIcon(QPixmap::fromImage(ThumbnailOf(m_pages[i], kGridSide))),
            QStringLiteral("page %1").arg(i), m_grid);
        item->setData(kPageRole, static_cast<int>(i));
    }
    QString unmatched;
    for (const TplSlot& slot : layoutSlots) {
        if (slot.entry < 0) {
            unmatched += QStringLiteral(" ") + QString::fromStdString(slot.name);
        }
    }
    m_details->setText(QStringLiteral("%1: %2 pages").arg(QString::fromStdString(tplPath)).arg(pages) +
                       (unmatched.isEmpty() ? QString()
                                            : QStringLiteral("; not in the archive:") + unmatched));
}

void CImageBrowser::OnClicked(QListWidgetItem* item) {
    if (item == nullptr || !m_archive) {
        return;
    }
    if (m_pagesSwitch->isChecked()) {
        const int page = item->data(kPageRole).toInt();
        if (page >= 0 && page < static_cast<int>(m_pages.size())) {
            m_picture->setPixmap(QPixmap::fromImage(ThumbnailOf(m_pages[std::size_t(page)], kLargeSide)));
            m_details->setText(QStringLiteral("page %1  256 x 256").arg(page));
        }
        return;
    }
    const std::int32_t entry = item->data(CThumbnailList::kEntryRole).toInt();
    const FshEntry* described = m_archive->GetEntry(entry);
    if (described == nullptr) {
        return;
    }
    FshImageInfo info;
    std::string problem;
    const bool known = m_archive->DescribeImage(entry, info, problem);
    QString why;
    m_picture->setPixmap(QPixmap::fromImage(Thumbnail(*m_archive, entry, kLargeSide, why)));
    const std::string_view format = FshPixelFormatName(info.format);
    m_details->setText(
        QStringLiteral("%1  %2 x %3  %4  offset %5%6")
            .arg(QString::fromLatin1(described->name.data()))
            .arg(info.width)
            .arg(info.height)
            .arg(known ? QString::fromLatin1(format.data(), qsizetype(format.size())) : QStringLiteral("?"))
            .arg(described->offset)
            .arg(why.isEmpty() && problem.empty()
                     ? QString()
                     : QStringLiteral("\n") + (why.isEmpty() ? QString::fromStdString(problem) : why)));
}
