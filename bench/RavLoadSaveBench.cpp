// Load + save of a large RAV file against plain copies of the same bytes
// that reach the disk as a save does: the file system's own copy, synced,
// and a read into memory written back out as a whole file (temporary file,
// sync, rename), which no load and save can beat.

#include "BenchScene.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

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
        const int fd = ::open(copy.c_str(), O_WRONLY);
        if (fd < 0 || ::fsync(fd) != 0) {
            state.SkipWithError("sync failed");
        }
        ::close(fd);
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
        if (WriteWholeFile(copy, read) != CWholeFileWriter::Failure::None) {
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
