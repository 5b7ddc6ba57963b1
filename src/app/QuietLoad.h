#pragma once

#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"

#include <string>

// Loads a file for the View tab, which shows a loader's messages in place
// of the picture rather than in the log: they are collected in `problem`,
// one line each.
template <typename File, typename Load>
[[nodiscard]] bool LoadQuietlyWith(File& file, std::string& problem, Load load) {
    problem.clear();
    file.SetOutput([&problem](const char* text, int, Severity) {
        if (!problem.empty()) {
            problem += '\n';
        }
        problem += text;
    });
    problem.clear(); // the rerouting notice
    const bool loaded = load();
    file.SetOutput([](const char*, int, Severity) {}); // `problem` may not outlive the file
    return loaded;
}

[[nodiscard]] inline bool LoadQuietly(CRavFile& rav, const std::string& path, std::string& problem) {
    return LoadQuietlyWith(rav, problem, [&] { return rav.Load(path); });
}

[[nodiscard]] inline bool LoadQuietly(CFshFile& archive, const std::string& path,
                                      std::string& problem) {
    return LoadQuietlyWith(archive, problem, [&] { return archive.Load(path, 1); });
}
