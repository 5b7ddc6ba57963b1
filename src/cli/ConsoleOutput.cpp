#include "cli/ConsoleOutput.h"

void CConsoleOutput::Attach(CMessageOutput& worker) {
    m_attaching = true;
    worker.SetOutput([this](const char* text, int flag) { Print(text, flag); });
    m_attaching = false;
}

void CConsoleOutput::Print(const char* text, int flag) {
    if (m_attaching || text == nullptr) {
        return;
    }
    std::ostream& stream = flag != 0 ? m_err : m_out;
    stream << text << std::endl;
}
