#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

// `polyport-cli export RAV FILE [options]` and `polyport-cli import RAV FILE
// [--filter KEY]`: one press of the window's Export or Import button, with
// the fields filled from the arguments. Option values arrive as typed; they
// are checked here so that every usage error has a message of ours.
struct ExchangeRequest {
    bool import = false;
    std::string ravPath;
    std::string exchangePath;
    std::optional<std::string> filterKey;
    std::optional<std::string> mode;
    std::optional<std::string> decimals;
    // The AsciiExportFlag bits of the flag options given.
    std::uint32_t modeFlags = 0;
};

// Prints what the window's log pane would show for the press: worker
// messages by their flag, the summary line on `out`. Returns an exit status.
int RunExchange(const ExchangeRequest& request, std::ostream& out, std::ostream& err);
