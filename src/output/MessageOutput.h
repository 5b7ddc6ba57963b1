#pragma once

#include "output/OutputFn.h"

#include <string>
#include <system_error>

class CMessageBoxes;

// The message output every worker carries. Messages go to the installed
// OutputFn; while none is installed they are shown in an OK message box, as
// a worker used before the window is up would do.
//
// Some message texts keep their old spelling on purpose ("Succefully",
// "to few", "rerooted", "ammount", "Ouput"): stored scripts and users match
// these texts, so they are never corrected.
class CMessageOutput {
public:
    CMessageOutput();
    virtual ~CMessageOutput() = default;
    CMessageOutput(const CMessageOutput&) = delete;
    CMessageOutput& operator=(const CMessageOutput&) = delete;

    // Installs `fn` and announces it through the new destination with
    // "Output from <name> rerooted to this output" (flag 0).
    void SetOutput(OutputFn fn);

    // A note (flag 0) or a warning (flag 1). Does nothing for a null text.
    void Output(const char* text, int flag);
    void Output(const std::string& text, int flag) { Output(text.c_str(), flag); }

    // A message that reports a failure, with the flag it has always had.
    void Fail(const std::string& text, int flag = 1);
    // The same for a failure the system reported, followed by a line with
    // the system's reason (none when it gave none).
    void FailWithReason(const std::string& text, std::error_code error, int flag = 1);
    // With an errno value.
    void FailWithReason(const std::string& text, int error, int flag = 1) {
        FailWithReason(text, std::error_code(error, std::generic_category()), flag);
    }

    // How many warnings (flag 1, not failures) were sent since the count
    // was last reset: a strict run refuses to write after any.
    [[nodiscard]] int Warnings() const { return m_warnings; }
    void ResetWarnings() { m_warnings = 0; }

    // The boxes used for the message-box fallback and the worker's own
    // questions; never null.
    void SetServices(CMessageBoxes& boxes) { m_boxes = &boxes; }
    [[nodiscard]] CMessageBoxes& Services() const { return *m_boxes; }

protected:
    // The worker's name in the rerouting notice.
    [[nodiscard]] virtual std::string OutputName() const = 0;

private:
    void Send(const char* text, int flag, Severity severity);

    OutputFn m_output;
    CMessageBoxes* m_boxes;
    int m_warnings = 0;
};
