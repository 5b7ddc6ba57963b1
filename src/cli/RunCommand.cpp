#include "cli/RunCommand.h"

#include "cli/ConsoleOutput.h"
#include "commands/CommandDispatcher.h"

bool RunCommand(CCommandDispatcher& dispatcher, int id, const CommandInputs& inputs,
                std::ostream& out, std::ostream& err) {
    CConsoleOutput console(out, err);
    for (CMessageOutput* worker : dispatcher.Workers()) {
        console.Attach(*worker);
    }
    dispatcher.SetLog([&console](const char* text, int) { console.Print(text, 0); });
    return dispatcher.Run(id, inputs);
}
