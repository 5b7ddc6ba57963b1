#pragma once

#include "cli/WriteFlags.h"
#include "commands/Command.h"
#include "filters/FilterTraits.h"

#include <optional>
#include <ostream>
#include <string>

namespace CLI {
class App;
}
class CFilterTable;

// `polyport-cli export RAV FILE [--filter KEY] [options]` and `polyport-cli
// import RAV FILE [--filter KEY]`: one press of the window's Export or
// Import button, with the fields filled from the arguments. The export
// takes every filter's own options, as the filter table lists them; they
// are checked against the chosen filter before anything is read.
struct ExchangeRequest {
    Command command = Command::Export;
    std::string ravPath;
    std::string exchangePath;
    std::optional<std::string> filterKey;
    // The filters' options as given, in the parser's order.
    FilterOptionValues options;
    // --strict, --dry-run, --backup.
    WriteFlags write;
};

// Adds both commands to `app`; the help and the options come from `filters`.
// `exportRequest` and `importRequest` receive what was given.
void AddExchangeCommands(CLI::App& app, const CFilterTable& filters,
                         ExchangeRequest& exportRequest, ExchangeRequest& importRequest);

// Prints what the window's log pane would show for the press: failures and
// warnings on `err`, the rest on `out`. Returns an exit status.
int RunExchange(const ExchangeRequest& request, std::ostream& out, std::ostream& err);
