#pragma once

#include <algorithm>
#include <string_view>

// Names from game files and command lines compared as the game compares
// them: ASCII letters without regard to case, every other byte exactly. The
// C library's tolower would follow the locale.
[[nodiscard]] inline bool EqualNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}
