#include "cli/FshToolCommand.h"

#include "cli/CliServices.h"
#include "cli/ExitStatus.h"
#include "cli/RunCommand.h"
#include "cli/WriteFlags.h"
#include "commands/CommandDispatcher.h"

#include <CLI/CLI.hpp>

namespace {

void AddSelectOptions(CLI::App& command, FshToolRequest& request) {
    CLI::Option* list = command.add_option_function<std::string>(
        "--select", [&request](const std::string& text) { request.select = text; },
        "The images to use: names (every image of that name) or zero-based indices, separated "
        "by commas");
    CLI::Option* all = command.add_flag("--select-all", request.selectAll, "Use every image");
    CLI::Option* none = command.add_flag("--select-none", request.selectNone, "Use no image");
    list->excludes(all)->excludes(none);
    all->excludes(list)->excludes(none);
    none->excludes(list)->excludes(all);
}

} // namespace

void AddFshToolCommands(CLI::App& app, FshToolRequest& request) {
    CLI::App* names = app.add_subcommand(
        "fsh-names", "Name the RAV file's textures after chosen FSH images, the rest NULL");
    names->add_option("RAV", request.ravPath, "RAV file")->required();
    names->add_option("FSH", request.fshPath, "FSH archive")->required();
    AddSelectOptions(*names, request);
    names->add_flag("--yes", request.yes,
                    "Agree that texture associations may become wrong, without being asked");
    AddWriteFlags(*names, request.write);
    names->callback([&request] { request.command = Command::ImportNames; });

    CLI::App* tpl = app.add_subcommand(
        "tpl", "Pack chosen FSH images onto 256 x 256 pages and write FSH's name with .tpl");
    tpl->add_option("FSH", request.fshPath, "FSH archive")->required();
    AddSelectOptions(*tpl, request);
    tpl->add_flag("--pictures", request.pictures,
                  "Also write each page as a PNG file beside the layout: <name>-page<N>.png");
    tpl->callback([&request] { request.command = Command::CreateTpl; });

    CLI::App* extract = app.add_subcommand(
        "fsh-extract", "Write chosen FSH images (all by default) as PNG files into DIR");
    extract->add_option("FSH", request.fshPath, "FSH archive")->required();
    extract->add_option("DIR", request.folder, "Folder for the PNG files, created when missing")
        ->required();
    AddSelectOptions(*extract, request);
    extract->callback([&request] { request.command = Command::ExtractImages; });
}

int RunFshTool(const FshToolRequest& request, std::istream& in, bool interactive, std::ostream& out,
               std::ostream& err) {
    ImageChoice choice;
    if (request.select) {
        if (const ChoiceProblem problem = ParseImageList(*request.select, choice)) {
            err << *problem << std::endl;
            return kExitUsage;
        }
    } else if (request.selectAll) {
        choice.mode = ImageChoice::Mode::All;
    } else if (request.selectNone) {
        choice.mode = ImageChoice::Mode::None;
    }
    // A dry run changes nothing, so it needs no consent.
    const bool consent = request.yes || request.write.dryRun;
    if (request.command == Command::ImportNames && !consent && !interactive) {
        err << "fsh-names rewrites the RAV file's texture names, which may leave objects with "
               "the wrong textures; run it on a terminal to be asked, or pass --yes"
            << std::endl;
        return kExitUsage;
    }

    CCliServices services(std::move(choice), consent, in, interactive, out, err);
    CCommandDispatcher dispatcher;
    dispatcher.SetServices(services);
    ApplyWriteFlags(request.write, dispatcher);
    CommandInputs inputs;
    inputs.ravPath = request.ravPath;
    inputs.fshPath = request.fshPath;
    inputs.imageFolder = request.folder;
    inputs.tplPictures = request.pictures;
    const bool done = RunCommand(dispatcher, *request.command, inputs, out, err);
    if (services.Refused()) {
        return kExitUsage;
    }
    if (services.Declined()) {
        err << "Answered No: nothing was changed" << std::endl;
    }
    return done ? kExitOk : kExitFailed;
}
