#include "cli/CliApp.h"

#include "cli/ExchangeCommand.h"
#include "cli/ExitStatus.h"
#include "cli/FshToolCommand.h"
#include "cli/InfoCommand.h"
#include "cli/RavToolCommand.h"
#include "filters/FilterTable.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif


int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
#ifdef _WIN32
    const bool interactive = _isatty(_fileno(stdin)) != 0;
#else
    const bool interactive = isatty(fileno(stdin)) != 0;
#endif
    return RunCli(argc, argv, std::cin, interactive, out, err);
}

int RunCli(int argc, const char* const* argv, std::istream& in, bool interactive, std::ostream& out,
           std::ostream& err) {
    CLI::App app{"Polyport: RAV scenery and FSH texture tools", "polyport-cli"};
    app.require_subcommand(1);

    std::string infoPath;
    bool infoJson = false;
    CLI::App* info = app.add_subcommand("info", "Describe a RAV file or an FSH archive");
    info->add_option("FILE", infoPath, "RAV file or FSH archive")->required();
    info->add_flag("--json", infoJson, "Print one JSON document");

    const CFilterTable filters;
    ExchangeRequest exportRequest;
    ExchangeRequest importRequest;
    AddExchangeCommands(app, filters, exportRequest, importRequest);

    RavToolRequest ravTool;
    AddRavToolCommands(app, ravTool);
    FshToolRequest fshTool;
    AddFshToolCommands(app, fshTool);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        if (status != 0) {
            if (const std::optional<std::string> hint = NumberTakenForOptionHint(argc, argv)) {
                err << *hint << '\n';
            }
        }
        out.flush();
        err.flush();
        return status == 0 ? kExitOk : kExitUsage;
    }

    if (info->parsed()) {
        return RunInfo(infoPath, infoJson, out, err);
    }
    if (app.got_subcommand("export")) {
        return RunExchange(exportRequest, out, err);
    }
    if (app.got_subcommand("import")) {
        return RunExchange(importRequest, out, err);
    }
    if (ravTool.command) {
        return RunRavTool(ravTool, out, err);
    }
    if (fshTool.command) {
        return RunFshTool(fshTool, in, interactive, out, err);
    }
    return kExitUsage;
}
