#pragma once

#include "cli/CliApp.h"
#include "support/TempDir.h"

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

// Runs the command line with `args`; returns the status, stdout and stderr.
// The streams write to files that are read while still open, so only what
// was flushed counts: a message must reach the terminal before the command
// returns.
inline std::tuple<int, std::string, std::string> Cli(std::vector<const char*> args) {
    args.insert(args.begin(), "polyport-cli");
    const TempDir dir;
    std::ofstream out(dir.Path() / "out", std::ios::binary);
    std::ofstream err(dir.Path() / "err", std::ios::binary);
    const int status = RunCli(static_cast<int>(args.size()), args.data(), out, err);
    return {status, ReadText(dir.File("out")), ReadText(dir.File("err"))};
}
