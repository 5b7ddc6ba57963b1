#include "cli/ConsoleOutput.h"

void CConsoleOutput::Attach(CMessageOutput& worker) {
    m_attaching = true;
    worker.SetOutput(Printer());
    m_attaching = false;
}

OutputFn CConsoleOutput::Printer() {
    return [this](const char* text, int flag, Severity severity) { Print(text, flag, severity); };
}

void CConsoleOutput::Print(const char* text, int flag, Severity severity) {
    if (m_attaching || text == nullptr) {
        return;
    }
    std::ostream& stream = flag != 0 || severity != Severity::Note ? m_err : m_out;
    stream << text << std::endl;
}
