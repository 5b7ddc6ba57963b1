#pragma once

#include <QApplication>

#include <optional>

class CWindowServices;

// The application: it shows the main window and ends when the window closes.
class CMainApp final : public QApplication {
public:
    CMainApp(int& argc, char** argv);

    // Answers what needs no window before one is attempted: --help,
    // --version, wrong arguments, and a missing display (Qt would abort).
    // The exit status when the program should end there.
    [[nodiscard]] static std::optional<int> AnswerWithoutWindow(int argc, char** argv);

    // Runs the main window modally with `services` (`polyport [RAV [FSH]]`
    // prefills the two path fields) and returns the exit status.
    int Run(CWindowServices& services);
};
