// ASCII export and import of a large model, against the plain snprintf and
// sscanf version of the same format in NaiveAscii.cpp. Each benchmark first
// checks that both give the same bytes (export) or the same model (import).

#include "BenchScene.h"
#include "NaiveAscii.h"

#include "filters/AsciiFilter.h"
#include "gamefiles/RavFile.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

constexpr unsigned kMode = 31; // every field of the format

// 100,000 objects of 20 vertices, written once per run.
const std::string& ScenePath() {
    static TempDir dir;
    static const std::string path = dir.Write("scene.rav", MakeBenchScene(100000, 20));
    return path;
}

TempDir& Scratch() {
    static TempDir dir;
    return dir;
}

bool LoadScene(CRavFile& rav) {
    rav.SetOutput([](const char*, int, Severity) {});
    return rav.Load(ScenePath());
}

// The text an import reads: the scene with every value changed, so that the
// import changes every value of the model it reads into.
const std::string& EditedText(int decimals) {
    static std::map<int, std::string> texts;
    if (const auto found = texts.find(decimals); found != texts.end()) {
        return found->second;
    }
    std::string& path = texts[decimals];
    CRavFile rav;
    if (!LoadScene(rav)) {
        return path;
    }
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        RavObject& object = *rav.GetObject(i);
        object.name += "x";
        for (RavVertex& v : object.vertices) {
            v = {v.y * 0.75f, v.z - 1.5f, v.x / 3.0f};
        }
        for (RavUv& uv : object.uvs) {
            uv = {uv.v, uv.u * 0.5f};
        }
        for (RavColour& colour : object.colours) {
            colour = {colour[1], colour[2], colour[0], colour[3]};
        }
        for (std::uint16_t& entry : object.orders.front()) {
            entry = static_cast<std::uint16_t>(entry + 1);
        }
    }
    CAsciiFilter filter;
    filter.SetExportMode(kMode);
    filter.SetDecimals(decimals);
    const std::string text = Scratch().File("edited" + std::to_string(decimals) + ".txt");
    if (filter.Export(text, &rav)) {
        path = text;
    }
    return path;
}

// Ours without syncing, as the naive version writes: the text and its
// writing alone. BM_AsciiExportDurable adds what the safe replacement costs.
void ExportScene(benchmark::State& state, bool durable) {
    const int decimals = static_cast<int>(state.range(0));
    CRavFile rav;
    CAsciiFilter filter;
    filter.SetExportMode(kMode);
    filter.SetDecimals(decimals);
    filter.SetDurable(durable);
    const std::string ours = Scratch().File("ours.txt");
    const std::string naive = Scratch().File("naive.txt");
    if (!LoadScene(rav) || !filter.Export(ours, &rav) ||
        !NaiveAsciiExport(naive, rav, kMode, decimals) || !SameFileBytes(ours, naive)) {
        state.SkipWithError("the export differs from the snprintf version");
        return;
    }
    for (auto _ : state) {
        if (!filter.Export(ours, &rav)) {
            state.SkipWithError("export failed");
            break;
        }
    }
}

void BM_AsciiExport(benchmark::State& state) {
    ExportScene(state, false);
}

void BM_AsciiExportDurable(benchmark::State& state) {
    ExportScene(state, true);
}

void BM_AsciiExportNaive(benchmark::State& state) {
    const int decimals = static_cast<int>(state.range(0));
    CRavFile rav;
    const std::string naive = Scratch().File("naive.txt");
    if (!LoadScene(rav)) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        if (!NaiveAsciiExport(naive, rav, kMode, decimals)) {
            state.SkipWithError("export failed");
            break;
        }
    }
}

void BM_AsciiImport(benchmark::State& state) {
    const std::string& text = EditedText(static_cast<int>(state.range(0)));
    CRavFile original;
    CRavFile ours;
    CRavFile naive;
    CAsciiFilter filter;
    filter.SetOutput([](const char*, int, Severity) {});
    if (text.empty() || !LoadScene(original) || !LoadScene(ours) || !LoadScene(naive) ||
        !filter.Import(text, &ours) || !NaiveAsciiImport(text, naive) ||
        !SameContent(ours, naive) || SameContent(ours, original)) {
        state.SkipWithError("the import differs from the sscanf version");
        return;
    }
    for (auto _ : state) {
        if (!filter.Import(text, &ours)) {
            state.SkipWithError("import failed");
            break;
        }
    }
}

void BM_AsciiImportNaive(benchmark::State& state) {
    const std::string& text = EditedText(static_cast<int>(state.range(0)));
    CRavFile naive;
    if (text.empty() || !LoadScene(naive)) {
        state.SkipWithError("no text to read");
        return;
    }
    for (auto _ : state) {
        if (!NaiveAsciiImport(text, naive)) {
            state.SkipWithError("import failed");
            break;
        }
    }
}

// Mode 31 with 6 and with 32 decimals.
BENCHMARK(BM_AsciiExport)->Arg(6)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsciiExportDurable)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsciiExportNaive)->Arg(6)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsciiImport)->Arg(6)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsciiImportNaive)->Arg(6)->Arg(32)->Unit(benchmark::kMillisecond);

} // namespace
