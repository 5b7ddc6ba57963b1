#pragma once

#include <string>

// printf-style formatting into a string of exactly the needed length, so a
// long path never cuts a message short. Only integer and string conversions
// are used with it: they do not depend on the locale.
#if defined(__GNUC__)
[[nodiscard]] std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
[[nodiscard]] std::string Format(const char* format, ...);
#endif
