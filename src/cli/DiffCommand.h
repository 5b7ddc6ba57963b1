#pragma once

#include <ostream>
#include <string>

namespace CLI {
class App;
}

// `polyport-cli diff A B [--json]`: what differs between two RAV files.
struct DiffRequest {
    std::string before, after;
    bool json = false;
};

// Adds the command to `app`; the one given fills `request`. Returns it.
CLI::App* AddDiffCommand(CLI::App& app, DiffRequest& request);

// Prints the change report from A to B. Exits, as diff and cmp do, with 0
// when the files hold the same bytes, 1 when any byte differs and 2 when a
// file cannot be read as a RAV file.
int RunDiff(const DiffRequest& request, std::ostream& out, std::ostream& err);
