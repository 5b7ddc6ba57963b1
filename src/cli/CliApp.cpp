#include "cli/CliApp.h"

#include "cli/ExchangeCommand.h"
#include "cli/ExitStatus.h"
#include "cli/FshToolCommand.h"
#include "cli/InfoCommand.h"
#include "cli/RavToolCommand.h"
#include "filters/AsciiExportMode.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <tuple>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Stores an option's text when it is given, so "given" and "empty" differ.
void AddTextOption(CLI::App& command, const std::string& name, std::optional<std::string>& value,
                   const std::string& description) {
    command.add_option_function<std::string>(
        name, [&value](const std::string& text) { value = text; }, description);
}

CLI::App* AddExchange(CLI::App& app, const char* name, const char* description,
                      ExchangeRequest& request) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("RAV", request.ravPath, "RAV file")->required();
    command->add_option("FILE", request.exchangePath, "Exchange file")->required();
    AddTextOption(*command, "--filter", request.filterKey,
                  "ascii, dw or lwo; by default chosen by FILE's extension "
                  "(.txt and .asc ascii, .dw dw, .lwo lwo)");
    return command;
}

} // namespace

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

    ExchangeRequest exportRequest;
    CLI::App* exportCommand =
        AddExchange(app, "export", "Export the RAV file's objects to FILE", exportRequest);
    AddTextOption(*exportCommand, "--mode", exportRequest.mode,
                  "ascii: the export mode as a number (default 3)");
    // Given instead of --mode, the flags make up the whole mode.
    const std::array<std::tuple<const char*, AsciiExportFlag, const char*>, 5> flags{{
        {"--vertexes", ExportVertexes, "ascii: mode flag 1, vertex positions"},
        {"--textures", ExportTextures, "ascii: mode flag 2, textures"},
        {"--placements", ExportPlacements, "ascii: mode flag 4, texture coordinates"},
        {"--order", ExportOrder, "ascii: mode flag 8, vertex orders"},
        {"--shading", ExportShading, "ascii: mode flag 16, vertex colours"},
    }};
    for (const auto& [flag, bit, description] : flags) {
        exportCommand->add_flag_callback(
            flag, [&exportRequest, bit = bit] { exportRequest.modeFlags |= bit; }, description);
    }
    AddTextOption(*exportCommand, "--decimals", exportRequest.decimals,
                  "ascii: decimals of every number, 0 to 32 (default 6)");

    ExchangeRequest importRequest;
    importRequest.import = true;
    CLI::App* importCommand =
        AddExchange(app, "import", "Write FILE's data into the RAV file", importRequest);

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
    if (exportCommand->parsed()) {
        return RunExchange(exportRequest, out, err);
    }
    if (importCommand->parsed()) {
        return RunExchange(importRequest, out, err);
    }
    if (ravTool.command != 0) {
        return RunRavTool(ravTool, out, err);
    }
    if (fshTool.command != 0) {
        return RunFshTool(fshTool, in, interactive, out, err);
    }
    return kExitUsage;
}
