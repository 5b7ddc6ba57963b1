#pragma once

#include <QWidget>

#include <string>

class CImageBrowser;
class CSceneView;
class QComboBox;
class QLabel;
class QPushButton;

// The View tab's content: the scene picture with "Fit", the top/front
// switch and a status line naming the object under the cursor, and beside
// it the archive's images. It reads the files itself, quietly: a file that
// does not load shows the loader's message in the view, not in the log.
class CViewPane : public QWidget {
    Q_OBJECT

public:
    explicit CViewPane(QWidget* parent = nullptr);

    // Reads the RAV file and the archive again, keeping zoom and pan.
    void Reload(const std::string& ravPath, const std::string& fshPath);

    [[nodiscard]] CSceneView* Scene() const { return m_scene; }
    [[nodiscard]] CImageBrowser* Images() const { return m_images; }
    [[nodiscard]] QPushButton* FitButton() const { return m_fit; }
    [[nodiscard]] QComboBox* AxesChoice() const { return m_axes; }
    [[nodiscard]] QLabel* Status() const { return m_status; }

private:
    CSceneView* m_scene;
    CImageBrowser* m_images;
    QPushButton* m_fit;
    QComboBox* m_axes;
    QLabel* m_status;
};
