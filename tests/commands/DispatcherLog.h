#pragma once

#include "commands/CommandDispatcher.h"
#include "gamefiles/RavTestSupport.h"

// Every worker and the summaries write into `log`, as the window's log pane
// receives them; the rerouting notices are dropped.
inline void LogEverything(CCommandDispatcher& dispatcher, Messages& log) {
    for (CMessageOutput* worker : dispatcher.Workers()) {
        worker->SetOutput(LogInto(log));
    }
    dispatcher.SetLog(LogInto(log));
    log.clear();
}
