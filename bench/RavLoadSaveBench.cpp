// Load + save of a large RAV file against a plain copy of the same bytes,
// which is as fast as any load and save can be.

#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// `objects` crowd-like objects of `verticesPerObject` vertices each, with
// colours, uvs and one texture record.
std::vector<std::uint8_t> MakeScene(int objects, int verticesPerObject) {
    RavBuilder scene;
    scene.textures = {"crw0", "crw1"};
    for (int i = 0; i < objects; ++i) {
        RavBuilder::Object object;
        object.name = "obj" + std::to_string(i);
        for (int k = 0; k < verticesPerObject; ++k) {
            const auto f = static_cast<float>(i * verticesPerObject + k);
            object.vertices.push_back({f, f * 0.5f, -f});
            object.uvs.push_back({0.25f, 0.75f});
            object.colours.push_back({200, 100, 50, 255});
        }
        object.textureRecords.push_back(RavBuilder::Record(i % 2, {0, 1, 2, 0, 2, 3}));
        scene.objects.push_back(std::move(object));
    }
    return scene.Build().image.Bytes();
}

void BM_LoadAndSave(benchmark::State& state) {
    TempDir dir;
    const auto bytes = MakeScene(static_cast<int>(state.range(0)), 20);
    const std::string path = dir.Write("scene.rav", bytes);
    CRavFile rav;
    rav.SetOutput([](const char*, int) {});
    for (auto _ : state) {
        if (!rav.Load(path) || !rav.Save()) {
            state.SkipWithError("load or save failed");
            break;
        }
        rav.Clear();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_PlainCopy(benchmark::State& state) {
    TempDir dir;
    const auto bytes = MakeScene(static_cast<int>(state.range(0)), 20);
    const std::string path = dir.Write("scene.rav", bytes);
    const std::string copy = dir.File("copy.rav");
    for (auto _ : state) {
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// 100,000 objects of 20 vertices: 2 million vertices, about 60 MB.
BENCHMARK(BM_LoadAndSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
