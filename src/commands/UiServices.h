#pragma once

#include "filters/FilterDialogs.h"
#include "output/MessageBoxes.h"
#include "tools/ToolDialogs.h"

// Everything the commands ask of a user interface: the message boxes of
// every worker and the dialogs of the filters and tools. The window
// implements it with real dialogs, the command-line tool with the terminal,
// and tests with a scripted double; the core itself never links a toolkit.
class CUiServices : public CMessageBoxes, public CFilterDialogs, public CToolDialogs {};
