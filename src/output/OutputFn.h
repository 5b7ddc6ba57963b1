#pragma once

#include <functional>

// Receives one message line from a worker. `text` is a zero-terminated line
// without line end; `flag` is 1 for errors and warnings, 0 for progress and
// notices. Receivers may ignore the flag.
using OutputFn = std::function<void(const char* text, int flag)>;
