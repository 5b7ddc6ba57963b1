#pragma once

#include <QApplication>

class CWindowServices;

// The application: it shows the main window and ends when the window closes.
class CMainApp final : public QApplication {
public:
    CMainApp(int& argc, char** argv);

    // Runs the main window modally with `services` (`polyport [RAV [FSH]]`
    // prefills the two path fields) and returns the exit status.
    int Run(CWindowServices& services);
};
