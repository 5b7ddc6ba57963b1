#include "cli/CliApp.h"

#include "cli/DiffCommand.h"
#include "cli/ExchangeCommand.h"
#include "cli/ExitStatus.h"
#include "cli/FshToolCommand.h"
#include "cli/InfoCommand.h"
#include "cli/RavToolCommand.h"
#include "cli/RenderCommand.h"
#include "filters/FilterTable.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The number of single-letter edits between two words.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A first argument that names no command: which, and the nearest command.
std::optional<std::string> UnknownCommand(const CLI::App& app, int argc,
                                          const char* const* argv) {
    if (argc < 2 || argv[1][0] == '-') {
        return std::nullopt;
    }
    const std::string given = argv[1];
    std::string nearest;
    std::size_t best = std::string::npos;
    for (const CLI::App* command : app.get_subcommands({})) {
        if (command->get_name() == given) {
            return std::nullopt;
        }
        const std::size_t distance = EditDistance(given, command->get_name());
        if (distance < best) {
            best = distance;
            nearest = command->get_name();
        }
    }
    return "Unknown command '" + given + "'; did you mean '" + nearest + "'? " +
           "(polyport-cli --help lists the commands)";
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
    app.set_version_flag("--version", "polyport-cli " POLYPORT_VERSION);
    // A path such as /tmp/x.rav is a path, on Windows too, not an option.
    app.allow_windows_style_options(false);

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
    DiffRequest diffRequest;
    const CLI::App* diff = AddDiffCommand(app, diffRequest);
    RenderRequest render;
    AddRenderCommand(app, render);

    if (const std::optional<std::string> unknown = UnknownCommand(app, argc, argv)) {
        err << *unknown << std::endl;
        return kExitUsage;
    }
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
    if (diff->parsed()) {
        return RunDiff(diffRequest, out, err);
    }
    if (render.requested) {
        return RunRender(render, out, err);
    }
    return kExitUsage;
}
