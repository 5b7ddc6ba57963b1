// Point sharing and the Lightwave filter on large models. Point sharing is
// measured against the first-match scan that defines it, which slows down
// with the square of the corner count and so runs on the smaller sets only.

#include "filters/LightwaveFilter.h"
#include "filters/SharedPoints.h"
#include "filters/SharedPointsReference.h"
#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <map>
#include <vector>

namespace {

// The corners of `quads` quadrilaterals of a ground, 1,000 to a row, each
// sharing its edges with its neighbours: about one point per quadrilateral.
std::vector<RavVertex> GroundCorners(std::int64_t quads) {
    const auto node = [](std::int64_t column, std::int64_t row) {
        return RavVertex{static_cast<float>(column) * 2.5f, static_cast<float>(row) * 2.5f,
                         static_cast<float>((column * 31 + row * 17) % 100) * 0.25f};
    };
    std::vector<RavVertex> corners;
    corners.reserve(static_cast<std::size_t>(4 * quads));
    for (std::int64_t i = 0; i < quads; ++i) {
        const std::int64_t column = i % 1000;
        const std::int64_t row = i / 1000;
        for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
            corners.push_back(node(column + dx, row + dy));
        }
    }
    return corners;
}

std::vector<std::size_t> ReferenceIndices(const std::vector<RavVertex>& corners) {
    std::vector<RavVertex> points;
    std::vector<std::size_t> indices;
    for (const RavVertex& corner : corners) {
        indices.push_back(ReferenceSharePoint(points, corner));
    }
    return indices;
}

void BM_SharedPoints(benchmark::State& state) {
    const std::vector<RavVertex> corners = GroundCorners(state.range(0));
    if (state.range(0) <= 10000) {
        const std::vector<std::size_t> expected = ReferenceIndices(corners);
        CSharedPoints shared;
        for (std::size_t k = 0; k < corners.size(); ++k) {
            if (shared.Add(corners[k]) != expected[k]) {
                state.SkipWithError("the points differ from the first-match scan");
                return;
            }
        }
    }
    std::size_t points = 0;
    for (auto _ : state) {
        CSharedPoints shared;
        for (const RavVertex& corner : corners) {
            benchmark::DoNotOptimize(shared.Add(corner));
        }
        points = shared.Points().size();
    }
    state.counters["points"] = static_cast<double>(points);
}

void BM_SharedPointsReference(benchmark::State& state) {
    const std::vector<RavVertex> corners = GroundCorners(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReferenceIndices(corners).data());
    }
}

// A model of `quads` four-vertex objects whose corners lie on a grid of
// 256 x 256 nodes, the most that the file's 16-bit point indices reach;
// beyond 65,025 quadrilaterals the grid's cells repeat.
const std::string& QuadScene(std::int64_t quads) {
    static TempDir dir;
    static std::map<std::int64_t, std::string> paths;
    if (const auto found = paths.find(quads); found != paths.end()) {
        return found->second;
    }
    RavBuilder scene;
    scene.objects.reserve(static_cast<std::size_t>(quads));
    for (std::int64_t i = 0; i < quads; ++i) {
        const std::int64_t cell = i % (255 * 255);
        const auto x = static_cast<float>(cell % 255);
        const auto y = static_cast<float>(cell / 255);
        RavBuilder::Object object;
        object.vertices = {{x, y, 1.0f}, {x + 1, y, 1.0f}, {x + 1, y + 1, 1.0f}, {x, y + 1, 1.0f}};
        scene.objects.push_back(std::move(object));
    }
    return paths[quads] =
               dir.Write("quads" + std::to_string(quads) + ".rav", scene.Build().image.Bytes());
}

TempDir& Scratch() {
    static TempDir dir;
    return dir;
}

void BM_LightwaveExport(benchmark::State& state) {
    CRavFile rav;
    rav.SetOutput([](const char*, int, Severity) {});
    CLightwaveFilter filter;
    filter.SetOutput([](const char*, int, Severity) {});
    filter.SetDurable(false); // the point sharing is timed, not the disk
    const std::string path = Scratch().File("export.lwo");
    if (!rav.Load(QuadScene(state.range(0)))) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        if (!filter.Export(path, &rav)) {
            state.SkipWithError("export failed");
            break;
        }
    }
}

void BM_LightwaveImport(benchmark::State& state) {
    CRavFile rav;
    rav.SetOutput([](const char*, int, Severity) {});
    CLightwaveFilter filter;
    filter.SetOutput([](const char*, int, Severity) {});
    const std::string path = Scratch().File("import.lwo");
    if (!rav.Load(QuadScene(state.range(0))) || !filter.Export(path, &rav)) {
        state.SkipWithError("load or export failed");
        return;
    }
    for (auto _ : state) {
        if (!filter.Import(path, &rav)) {
            state.SkipWithError("import failed");
            break;
        }
    }
}

BENCHMARK(BM_SharedPoints)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedPointsReference)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightwaveExport)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightwaveImport)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
