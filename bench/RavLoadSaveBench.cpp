// Load + save of a large RAV file against plain copies of the same bytes:
// the file system's own copy, and a read into memory written back out,
// which no load and save can beat.

#include "BenchScene.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

void BM_LoadAndSave(benchmark::State& state) {
    TempDir dir;
    const auto bytes = MakeBenchScene(static_cast<int>(state.range(0)), 20);
    const std::string path = dir.Write("scene.rav", bytes);
    CRavFile rav;
    rav.SetOutput([](const char*, int, Severity) {});
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
    const auto bytes = MakeBenchScene(static_cast<int>(state.range(0)), 20);
    const std::string path = dir.Write("scene.rav", bytes);
    const std::string copy = dir.File("copy.rav");
    for (auto _ : state) {
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// The same bytes through memory, as a program copies a file: read whole
// into a buffer, written whole to another file.
void BM_ReadWriteCopy(benchmark::State& state) {
    TempDir dir;
    const auto bytes = MakeBenchScene(static_cast<int>(state.range(0)), 20);
    const std::string path = dir.Write("scene.rav", bytes);
    const std::string copy = dir.File("copy.rav");
    for (auto _ : state) {
        std::vector<std::uint8_t> read;
        if (!ReadWholeFile(path, read)) {
            state.SkipWithError("read failed");
            break;
        }
        FilePtr file = OpenFile(copy, "wb");
        if (!file || std::fwrite(read.data(), 1, read.size(), file.get()) != read.size() ||
            !CloseFile(file)) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// 100,000 objects of 20 vertices: 2 million vertices, about 60 MB.
BENCHMARK(BM_LoadAndSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWriteCopy)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
