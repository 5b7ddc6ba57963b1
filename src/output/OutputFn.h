#pragma once

#include <functional>

// What a message reports. The flag of a message stays as each command has
// always sent it; the severity says besides whether it reports a failure,
// which a flag of 0 does for a few messages. The command-line tool prints
// failures and warnings on standard error by it.
enum class Severity {
    Note,    // progress, results, notices
    Warning, // something was passed over; the command goes on
    Failure, // the command, or the step the message names, did not happen
};

// Receives one message line from a worker. `text` is a zero-terminated line
// without line end; `flag` is 1 for errors and warnings, 0 for progress and
// notices. Receivers may ignore the flag and the severity.
using OutputFn = std::function<void(const char* text, int flag, Severity severity)>;
