#pragma once

#include "cli/CliApp.h"
#include "support/TempDir.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

// Runs the command line with `args`; returns the status, stdout and stderr.
// The streams write to files that are read while still open, so only what
// was flushed counts: a message must reach the terminal before the command
// returns. Standard input is a terminal that answers `typed` when given, and
// no terminal otherwise.
inline std::tuple<int, std::string, std::string>
Cli(std::vector<const char*> args, const std::optional<std::string>& typed = std::nullopt) {
    args.insert(args.begin(), "polyport-cli");
    const TempDir dir;
    std::ofstream out(dir.Path() / "out", std::ios::binary);
    std::ofstream err(dir.Path() / "err", std::ios::binary);
    std::istringstream in(typed.value_or(""));
    const int status =
        RunCli(static_cast<int>(args.size()), args.data(), in, typed.has_value(), out, err);
    return {status, ReadText(dir.File("out")), ReadText(dir.File("err"))};
}
