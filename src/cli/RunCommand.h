#pragma once

#include "commands/Command.h"
#include "commands/CommandInputs.h"

#include <ostream>

class CCommandDispatcher;

// Runs `command` with `inputs` on `dispatcher` as the window's button does,
// printing what the log pane would show: failures and warnings on `err`,
// the rest on `out`. True when the command did all it was asked.
bool RunCommand(CCommandDispatcher& dispatcher, Command command, const CommandInputs& inputs,
                std::ostream& out, std::ostream& err);
