#include "cli/RunCommand.h"

#include "cli/ConsoleOutput.h"
#include "commands/CommandDispatcher.h"

bool RunCommand(CCommandDispatcher& dispatcher, Command command, const CommandInputs& inputs,
                std::ostream& out, std::ostream& err) {
    CConsoleOutput console(out, err);
    for (CMessageOutput* worker : dispatcher.Workers()) {
        console.Attach(*worker);
    }
    dispatcher.SetLog(console.Printer());
    return dispatcher.Run(command, inputs);
}
