#pragma once

#include "cli/WriteFlags.h"
#include "commands/Command.h"
#include "tools/RavTools.h"

#include <optional>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

// `polyport-cli move|scale RAV X Y Z`, `normalize RAV` and `shade RAV
// PERCENT`: the "RAV Tools" buttons, with the fields filled from the
// arguments. The numbers arrive as typed and are checked here.
struct RavToolRequest {
    // The command; none until one of the commands was parsed.
    std::optional<Command> command;
    std::optional<CRavTools::TransformMode> transform;
    std::string ravPath;
    std::string x, y, z;
    std::string shade;
    // --strict, --dry-run, --backup.
    WriteFlags write;
};

// Adds the four commands to `app`; the one given fills `request`.
void AddRavToolCommands(CLI::App& app, RavToolRequest& request);

// After a failed parse: a line that explains an argument such as "-.5" or
// "-inf", which the parser takes for an option although it is a number.
// Nothing when there is none before a "--".
[[nodiscard]] std::optional<std::string> NumberTakenForOptionHint(int argc,
                                                                  const char* const* argv);

// Prints the tools' messages by flag. Returns an exit status.
int RunRavTool(const RavToolRequest& request, std::ostream& out, std::ostream& err);
