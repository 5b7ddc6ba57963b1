#include "app/MainApp.h"

#include "app/MainDlg.h"
#include "app/WindowServices.h"

#include <QCommandLineParser>

#include <clocale>
#include <cstdio>
#include <cstdlib>

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt adopts the user's locale on start; numbers typed into the fields
    // and written to files must read the same everywhere.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Polyport"));
    setApplicationVersion(QStringLiteral("0.4"));
    setDesktopFileName(QStringLiteral("polyport"));
    setWindowIcon(CMainDlg::AppIcon());
}

namespace {

struct StandardOptions {
    QCommandLineOption help;
    QCommandLineOption version;
};

StandardOptions DescribeCommandLine(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Exports, imports and edits the scenery files of a 2001 football game."));
    StandardOptions options{parser.addHelpOption(), parser.addVersionOption()};
    parser.addPositionalArgument(QStringLiteral("RAV"), QStringLiteral("the RAV file to work on"),
                                 QStringLiteral("[RAV"));
    parser.addPositionalArgument(QStringLiteral("FSH"), QStringLiteral("an FSH archive"),
                                 QStringLiteral("[FSH]]"));
    return options;
}

bool HasDisplay() {
#if defined(__unix__) && !defined(__APPLE__)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

std::optional<int> CMainApp::AnswerWithoutWindow(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    core.setApplicationName(QStringLiteral("Polyport"));
    core.setApplicationVersion(QStringLiteral("0.4"));
    QCommandLineParser parser;
    const StandardOptions options = DescribeCommandLine(parser);
    // Qt's own window options (-platform, -style, ...) are unknown here; the
    // window's parser, which sees them removed, judges the rest.
    const bool parsed = parser.parse(core.arguments());
    if (parser.isSet(options.help)) {
        parser.showHelp(0);
    }
    if (parser.isSet(options.version)) {
        parser.showVersion();
    }
    if (parsed && parser.positionalArguments().size() > 2) {
        std::fprintf(stderr,
                     "polyport takes at most two paths: a RAV file, then an FSH archive\n\n%s",
                     qPrintable(parser.helpText()));
        return 2;
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "polyport: there is no display to open the window on. polyport-cli "
                             "runs the same commands in a terminal (polyport-cli --help).\n");
        return 1;
    }
    return std::nullopt;
}

int CMainApp::Run(CWindowServices& services) {
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(arguments()); // unknown options end here
    const QStringList paths = parser.positionalArguments();
    CMainDlg dialog(services);
    dialog.SetStartPaths(paths.value(0), paths.value(1));
    dialog.exec();
    return 0;
}
