#pragma once

#include <functional>

// Runs `check` in a forked child process, so limits and user changes made
// there (a file-size limit, an ordinary user) stay there. True when the
// child ran and `check` returned true. POSIX only.
#ifndef _WIN32
[[nodiscard]] bool InChild(const std::function<bool()>& check);
#endif
