// The change report of two 64 MB models in memory after a move of every
// vertex, and `diff` of two such files against reading both.

#include "BenchScene.h"

#include "cli/DiffCommand.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "support/TempDir.h"
#include "tools/ChangeReport.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

constexpr int kObjects = 100000; // of 20 vertices: about 64 MB

// The scene and the same scene with every vertex moved, saved.
std::vector<std::uint8_t> MovedScene(const std::vector<std::uint8_t>& bytes) {
    CRavFile rav;
    std::vector<std::uint8_t> moved;
    if (!rav.LoadBytes(bytes, "scene.rav")) {
        return moved;
    }
    for (RavObject& object : rav.Objects()) {
        for (RavVertex& v : object.vertices) {
            v.x += 1.5f;
        }
    }
    (void)rav.PrepareSave(moved);
    return moved;
}

void BM_ChangeReport(benchmark::State& state) {
    const auto bytes = MakeBenchScene(kObjects, 20);
    CRavFile before, after;
    if (!before.LoadBytes(bytes, "a.rav") || !after.LoadBytes(MovedScene(bytes), "b.rav")) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(CompareRav(before, after).objects.size());
    }
}

void BM_DiffFiles(benchmark::State& state) {
    TempDir dir;
    const auto bytes = MakeBenchScene(kObjects, 20);
    const DiffRequest request{dir.Write("a.rav", bytes), dir.Write("b.rav", MovedScene(bytes))};
    for (auto _ : state) {
        std::ostringstream out, err;
        benchmark::DoNotOptimize(RunDiff(request, out, err));
    }
}

void BM_ReadBoth(benchmark::State& state) {
    TempDir dir;
    const auto bytes = MakeBenchScene(kObjects, 20);
    const std::string a = dir.Write("a.rav", bytes);
    const std::string b = dir.Write("b.rav", MovedScene(bytes));
    for (auto _ : state) {
        std::vector<std::uint8_t> first, second;
        benchmark::DoNotOptimize(ReadWholeFile(a, first) && ReadWholeFile(b, second));
    }
}

BENCHMARK(BM_ChangeReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBoth)->Unit(benchmark::kMillisecond);

} // namespace
