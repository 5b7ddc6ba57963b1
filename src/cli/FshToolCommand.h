#pragma once

#include "cli/WriteFlags.h"
#include "commands/Command.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

// `polyport-cli fsh-names RAV FSH` and `polyport-cli tpl FSH`: the "FSH
// Tools" buttons. The images the window's dialog would offer are chosen with
// --select NAMES, --select-all or --select-none; without any of them the
// dialog's preselection applies.
struct FshToolRequest {
    // The command; none until one of the commands was parsed.
    std::optional<Command> command;
    std::string ravPath;
    std::string fshPath;
    // fsh-extract: the folder the images go to.
    std::string folder;
    // tpl: also the pages as PNG files.
    bool pictures = false;
    std::optional<std::string> select;
    bool selectAll = false;
    bool selectNone = false;
    // Consent to the name import's warning without asking.
    bool yes = false;
    // --strict, --dry-run, --backup.
    WriteFlags write;
};

// Adds both commands to `app`; the one given fills `request`.
void AddFshToolCommands(CLI::App& app, FshToolRequest& request);

// `in` answers the name import's question when `interactive` (a terminal);
// without a terminal the import needs --yes. Returns an exit status.
int RunFshTool(const FshToolRequest& request, std::istream& in, bool interactive, std::ostream& out,
               std::ostream& err);
