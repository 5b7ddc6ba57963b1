#pragma once

#include "output/OutputFn.h"

#include <string>

class CUiServices;

// The message output every worker carries. Messages go to the installed
// OutputFn; while none is installed they are shown through the services'
// OK message box, as a worker used before the window is up would do.
class CMessageOutput {
public:
    CMessageOutput();
    virtual ~CMessageOutput() = default;
    CMessageOutput(const CMessageOutput&) = delete;
    CMessageOutput& operator=(const CMessageOutput&) = delete;

    // Installs `fn` and announces it through the new destination with
    // "Output from <name> rerooted to this output" (flag 0).
    void SetOutput(OutputFn fn);

    // Does nothing for a null text.
    void Output(const char* text, int flag);
    void Output(const std::string& text, int flag) { Output(text.c_str(), flag); }

    // The services used for the message-box fallback and for the modal
    // questions and dialogs of the worker; never null.
    void SetServices(CUiServices& services) { m_services = &services; }
    [[nodiscard]] CUiServices& Services() const { return *m_services; }

protected:
    // The worker's name in the rerouting notice.
    [[nodiscard]] virtual std::string OutputName() const = 0;

private:
    OutputFn m_output;
    CUiServices* m_services;
};
