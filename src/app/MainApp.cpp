#include "app/MainApp.h"

#include "app/MainDlg.h"
#include "app/WindowServices.h"

#include <QCommandLineParser>

#include <clocale>
#include <cstdio>

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt adopts the user's locale on start; numbers typed into the fields
    // and written to files must read the same everywhere.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Polyport"));
    setApplicationVersion(QStringLiteral("0.4"));
    setDesktopFileName(QStringLiteral("polyport"));
    setWindowIcon(CMainDlg::AppIcon());
}

int CMainApp::Run(CWindowServices& services) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Exports, imports and edits the scenery files of a 2001 football game."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("RAV"), QStringLiteral("the RAV file to work on"),
                                 QStringLiteral("[RAV"));
    parser.addPositionalArgument(QStringLiteral("FSH"), QStringLiteral("an FSH archive"),
                                 QStringLiteral("[FSH]]"));
    parser.process(arguments()); // --help, --version and unknown options end here
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 2) {
        std::fprintf(stderr,
                     "polyport takes at most two paths: a RAV file, then an FSH archive\n\n%s",
                     qPrintable(parser.helpText()));
        return 2;
    }

    CMainDlg dialog(services);
    dialog.SetStartPaths(paths.value(0), paths.value(1));
    dialog.exec();
    return 0;
}
