#include "cli/DiffCommand.h"

#include "cli/ConsoleOutput.h"
#include "cli/ExitStatus.h"
#include "gamefiles/RavFile.h"
#include "tools/ChangeReport.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>

namespace {

using Json = nlohmann::ordered_json;

// A text report names this many runs of bytes at most; JSON names all.
constexpr std::size_t kRunsInText = 20;

std::string Hex(std::uint64_t value) {
    char text[24];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, 16);
    return "0x" + std::string(text, error == std::errc{} ? end : text);
}

// Whether the model differs, or only bytes it does not read.
std::string Verdict(const RavChangeReport& report) {
    if (!report.ModelChanged()) {
        return "The models are the same: only bytes the model does not own differ";
    }
    return report.outsideModelDiffers ? "Bytes the model does not own differ too"
                                      : "Only bytes of the model differ";
}

void PrintText(const RavChangeReport& report, std::ostream& out) {
    for (const std::string& line : report.Lines()) {
        out << line << '\n';
    }
    std::uint64_t total = 0;
    for (const auto& [begin, end] : report.changedBytes) {
        total += end - begin;
    }
    out << "Bytes that differ: " << total << " in " << report.changedBytes.size() << " run"
        << (report.changedBytes.size() == 1 ? "" : "s");
    const std::size_t shown = std::min(report.changedBytes.size(), kRunsInText);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& [begin, end] = report.changedBytes[i];
        out << (i == 0 ? ": " : ", ") << Hex(begin) << "-" << Hex(end);
    }
    if (shown < report.changedBytes.size()) {
        out << " and " << report.changedBytes.size() - shown << " more";
    }
    out << '\n' << report.Summary() << '\n' << Verdict(report) << std::endl;
}

void PrintJson(const RavChangeReport& report, bool identical, std::ostream& out) {
    Json doc;
    doc["identical"] = identical;
    doc["sameLayout"] = report.sameLayout;
    doc["modelDiffers"] = report.ModelChanged();
    doc["outsideModelDiffers"] = report.outsideModelDiffers;
    doc["summary"] = report.Summary();
    Json header = Json::array();
    for (const auto& word : report.header) {
        header.push_back({{"name", word.name}, {"before", word.before}, {"after", word.after}});
    }
    doc["header"] = std::move(header);
    Json objects = Json::array();
    for (const auto& c : report.objects) {
        Json references = Json::array();
        for (const auto& r : c.textureReferences) {
            references.push_back({{"record", r.record}, {"before", r.before}, {"after", r.after}});
        }
        Json object = {{"index", c.index}, {"name", c.name}};
        if (c.renamed) {
            object["newName"] = c.newName;
        }
        object["verticesMoved"] = c.verticesMoved;
        object["largestMove"] = c.largestMove;
        object["textureCoordinates"] = c.uvs;
        object["colours"] = c.colours;
        object["orderEntries"] = c.orderEntries;
        object["boxChanged"] = c.boxChanged;
        object["otherWords"] = c.otherWords;
        object["textureReferences"] = std::move(references);
        objects.push_back(std::move(object));
    }
    doc["objects"] = std::move(objects);
    Json textures = Json::array();
    for (const auto& t : report.textures) {
        textures.push_back({{"index", t.index}, {"before", t.before}, {"after", t.after}});
    }
    doc["textures"] = std::move(textures);
    Json runs = Json::array();
    for (const auto& [begin, end] : report.changedBytes) {
        runs.push_back({begin, end});
    }
    doc["changedBytes"] = std::move(runs);
    // Names are 8-bit strings from game files.
    out << doc.dump(2, ' ', false, Json::error_handler_t::replace) << std::endl;
}

} // namespace

CLI::App* AddDiffCommand(CLI::App& app, DiffRequest& request) {
    CLI::App* diff = app.add_subcommand(
        "diff", "Show what differs between two RAV files; exit 0 when they are the same bytes");
    diff->add_option("A", request.before, "RAV file")->required();
    diff->add_option("B", request.after, "RAV file, compared with A")->required();
    diff->add_flag("--json", request.json, "Print one JSON document");
    return diff;
}

int RunDiff(const DiffRequest& request, std::ostream& out, std::ostream& err) {
    CConsoleOutput console(out, err);
    CRavFile before;
    CRavFile after;
    console.Attach(before);
    console.Attach(after);
    if (!before.Load(request.before) || !after.Load(request.after)) {
        return kExitUsage;
    }
    const bool identical = std::ranges::equal(before.Bytes(), after.Bytes());
    if (identical && !request.json) {
        out << "The files are identical" << std::endl;
        return kExitOk;
    }
    const RavChangeReport report = CompareRav(before, after);
    if (request.json) {
        PrintJson(report, identical, out);
    } else {
        PrintText(report, out);
    }
    return identical ? kExitOk : kExitFailed;
}
