#pragma once

#include "gamefiles/FshFile.h"

#include <QWidget>

#include <memory>
#include <vector>

class CThumbnailList;
class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

// The View tab's archive side: the images as a grid of thumbnails with
// their names, and below it the one clicked, larger, with its name, size,
// format and offset. "TPL pages" shows instead the pages of the TPL file
// beside the archive, read from that file.
class CImageBrowser : public QWidget {
    Q_OBJECT

public:
    explicit CImageBrowser(QWidget* parent = nullptr);
    ~CImageBrowser() override;

    // Shows the archive at `path` (none when empty). A file that does not
    // load shows the loader's message instead.
    void Reload(const std::string& path);

    // The archive shown; null when none loaded.
    [[nodiscard]] const CFshFile* Archive() const {
        return m_archive && m_archive->IsLoaded() ? m_archive.get() : nullptr;
    }
    // Why the archive did not load; empty when it did.
    [[nodiscard]] const QString& Problem() const { return m_problem; }
    [[nodiscard]] QListWidget* Grid() const { return m_grid; }
    [[nodiscard]] QLabel* Details() const { return m_details; }
    [[nodiscard]] QCheckBox* PagesSwitch() const { return m_pagesSwitch; }

private:
    void ShowGrid();
    void ShowImages();
    void ShowPages();
    void OnClicked(QListWidgetItem* item);

    std::unique_ptr<CFshFile> m_archive;
    std::string m_path;
    QString m_problem; // why the archive did not load, if it did not
    std::vector<QImage> m_pages;
    QListWidget* m_grid;
    CThumbnailList* m_thumbnails; // the grid's, for the archive's images
    QLabel* m_picture;
    QLabel* m_details;
    QCheckBox* m_pagesSwitch;
};
