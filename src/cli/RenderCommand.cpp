#include "cli/RenderCommand.h"

#include "cli/ConsoleOutput.h"
#include "cli/ExitStatus.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "output/Format.h"

#include <CLI/CLI.hpp>

#ifdef POLYPORT_HAVE_PICTURES
#include "pictures/PicturePng.h"
#include "pictures/Scene.h"
#include "pictures/ScenePainter.h"

#include <QGuiApplication>

#include <array>
#include <cstdio>
#include <memory>
#endif

void AddRenderCommand(CLI::App& app, RenderRequest& request) {
    CLI::App* render = app.add_subcommand(
        "render", "Draw the scene as the View tab's fitted picture into a PNG file");
    render->add_option("RAV", request.ravPath, "RAV file")->required();
    render->add_option("OUT", request.pngPath, "PNG file to write")->required();
    render->add_option_function<std::string>(
        "--fsh", [&request](const std::string& path) { request.fshPath = path; },
        "FSH archive whose images fill the textured quads");
    render->add_option("--view", request.view, "top (x right, z up) or front (x right, y up)")
        ->check(CLI::IsMember({"top", "front"}))
        ->capture_default_str();
    render->add_option("--size", request.size, "Width and height in pixels, 16 to 8192")
        ->check(CLI::Range(16, 8192))
        ->capture_default_str();
    render->callback([&request] { request.requested = true; });
}

#ifdef POLYPORT_HAVE_PICTURES

namespace {

// Qt's own notes (such as a missing runtime folder, which an offscreen
// picture never uses) mean nothing to the user of a command; only its
// errors are printed, while the picture is drawn.
class CQtNotesSilenced {
public:
    CQtNotesSilenced() : m_previous(qInstallMessageHandler(&Filter)) {}
    ~CQtNotesSilenced() { qInstallMessageHandler(m_previous); }
    CQtNotesSilenced(const CQtNotesSilenced&) = delete;
    CQtNotesSilenced& operator=(const CQtNotesSilenced&) = delete;

private:
    static void Filter(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        }
    }
    QtMessageHandler m_previous;
};

// Text needs a QGuiApplication; the offscreen platform needs no display.
// Qt keeps the arguments for the application's life and takes out those it
// used, so each application gets its own copy.
class CQtGui {
public:
    CQtGui() {
        if (QCoreApplication::instance() == nullptr) {
            m_app = std::make_unique<QGuiApplication>(m_argc, m_argv.data());
        }
    }

private:
    std::array<char, 13> m_name{"polyport-cli"};
    std::array<char, 10> m_option{"-platform"};
    std::array<char, 10> m_platform{"offscreen"};
    std::array<char*, 4> m_argv{m_name.data(), m_option.data(), m_platform.data(), nullptr};
    int m_argc = 3;
    std::unique_ptr<QGuiApplication> m_app;
};

} // namespace

int RunRender(const RenderRequest& request, std::ostream& out, std::ostream& err) {
    CConsoleOutput console(out, err);
    CRavFile rav;
    console.Attach(rav);
    if (!rav.Load(request.ravPath)) {
        return kExitFailed;
    }
    CFshFile archive;
    console.Attach(archive);
    if (request.fshPath && !archive.Load(*request.fshPath, 1)) {
        return kExitFailed;
    }
    const CQtNotesSilenced silenced;
    const CQtGui qt;
    const SceneAxes axes = request.view == "front" ? SceneAxes::Front : SceneAxes::Top;
    const CScene scene = CScene::From(rav, request.fshPath ? &archive : nullptr);
    std::vector<std::uint8_t> png;
    if (!EncodePicture(CScenePainter::Render(scene, axes, request.size), png)) {
        console.Print(Format("Error! Cannot draw a picture of %d x %d pixels", request.size,
                             request.size).c_str(), 1, Severity::Failure);
        return kExitFailed;
    }
    std::error_code error;
    const std::string& path = request.pngPath;
    switch (WriteWholeFile(path, png, &error)) {
    case CWholeFileWriter::Failure::None:
        console.Print(Format("Written %s (%d x %d, %s view)", path.c_str(), request.size,
                             request.size, request.view.c_str()).c_str(), 0, Severity::Note);
        return kExitOk;
    case CWholeFileWriter::Failure::Open:
        console.Print(Format("Error opening %s for writing", path.c_str()).c_str(), 1,
                      Severity::Failure);
        break;
    case CWholeFileWriter::Failure::Write:
        console.Print(Format("Error writing %s", path.c_str()).c_str(), 1, Severity::Failure);
        break;
    }
    if (error) {
        console.Print(SystemReason(error).c_str(), 1, Severity::Failure);
    }
    return kExitFailed;
}

#else

int RunRender(const RenderRequest&, std::ostream&, std::ostream& err) {
    err << "render needs a build of polyport-cli with Qt, which draws the picture; this one has "
           "none (the Windows build of the command-line tool). The window, or polyport-cli on "
           "Linux, can draw it."
        << std::endl;
    return kExitFailed;
}

#endif
