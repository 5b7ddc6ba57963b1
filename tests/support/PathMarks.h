#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Test tables are written before the test's files exist, so their arguments
// and expected messages name them by mark: "@" stands for `at`, "#" for
// `hash`. One pass, so a path holding a mark is not replaced again.
[[nodiscard]] inline std::string FillPaths(std::string_view text, const std::string& at,
                                           const std::string& hash = {}) {
    std::string filled;
    for (const char c : text) {
        filled += c == '@' ? at : c == '#' ? hash : std::string(1, c);
    }
    return filled;
}

// Every message of a log, flags kept.
[[nodiscard]] inline std::vector<std::pair<std::string, int>>
FillPaths(std::vector<std::pair<std::string, int>> log, const std::string& at,
          const std::string& hash = {}) {
    for (auto& [text, flag] : log) {
        text = FillPaths(text, at, hash);
    }
    return log;
}
