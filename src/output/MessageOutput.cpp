#include "output/MessageOutput.h"

#include "output/ConsoleServices.h"

CMessageOutput::CMessageOutput() : m_services(&CConsoleServices::Default()) {
}

void CMessageOutput::SetOutput(OutputFn fn) {
    m_output = std::move(fn);
    const std::string notice = "Output from " + OutputName() + " rerooted to this output";
    Output(notice.c_str(), 0);
}

void CMessageOutput::Output(const char* text, int flag) {
    if (text == nullptr) {
        return;
    }
    if (m_output) {
        m_output(text, flag);
        return;
    }
    m_services->ShowMessage(text);
}
