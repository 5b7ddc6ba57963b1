#include "cli/ExchangeCommand.h"

#include "cli/ExitStatus.h"
#include "cli/RunCommand.h"
#include "cli/WriteFlags.h"
#include "commands/CommandDispatcher.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <set>
#include <string_view>

namespace {

// A usage error: the message for stderr, or nothing.
using Problem = std::optional<std::string>;

// "a, b or c"
std::string JoinedOr(const std::vector<std::string>& words, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += i == 0 ? "" : i + 1 == words.size() ? last : ", ";
        text += words[i];
    }
    return text;
}

std::string Keys(const CFilterTable& filters) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < filters.Count(); ++i) {
        keys.emplace_back(filters.Get(i)->Traits().key);
    }
    return JoinedOr(keys, " or ");
}

// "ascii, dw or lwo; by default chosen by FILE's extension (.txt and .asc
// ascii, .dw dw, .lwo lwo)"
std::string FilterHelp(const CFilterTable& filters) {
    std::string byExtension;
    for (std::size_t i = 0; i < filters.Count(); ++i) {
        const FilterTraits& traits = filters.Get(i)->Traits();
        std::vector<std::string> extensions;
        for (const std::string_view extension : FilterExtensions(traits)) {
            extensions.emplace_back(extension);
        }
        byExtension += (i == 0 ? "" : ", ") + JoinedOr(extensions, " and ") + " " +
                       std::string(traits.key);
    }
    return Keys(filters) + "; by default chosen by FILE's extension (" + byExtension + ")";
}

bool TakesOption(const FilterTraits& traits, std::string_view name) {
    return std::ranges::any_of(traits.options,
                               [name](const FilterOption& option) { return option.name == name; });
}

// The table index of the filter the request names, or of the one FILE's
// extension belongs to; then whether the options given are that filter's.
Problem ChooseFilter(const CFilterTable& filters, const ExchangeRequest& request, int& index) {
    if (request.filterKey) {
        index = filters.IndexForKey(*request.filterKey);
        if (index < 0) {
            return "Unknown filter '" + *request.filterKey + "'; use " + Keys(filters);
        }
    } else {
        index = filters.IndexForPath(request.exchangePath);
        if (index < 0) {
            return "Cannot choose a filter from the extension of '" + request.exchangePath +
                   "'; name one with --filter";
        }
    }
    const FilterTraits& chosen = filters.Get(static_cast<std::size_t>(index))->Traits();
    for (const auto& [name, value] : request.options) {
        if (TakesOption(chosen, name)) {
            continue;
        }
        for (std::size_t i = 0; i < filters.Count(); ++i) {
            const FilterTraits& owner = filters.Get(i)->Traits();
            if (TakesOption(owner, name)) {
                return std::string(owner.optionsSummary) +
                       (owner.options.size() > 1 ? " apply" : " applies") + " to the " +
                       std::string(owner.key) + " filter only";
            }
        }
    }
    return std::nullopt;
}

CLI::App* AddExchange(CLI::App& app, const char* name, const char* description,
                      const std::string& filterHelp, ExchangeRequest& request) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("RAV", request.ravPath, "RAV file")->required();
    command->add_option("FILE", request.exchangePath, "Exchange file")->required();
    command->add_option_function<std::string>(
        "--filter", [&request](const std::string& key) { request.filterKey = key; }, filterHelp);
    return command;
}

} // namespace

void AddExchangeCommands(CLI::App& app, const CFilterTable& filters,
                         ExchangeRequest& exportRequest, ExchangeRequest& importRequest) {
    const std::string filterHelp = FilterHelp(filters);
    CLI::App* exportCommand = AddExchange(app, "export", "Export the RAV file's objects to FILE",
                                          filterHelp, exportRequest);
    exportRequest.command = Command::Export;
    std::set<std::string_view> added;
    for (std::size_t i = 0; i < filters.Count(); ++i) {
        for (const FilterOption& option : filters.Get(i)->Traits().options) {
            if (!added.insert(option.name).second) {
                continue; // another filter's option of the same name
            }
            const std::string name(option.name);
            if (option.takesValue) {
                exportCommand->add_option_function<std::string>(
                    name,
                    [&exportRequest, name](const std::string& value) {
                        exportRequest.options.emplace_back(name, value);
                    },
                    std::string(option.help));
            } else {
                exportCommand->add_flag_callback(
                    name, [&exportRequest, name] { exportRequest.options.emplace_back(name, ""); },
                    std::string(option.help));
            }
        }
    }
    CLI::App* importCommand = AddExchange(app, "import", "Write FILE's data into the RAV file",
                                          filterHelp, importRequest);
    AddWriteFlags(*importCommand, importRequest.write);
    importRequest.command = Command::Import;
}

int RunExchange(const ExchangeRequest& request, std::ostream& out, std::ostream& err) {
    CCommandDispatcher dispatcher;
    int index = -1;
    Problem problem = ChooseFilter(dispatcher.Filters(), request, index);
    if (!problem) {
        problem = dispatcher.Filters().Get(static_cast<std::size_t>(index))->ApplyOptions(
            request.options);
    }
    if (problem) {
        err << *problem << std::endl;
        return kExitUsage;
    }
    ApplyWriteFlags(request.write, dispatcher);
    CommandInputs inputs;
    inputs.filterIndex = index;
    inputs.ravPath = request.ravPath;
    inputs.exchangePath = request.exchangePath;
    return RunCommand(dispatcher, request.command, inputs, out, err) ? kExitOk : kExitFailed;
}
