#include "app/MainDlg.h"

#include "ScriptedWindowServices.h"
#include "app/ImageBrowser.h"
#include "app/SceneView.h"
#include "app/ViewPane.h"
#include "pictures/Scene.h"
#include "gamefiles/RavFile.h"
#include "output/LogBuffer.h"
#include "support/PathMarks.h"
#include "support/TempDir.h"
#include "tools/ImageSelection.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr char kWelcome[] = "Welcome to Polyport 0.4 (second beta release)";

// A shown window over fresh copies of the bundled samples, in a folder whose
// name is not ASCII; "@" in paths and messages stands for that folder.
class MainDlgTest : public ::testing::Test {
protected:
    MainDlgTest() {
        fs::create_directory(folder);
        dlg.show();
    }

    template <class T = QWidget> T* C(ControlId id) {
        T* control = qobject_cast<T*>(dlg.Control(id));
        EXPECT_NE(control, nullptr) << static_cast<int>(id);
        return control;
    }
    QTabBar* Tabs() { return C<QTabBar>(ControlId::Tabs); }
    void ShowTab(int tab) {
        QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(tab).center());
        QApplication::processEvents(); // lets the layout place what the tab shows
    }
    // Clicks a button, or types `text` into a field.
    void Set(ControlId id, const std::string& text = {}) {
        if (auto* button = qobject_cast<QAbstractButton*>(dlg.Control(id))) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            C<QLineEdit>(id)->setText(QString::fromStdString(FillPaths(text, at)));
        }
    }
    static Lines LogLines() {
        Lines lines;
        const std::string& text = TheLog().Text();
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find("\r\n", start), text.size());
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    TempDir dir;
    const fs::path folder = dir.Path() / u8"Szenen für Ünïcode";
    const std::string at = dir.File(reinterpret_cast<const char*>(u8"Szenen für Ünïcode/"));
    ScriptedWindowServices services;
    CMainDlg dlg{services};
};

// The window starts on the first tab with the welcome line alone. Enter on
// any control neither closes it nor runs anything; Escape and the close box
// end it.
TEST_F(MainDlgTest, EnterDoesNothingEscapeAndCloseEnd) {
    EXPECT_EQ(C<QPlainTextEdit>(ControlId::Log)->toPlainText(), kWelcome);
    EXPECT_EQ(services.parent, &dlg);
    EXPECT_EQ(Tabs()->currentIndex(), 0);
    EXPECT_TRUE(C<QRadioButton>(ControlId::MoveRadio)->isChecked());
    for (const int tab : {0, 1, 2}) {
        ShowTab(tab);
        for (QWidget* control : dlg.findChildren<QWidget*>()) {
            if (control->isVisible() && control->focusPolicy() != Qt::NoFocus) {
                control->setFocus();
                QTest::keyClick(control, Qt::Key_Return);
                QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
            }
        }
    }
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(LogLines(), Lines{kWelcome});
    EXPECT_TRUE(services.fileDialogs.empty());
    EXPECT_TRUE(services.script.boxes.empty() && services.script.shownSettings.empty());

    const std::function<void()> ends[] = {[&] { QTest::keyClick(C(ControlId::RavPath), Qt::Key_Escape); },
                                          [&] { dlg.close(); }};
    for (const auto& end : ends) {
        dlg.show();
        dlg.setResult(QDialog::Accepted);
        end();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
}

// The exchange file's dialog follows the chosen filter; a cancelled dialog
// leaves the field as it was.
TEST_F(MainDlgTest, BrowseAsksForTheFilterFile) {
    C<QComboBox>(ControlId::FilterList)->setCurrentIndex(1);
    Set(ControlId::ExchangePath, "typed");
    Set(ControlId::BrowseExchange);
    EXPECT_EQ(services.fileDialogs, (std::vector<std::pair<std::string, std::string>>{
                                        {"Select a G2 DesignWorkshop filter file for input/output",
                                         "DesignWorkshop files (*.dw)|*.dw|All files|*.*|| (new)"}}));
    EXPECT_EQ(C<QLineEdit>(ControlId::ExchangePath)->text(), "typed");
    services.chosenFiles = {"/\xC3\x9C/a.dw"};
    Set(ControlId::BrowseExchange);
    EXPECT_EQ(C<QLineEdit>(ControlId::ExchangePath)->text().toStdString(), "/\xC3\x9C/a.dw");
}

// A file named for another filter than the chosen one is used only when the
// user says so.
TEST_F(MainDlgTest, ExportAsksBeforeUsingAFileOfAnotherFilter) {
    dlg.SetStartPaths(QString::fromStdString(POLYPORT_EXAMPLES "/sample.rav"), {});
    C<QComboBox>(ControlId::FilterList)->setCurrentIndex(2);
    Set(ControlId::ExchangePath, "@scene.txt");
    Set(ControlId::ExportButton);
    EXPECT_EQ(services.script.questions,
              std::vector<std::string>{FillPaths("@scene.txt looks like a file of the ASCII Text "
                                                 "filter, but the G2 Lightwave filter is selected. "
                                                 "Use the G2 Lightwave filter anyway?",
                                                 at)});
    EXPECT_FALSE(fs::exists(folder / "scene.txt"));
    EXPECT_EQ(LogLines(), Lines{kWelcome});
}

// A button of each tab, the first and the last command among them, on fresh
// copies of the samples, the paths filled in as the command line does: what
// the fields hold reaches the command, and the lines it logs appear. A tab shows the controls its
// buttons need, not another tab's; the log pane keeps its place.
TEST_F(MainDlgTest, EachButtonRunsItsCommand) {
    dlg.SetStartPaths(QString::fromStdString(at + "sample.rav"),
                      QString::fromStdString(at + "sample.fsh"));
    const std::string rav = at + "sample.rav";
    CRavFile after;
    dir.WriteText(reinterpret_cast<const char*>(u8"Szenen für Ünïcode/in.txt"),
                  "EXMODE=0\r\nOBJECTS=1\r\nObject 0:\r\nNAME=field\r\nVERTEXES=25\r\n"
                  "TEXTURES=2\r\nNAME=grs0\r\nNAME=lin0\r\n");
    services.script.selectionDialog = [](CImageSelection& selection) {
        selection.SetSelected(0, false); // without the 256 x 256 image
        selection.SelectionChanged(0);
        return true;
    };
    const struct {
        int tab;
        std::vector<std::pair<ControlId, std::string>> set; // fields typed, buttons clicked
        Lines log;
        std::function<void()> check;
    } cases[] = {
        // clang-format off
        {0, {{ControlId::ExchangePath, "@in.txt"}, {ControlId::ImportButton, ""}},
         {"Successful imported data... updating data", "Successful updated data", "1 object changed: 1 name"},
         [&] { EXPECT_EQ(after.GetObject(0)->name, "field"); }},
        {1, {{ControlId::MoveRadio, ""}, {ControlId::XField, "1.5"}, {ControlId::YField, "-2"}, {ControlId::ZField, " 0 "}, {ControlId::ExecuteButton, ""}},
         {"Moving all vertexes in @sample.rav", "Successfully written 296 objects",
          "293 objects changed: 1201 vertices moved up to 2.5 units, 293 bounding boxes"}, [&] {
             const RavVertex& v = after.GetObject(0)->vertices.at(0);
             EXPECT_EQ((std::array{v.x, v.y, v.z}), (std::array<float, 3>{-2398.5f, -2, -3400}));
         }},
        {2, {{ControlId::CreateTplButton, ""}}, {"Generating TPages...", "3 TPages required...writing file",
                                       "TPL layout written to @sample.tpl"},
         [&] { EXPECT_TRUE(fs::exists(folder / "sample.tpl")); }},
        // clang-format on
    };
    QWidget* log = C(ControlId::Log);
    const QRect logPlace = log->geometry();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.set.back().first));
        for (const char* name : {"sample.rav", "sample.fsh"}) {
            fs::copy_file(fs::path(POLYPORT_EXAMPLES) / name, folder / name,
                          fs::copy_options::overwrite_existing);
        }
        ShowTab(c.tab);
        for (const auto& other : cases) {
            for (const auto& [id, text] : other.set) {
                EXPECT_EQ(C(id)->isVisible(), other.tab == c.tab) << static_cast<int>(id);
            }
        }
        EXPECT_EQ(log->geometry(), logPlace);
        ClearLog();
        for (const auto& [id, text] : c.set) {
            Set(id, text);
        }
        Lines expected;
        for (const std::string& line : c.log) {
            expected.push_back(FillPaths(line, at));
        }
        EXPECT_EQ(LogLines(), expected);
        ASSERT_TRUE(after.Load(rav));
        c.check();
    }
}

// Undo and redo beside the log put the file back as it was before and
// after the command; Ctrl+Z does the same unless a text field has the focus.
TEST_F(MainDlgTest, UndoAndRedoPutTheFileBack) {
    const std::string rav = at + "sample.rav";
    fs::copy_file(fs::path(POLYPORT_EXAMPLES) / "sample.rav", folder / "sample.rav");
    const std::vector<std::uint8_t> before = ReadBytes(rav);
    dlg.SetStartPaths(QString::fromStdString(rav), {});
    auto* undo = C<QAbstractButton>(ControlId::UndoButton);
    auto* redo = C<QAbstractButton>(ControlId::RedoButton);
    EXPECT_FALSE(undo->isEnabled());
    ShowTab(1);
    Set(ControlId::XField, "5");
    Set(ControlId::ExecuteButton);
    const std::vector<std::uint8_t> after = ReadBytes(rav);
    ASSERT_NE(after, before);
    ClearLog();
    Set(ControlId::UndoButton);
    EXPECT_EQ(ReadBytes(rav), before);
    EXPECT_TRUE(redo->isEnabled() && !undo->isEnabled());
    Set(ControlId::RedoButton);
    EXPECT_EQ(ReadBytes(rav), after);
    C(ControlId::XField)->setFocus();
    QTest::keyClick(C(ControlId::XField), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(rav), after);
    C(ControlId::Log)->setFocus();
    QTest::keyClick(C(ControlId::Log), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(rav), before);
    QTest::keyClick(C(ControlId::Log), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ReadBytes(rav), after);
    EXPECT_EQ(LogLines(), (Lines{"Undone: Execute on " + rav, "Redone: Execute on " + rav,
                                 "Undone: Execute on " + rav, "Redone: Execute on " + rav}));
}

// The OBJ export takes the images from the archive in the FSH field, and
// writes none when the field is empty.
TEST_F(MainDlgTest, ObjExportTakesTheImagesOfTheFshField) {
    for (const char* name : {"sample.rav", "sample.fsh"}) {
        fs::copy_file(fs::path(POLYPORT_EXAMPLES) / name, folder / name);
    }
    C<QComboBox>(ControlId::FilterList)->setCurrentIndex(3);
    for (const std::string fsh : {"@sample.fsh", ""}) {
        dlg.SetStartPaths(QString::fromStdString(at + "sample.rav"),
                          QString::fromStdString(FillPaths(fsh, at)));
        fs::remove(folder / "crw0.png");
        Set(ControlId::ExchangePath, "@crowd.obj");
        Set(ControlId::ExportButton);
        EXPECT_TRUE(fs::exists(folder / "crowd.mtl"));
        EXPECT_EQ(fs::exists(folder / "crw0.png"), !fsh.empty()) << fsh;
    }
}

// The View tab reads the files when it shows and again after a command,
// keeping the zoom: a move shows at once, where the user was looking.
TEST_F(MainDlgTest, ViewShowsTheSceneAgainAfterACommandKeepingTheZoom) {
    for (const char* name : {"sample.rav", "sample.fsh"}) {
        fs::copy_file(fs::path(POLYPORT_EXAMPLES) / name, folder / name);
    }
    dlg.SetStartPaths(QString::fromStdString(at + "sample.rav"),
                      QString::fromStdString(at + "sample.fsh"));
    auto* view = C<CViewPane>(ControlId::ViewPane);
    ShowTab(3);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(C(ControlId::RavPath)->isVisible() && C(ControlId::FshPath)->isVisible());
    EXPECT_GE(dlg.width(), std::min(1024, dlg.screen()->availableGeometry().width()));
    CSceneView* scene = view->Scene();
    ASSERT_NE(scene->Scene(), nullptr);
    EXPECT_FALSE(scene->Scene()->Textures().empty());

    // "TPL pages" shows the layout beside the archive, and the thumbnails
    // of the images leave its pages alone when the grid is laid out again.
    dir.WriteText(reinterpret_cast<const char*>(u8"Szenen für Ünïcode/sample.tpl"),
                  "LAYOUT\r\n{\r\n TPAGE\r\n {\r\n  TSLOT\r\n  {\r\n   NAME=crw0\r\n"
                  "   WIDTH=64\r\n   HEIGHT=64\r\n   UOFFSET=0\r\n   VOFFSET=0\r\n  }\r\n }\r\n}\r\n");
    view->Images()->PagesSwitch()->setChecked(true);
    QListWidget* grid = view->Images()->Grid();
    ASSERT_EQ(grid->count(), 1);
    const qint64 page = grid->item(0)->icon().cacheKey();
    grid->resize(grid->size() + QSize(10, 10));
    QTest::qWait(1);
    EXPECT_EQ(grid->item(0)->icon().cacheKey(), page);
    view->Images()->PagesSwitch()->setChecked(false);
    scene->ZoomAt(QPointF(10, 10), 2);
    const QTransform zoomed = scene->ToPicture();
    const auto firstVertex = [&] { return scene->Scene()->Objects().at(0).vertices.at(0).x; };
    const float before = firstVertex();

    ShowTab(1);
    Set(ControlId::XField, "100");
    Set(ControlId::ExecuteButton);
    ShowTab(3);
    EXPECT_EQ(firstVertex(), before + 100);
    EXPECT_EQ(scene->ToPicture(), zoomed);

    // A file that does not load: its message, in place of the picture and
    // not in the log.
    ClearLog();
    Set(ControlId::RavPath, "@missing.rav");
    QTest::keyClick(C(ControlId::RavPath), Qt::Key_Return);
    EXPECT_EQ(scene->Scene(), nullptr);
    EXPECT_TRUE(LogLines().empty());
}

// The pane shows the log line for line, also once the log drops its oldest
// lines, with the newest line in view.
TEST_F(MainDlgTest, LogPaneFollowsTheLog) {
    dlg.resize(dlg.minimumSizeHint());
    auto* pane = C<QPlainTextEdit>(ControlId::Log);
    for (int i = 0; i < 600; ++i) {
        const std::string message = "Warning! Object " + std::to_string(i) + " is not a G2 Object";
        AppendLog(message.c_str(), i % 2, Severity::Note);
        ASSERT_EQ(pane->blockCount(), qsizetype(LogLines().size())) << i;
        ASSERT_EQ(pane->document()->lastBlock().text().toStdString(), message) << i;
    }
    EXPECT_NE(LogLines().front(), kWelcome); // the log did drop lines
    QStringList lines;
    for (const std::string& line : LogLines()) {
        lines << QString::fromStdString(line);
    }
    EXPECT_EQ(pane->toPlainText().split('\n'), lines);
    // A new line comes into view even when the user had scrolled away.
    QScrollBar* bar = pane->verticalScrollBar();
    bar->setValue(0);
    AppendLog("Successfully written 3 objects", 0, Severity::Note);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

} // namespace
