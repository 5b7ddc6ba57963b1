// RefPack unpacking against the plain loop in PlainRefPack.cpp, on the real
// compressed archives and on a larger stream made of pieces of them. The
// rates are of unpacked bytes.

#include "PlainRefPack.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/RefPack.h"
#include "gamefiles/RefPackEncoder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Unpacked(const Bytes& packed) {
    Bytes unpacked;
    std::string problem;
    if (!UnpackRefPack(packed, unpacked, problem)) {
        unpacked.clear();
    }
    return unpacked;
}

// 8 MiB of pieces of the real archives' unpacked bytes, one byte in 16 of
// each piece changed, packed by our encoder: the mix of literals and short
// and far copies of texture data, on a scale the real files do not reach.
Bytes LargeStream(const std::vector<Bytes>& archives) {
    Bytes pool;
    for (const Bytes& packed : archives) {
        const Bytes unpacked = Unpacked(packed);
        pool.insert(pool.end(), unpacked.begin(), unpacked.end());
    }
    std::mt19937 random(1);
    Bytes data;
    while (!pool.empty() && data.size() < (8u << 20)) {
        const std::size_t length = 64 + random() % 4096;
        const std::size_t from = random() % (pool.size() - std::min(length, pool.size() - 1));
        for (std::size_t i = 0; i < length && from + i < pool.size(); ++i) {
            data.push_back(random() % 16 == 0 ? static_cast<std::uint8_t>(random())
                                              : pool[from + i]);
        }
    }
    return PackRefPack(data);
}

template <typename Unpack> void Run(benchmark::State& state, const Bytes& packed, Unpack unpack) {
    Bytes unpacked;
    for (auto _ : state) {
        if (!unpack(packed, unpacked)) {
            state.SkipWithError("refused");
            break;
        }
        benchmark::DoNotOptimize(unpacked.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * unpacked.size()));
    state.counters["ratio"] =
        static_cast<double>(unpacked.size()) / static_cast<double>(packed.size());
}

bool Fast(const Bytes& packed, Bytes& unpacked) {
    std::string problem;
    return UnpackRefPack(packed, unpacked, problem);
}

bool Plain(const Bytes& packed, Bytes& unpacked) {
    return PlainUnpackRefPack(packed, unpacked);
}

// One pair of benchmarks per stream, named after its file.
const bool kRegistered = [] {
    std::vector<std::pair<std::string, Bytes>> streams;
    for (const auto& file : std::filesystem::directory_iterator(POLYPORT_TEST_DATA "/fsh")) {
        Bytes bytes;
        if (file.path().extension() == ".qfs" && ReadWholeFile(file.path().string(), bytes)) {
            streams.emplace_back(file.path().stem().string(), std::move(bytes));
        }
    }
    std::sort(streams.begin(), streams.end());
    if (Bytes sample; ReadWholeFile(POLYPORT_EXAMPLES "/sample-packed.fsh", sample)) {
        streams.emplace_back("sample-packed", std::move(sample));
    }
    std::vector<Bytes> archives;
    for (const auto& stream : streams) {
        archives.push_back(stream.second);
    }
    streams.emplace_back("large_synthetic", LargeStream(archives));
    for (const auto& [name, packed] : streams) {
        benchmark::RegisterBenchmark(
            ("BM_Unpack/" + name).c_str(),
            [packed = packed](benchmark::State& s) { Run(s, packed, Fast); });
        benchmark::RegisterBenchmark(
            ("BM_UnpackPlain/" + name).c_str(),
            [packed = packed](benchmark::State& s) { Run(s, packed, Plain); });
    }
    return true;
}();

} // namespace
