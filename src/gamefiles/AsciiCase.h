#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Names from game files and command lines compared as the game compares
// them: ASCII letters without regard to case, every other byte exactly. The
// C library's tolower would follow the locale.
[[nodiscard]] inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

[[nodiscard]] inline bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The key under which names that EqualNoCase holds equal meet.
[[nodiscard]] inline std::string AsciiLowered(std::string_view text) {
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(), AsciiLower);
    return lowered;
}
