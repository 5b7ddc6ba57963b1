#pragma once

#include "cli/CliApp.h"
#include "support/PathMarks.h"
#include "support/TempDir.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

// Runs the command line with `arguments`; returns the status, stdout and stderr.
// The streams write to files that are read while still open, so only what
// was flushed counts: a message must reach the terminal before the command
// returns. Standard input is a terminal that answers `typed` when given, and
// no terminal otherwise.
inline std::tuple<int, std::string, std::string>
Cli(const std::vector<std::string>& arguments,
    const std::optional<std::string>& typed = std::nullopt) {
    std::vector<const char*> args{"polyport-cli"};
    for (const std::string& argument : arguments) {
        args.push_back(argument.c_str());
    }
    const TempDir dir;
    std::ofstream out(dir.Path() / "out", std::ios::binary);
    std::ofstream err(dir.Path() / "err", std::ios::binary);
    std::istringstream in(typed.value_or(""));
    const int status =
        RunCli(static_cast<int>(args.size()), args.data(), in, typed.has_value(), out, err);
    return {status, ReadText(dir.File("out")), ReadText(dir.File("err"))};
}

// Cli with "@" in the arguments standing for `at` and "#" for `hash`.
inline std::tuple<int, std::string, std::string>
CliMarked(const std::vector<std::string>& args, const std::string& at, const std::string& hash,
          const std::optional<std::string>& typed = std::nullopt) {
    std::vector<std::string> filled;
    for (const std::string& arg : args) {
        filled.push_back(FillPaths(arg, at, hash));
    }
    return Cli(filled, typed);
}
