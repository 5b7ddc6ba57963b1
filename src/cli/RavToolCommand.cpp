#include "cli/RavToolCommand.h"

#include "cli/ExitStatus.h"
#include "cli/RunCommand.h"
#include "cli/WriteFlags.h"
#include "commands/CommandDispatcher.h"
#include "filters/NumberText.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <optional>

namespace {

// A number, whole: "1.5abc", "0,5" and "1e" are typos, not numbers.
std::optional<std::string> CheckNumber(const char* what, const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) != 0 ||
        !ParseWholeNumber(text)) {
        return std::string(what) + " needs a number, not '" + text + "'";
    }
    return std::nullopt;
}

// The parser reads "-" and a digit as a negative number, anything else after
// "-" as an option.
constexpr const char* kNegativeNumbers =
    "Numbers that start with '-.' or are -inf or -nan need -- before them, as in -- -.5";

void AddTransform(CLI::App& app, const char* name, CRavTools::TransformMode mode,
                  const char* description, RavToolRequest& request) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("RAV", request.ravPath, "RAV file")->required();
    command->add_option("X", request.x, "X")->required();
    command->add_option("Y", request.y, "Y")->required();
    command->add_option("Z", request.z, "Z")->required();
    command->footer(kNegativeNumbers);
    AddWriteFlags(*command, request.write);
    command->callback([&request, mode] {
        request.command = Command::Execute;
        request.transform = mode;
    });
}

} // namespace

void AddRavToolCommands(CLI::App& app, RavToolRequest& request) {
    AddTransform(app, "move", CRavTools::TransformMode::Move,
                 "Move every vertex of the RAV file by X, Y, Z", request);
    AddTransform(app, "scale", CRavTools::TransformMode::Scale,
                 "Scale every vertex of the RAV file by the factors X, Y, Z", request);

    CLI::App* normalize =
        app.add_subcommand("normalize", "Give every G2 object of the RAV file the whole texture");
    normalize->add_option("RAV", request.ravPath, "RAV file")->required();
    AddWriteFlags(*normalize, request.write);
    normalize->callback([&request] { request.command = Command::Normalize; });

    CLI::App* shade = app.add_subcommand(
        "shade", "Darken the G2 crowd of the RAV file towards its edges, down to PERCENT");
    shade->add_option("RAV", request.ravPath, "RAV file")->required();
    shade
        ->add_option("PERCENT", request.shade,
                     "Darkest shade, 0 to 100; -1 restores every G2 colour to white")
        ->required();
    shade->footer(kNegativeNumbers);
    AddWriteFlags(*shade, request.write);
    shade->callback([&request] { request.command = Command::Shade; });
}

std::optional<std::string> NumberTakenForOptionHint(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            break;
        }
        if (arg.size() > 1 && arg[0] == '-' &&
            std::isdigit(static_cast<unsigned char>(arg[1])) == 0 && !CheckNumber("", arg)) {
            return "'" + arg + "' was taken for an option: put -- before the numbers";
        }
    }
    return std::nullopt;
}

int RunRavTool(const RavToolRequest& request, std::ostream& out, std::ostream& err) {
    CommandInputs inputs;
    inputs.transform = request.transform;
    inputs.ravPath = request.ravPath;
    inputs.x = request.x;
    inputs.y = request.y;
    inputs.z = request.z;
    inputs.shade = request.shade;
    std::optional<std::string> problem;
    if (request.command == Command::Execute) {
        for (const auto& [what, text] :
             {std::pair{"X", &inputs.x}, std::pair{"Y", &inputs.y}, std::pair{"Z", &inputs.z}}) {
            if (!problem) {
                problem = CheckNumber(what, *text);
            }
        }
    } else if (request.command == Command::Shade) {
        problem = CheckNumber("PERCENT", inputs.shade);
    }
    if (problem) {
        err << *problem << std::endl;
        return kExitUsage;
    }
    CCommandDispatcher dispatcher;
    ApplyWriteFlags(request.write, dispatcher);
    return RunCommand(dispatcher, *request.command, inputs, out, err) ? kExitOk : kExitFailed;
}
