#include "cli/StrictFlag.h"

#include <CLI/CLI.hpp>

void AddStrictFlag(CLI::App& command, bool& strict) {
    command.add_flag("--strict", strict,
                     "Write nothing and fail when the command warns (for batch scripts)");
}
