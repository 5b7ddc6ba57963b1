// The bundled sample archive as a modder meets it: every image decoded, as
// the window's thumbnails do, and the whole fsh-extract command, PNG files
// written to disk included.

#include "commands/CommandDispatcher.h"
#include "commands/UiServices.h"
#include "tools/ImageSelection.h"
#include "gamefiles/FshFile.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

namespace {

constexpr const char* kSample = POLYPORT_EXAMPLES "/sample-packed.fsh";

void BM_DecodeSampleArchive(benchmark::State& state) {
    CFshFile archive;
    archive.SetOutput([](const char*, int, Severity) {});
    if (!archive.Load(kSample, 1)) {
        state.SkipWithError("the sample does not load");
        return;
    }
    CFshImage image;
    std::string problem;
    for (auto _ : state) {
        for (std::int32_t i = 0; i < archive.header.entryCount; ++i) {
            if (!archive.DecodeImage(i, image, problem)) {
                state.SkipWithError(problem.c_str());
                return;
            }
        }
    }
}

void BM_ExtractSampleArchive(benchmark::State& state) {
    const TempDir dir;
    CCommandDispatcher dispatcher;
    for (CMessageOutput* worker : dispatcher.Workers()) {
        worker->SetOutput([](const char*, int, Severity) {});
    }
    struct AllImages final : CUiServices {
        void ShowMessage(const std::string&) override {}
        bool AskYesNo(const std::string&) override { return true; }
        bool EditAsciiSettings(AsciiSettingsFields&) override { return false; }
        bool SelectImages(CImageSelection& selection, const CFshFile&) override {
            selection.Accept();
            return true;
        }
    } services;
    dispatcher.SetServices(services);
    CommandInputs inputs;
    inputs.fshPath = kSample;
    inputs.imageFolder = dir.File("images");
    for (auto _ : state) {
        if (!dispatcher.Run(Command::ExtractImages, inputs)) {
            state.SkipWithError("the extract failed");
            return;
        }
    }
}

BENCHMARK(BM_DecodeSampleArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractSampleArchive)->Unit(benchmark::kMillisecond);

} // namespace
