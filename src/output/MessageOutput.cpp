#include "output/MessageOutput.h"

#include "output/Format.h"
#include "output/MessageBoxes.h"

CMessageOutput::CMessageOutput() : m_boxes(&CConsoleMessageBoxes::Default()) {
}

void CMessageOutput::SetOutput(OutputFn fn) {
    m_output = std::move(fn);
    const std::string notice = "Output from " + OutputName() + " rerooted to this output";
    Output(notice.c_str(), 0);
}

void CMessageOutput::Output(const char* text, int flag) {
    Send(text, flag, flag != 0 ? Severity::Warning : Severity::Note);
}

void CMessageOutput::Fail(const std::string& text, int flag) {
    Send(text.c_str(), flag, Severity::Failure);
}

void CMessageOutput::FailWithReason(const std::string& text, std::error_code error, int flag) {
    Fail(text, flag);
    if (error) {
        Fail(SystemReason(error), flag);
    }
}

void CMessageOutput::Send(const char* text, int flag, Severity severity) {
    if (text == nullptr) {
        return;
    }
    if (flag != 0 && severity == Severity::Warning) {
        ++m_warnings;
    }
    if (m_output) {
        m_output(text, flag, severity);
        return;
    }
    m_boxes->ShowMessage(text);
}
