#pragma once

#include <string>
#include <system_error>

// printf-style formatting into a string of exactly the needed length, so a
// long path never cuts a message short. Only integer and string conversions
// are used with it: they do not depend on the locale.
#if defined(__MINGW32__)
// The C++ runtime of mingw formats as C99 says, not as the system library.
[[nodiscard]] std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#elif defined(__GNUC__)
[[nodiscard]] std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
[[nodiscard]] std::string Format(const char* format, ...);
#endif

// The line that follows a failure the system reported: "Reason: " and the
// system's own words for `error`, such as "Permission denied" or "No space
// left on device".
[[nodiscard]] std::string SystemReason(std::error_code error);
