#include "cli/CliApp.h"

#include "cli/ExitStatus.h"
#include "cli/InfoCommand.h"

#include <CLI/CLI.hpp>

#include <string>

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Polyport: RAV scenery and FSH texture tools", "polyport-cli"};
    app.require_subcommand(1);

    std::string infoPath;
    bool infoJson = false;
    CLI::App* info = app.add_subcommand("info", "Describe a RAV file or an FSH archive");
    info->add_option("FILE", infoPath, "RAV file or FSH archive")->required();
    info->add_flag("--json", infoJson, "Print one JSON document");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        out.flush();
        err.flush();
        return status == 0 ? kExitOk : kExitUsage;
    }

    if (info->parsed()) {
        return RunInfo(infoPath, infoJson, out, err);
    }
    return kExitUsage;
}
