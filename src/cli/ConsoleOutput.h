#pragma once

#include "output/MessageOutput.h"

#include <ostream>

// Prints worker messages for the command-line tool: failures and warnings
// (whatever their flag) on the error stream, everything else on the output
// stream, one line each, flushed at once so the two streams interleave in
// order.
class CConsoleOutput {
public:
    CConsoleOutput(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // Routes the worker's messages here without printing the rerouting
    // notice, which means nothing on a terminal.
    void Attach(CMessageOutput& worker);

    void Print(const char* text, int flag, Severity severity);
    // The OutputFn that prints here.
    [[nodiscard]] OutputFn Printer();

private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_attaching = false;
};
