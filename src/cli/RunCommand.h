#pragma once

#include "commands/CommandInputs.h"

#include <ostream>

class CCommandDispatcher;

// Presses the window's button `id` with `inputs` on `dispatcher`, printing
// what the log pane would show: worker messages by their flag, summaries on
// `out`. True when the command did all it was asked.
bool RunCommand(CCommandDispatcher& dispatcher, int id, const CommandInputs& inputs,
                std::ostream& out, std::ostream& err);
