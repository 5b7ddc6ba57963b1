#include "cli/ExchangeCommand.h"

#include "cli/ConsoleOutput.h"
#include "cli/ExitStatus.h"
#include "commands/CommandDispatcher.h"
#include "filters/NumberText.h"

#include <charconv>
#include <string_view>

namespace {

constexpr char kAsciiOnly[] =
    "--mode, --decimals and the export flags apply to the ascii filter only";

// A usage error: the message for stderr, or nothing.
using Problem = std::optional<std::string>;

std::optional<std::uint32_t> ParseMode(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Any whole number, however large: SetDecimals brings it into range.
std::optional<std::int64_t> ParseDecimals(const std::string& text) {
    const std::size_t digits = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (text.size() == digits ||
        text.find_first_not_of("0123456789", digits) != std::string::npos) {
        return std::nullopt;
    }
    return ParseInteger(text.c_str());
}

bool HasModeOptions(const ExchangeRequest& request) {
    return request.mode || request.decimals || request.modeFlags != 0;
}

// The table index of the filter the request names, or of the one FILE's
// extension belongs to.
Problem ChooseFilter(const CFilterTable& filters, const ExchangeRequest& request, int& index) {
    if (request.filterKey) {
        const std::string& key = *request.filterKey;
        index = filters.IndexForKey(key);
        if (index < 0) {
            return "Unknown filter '" + key + "'; use ascii, dw or lwo";
        }
        if (key != "ascii" && HasModeOptions(request)) {
            return kAsciiOnly;
        }
        return std::nullopt;
    }
    index = filters.IndexForPath(request.exchangePath);
    if (index < 0) {
        return "Cannot choose a filter from the extension of '" + request.exchangePath +
               "'; name one with --filter";
    }
    return std::nullopt;
}

Problem ApplyExportSettings(CFilterTable& filters, int index, const ExchangeRequest& request) {
    if (!HasModeOptions(request)) {
        return std::nullopt;
    }
    if (filters.Get(static_cast<std::size_t>(index)) != &filters.Ascii()) {
        return kAsciiOnly;
    }
    if (request.mode && request.modeFlags != 0) {
        return "--mode cannot be combined with --vertexes, --textures, --placements, --order or "
               "--shading";
    }
    CAsciiFilter& ascii = filters.Ascii();
    if (request.mode) {
        const std::optional<std::uint32_t> mode = ParseMode(*request.mode);
        if (!mode) {
            return "--mode needs a whole number from 0 to 4294967295, not '" + *request.mode + "'";
        }
        ascii.SetExportMode(*mode);
    } else if (request.modeFlags != 0) {
        ascii.SetExportMode(request.modeFlags);
    }
    if (request.decimals) {
        const std::optional<std::int64_t> decimals = ParseDecimals(*request.decimals);
        if (!decimals) {
            return "--decimals needs a whole number, not '" + *request.decimals + "'";
        }
        ascii.SetDecimals(*decimals);
    }
    return std::nullopt;
}

} // namespace

int RunExchange(const ExchangeRequest& request, std::ostream& out, std::ostream& err) {
    CCommandDispatcher dispatcher;
    int index = -1;
    Problem problem = ChooseFilter(dispatcher.Filters(), request, index);
    if (!problem) {
        problem = ApplyExportSettings(dispatcher.Filters(), index, request);
    }
    if (problem) {
        err << *problem << std::endl;
        return kExitUsage;
    }

    CConsoleOutput console(out, err);
    for (CMessageOutput* worker : dispatcher.Workers()) {
        console.Attach(*worker);
    }
    // The summaries are what the log pane shows after the worker messages.
    dispatcher.SetLog([&console](const char* text, int) { console.Print(text, 0); });

    CommandInputs inputs;
    inputs.filterIndex = index;
    inputs.ravPath = request.ravPath;
    inputs.exchangePath = request.exchangePath;
    const bool done = dispatcher.Run(request.import ? kCommandImport : kCommandExport, inputs);
    return done ? kExitOk : kExitFailed;
}
