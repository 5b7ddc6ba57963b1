// PNG writing of real textures, and everything an extract of a small
// archive does per file: unpack, decode each entry, write it as PNG.

#include "gamefiles/FileIo.h"
#include "gamefiles/FshImage.h"
#include "gamefiles/PngWriter.h"
#include "gamefiles/RefPack.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The archive's bytes, unpacked when compressed.
Bytes LoadArchive(const std::string& name) {
    Bytes bytes;
    Bytes unpacked;
    std::string problem;
    if (!ReadWholeFile(POLYPORT_TEST_DATA "/fsh/" + name, bytes)) {
        return {};
    }
    if (SniffRefPack(bytes) == RefPackKind::RefPack && UnpackRefPack(bytes, unpacked, problem)) {
        return unpacked;
    }
    return bytes;
}

std::uint32_t U32(const Bytes& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

// Unpacks the file, decodes every entry and writes each as PNG, as the
// extract command does short of the disk.
void BM_ExtractToPng(benchmark::State& state, const char* name) {
    Bytes file;
    if (!ReadWholeFile(std::string(POLYPORT_TEST_DATA "/fsh/") + name, file)) {
        state.SkipWithError("no file");
        return;
    }
    std::size_t pngBytes = 0;
    for (auto _ : state) {
        Bytes archive;
        std::string problem;
        if (SniffRefPack(file) == RefPackKind::RefPack) {
            if (!UnpackRefPack(file, archive, problem)) {
                state.SkipWithError(problem.c_str());
                break;
            }
        } else {
            archive = file;
        }
        const std::uint32_t count = U32(archive, 8);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t offset = U32(archive, 20 + 8 * i);
            std::uint32_t end = static_cast<std::uint32_t>(archive.size());
            for (std::uint32_t j = 0; j < count; ++j) {
                const std::uint32_t other = U32(archive, 20 + 8 * j);
                end = other > offset && other < end ? other : end;
            }
            CFshImage image;
            Bytes png;
            if (!image.Decode(std::span(archive).subspan(offset, end - offset), {}, problem) ||
                !EncodePng(image.width, image.height, image.rgba, png)) {
                state.SkipWithError("cannot decode");
                break;
            }
            pngBytes = png.size();
        }
    }
    state.counters["png_bytes"] = static_cast<double>(pngBytes);
}

BENCHMARK_CAPTURE(BM_ExtractToPng, dxt3_256, "sc4__king_003E0300__0x61_256.qfs")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExtractToPng, dxt1_256, "sc4__burgers_00030410__0x60_256.qfs")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExtractToPng, indexed8_64, "sc4_g231_pal8_0x7b.fsh")
    ->Unit(benchmark::kMillisecond);

// A 1024 x 1024 texture: the real 256 x 256 one, four by four.
void BM_EncodePng1024(benchmark::State& state) {
    const Bytes archive = LoadArchive("sc4__king_003E0300__0x61_256.qfs");
    CFshImage image;
    std::string problem;
    if (archive.size() < 24 || !image.Decode(std::span(archive).subspan(24), {}, problem)) {
        state.SkipWithError("cannot decode");
        return;
    }
    Bytes large(1024 * 1024 * 4);
    for (std::size_t y = 0; y < 1024; ++y) {
        for (std::size_t x = 0; x < 1024; ++x) {
            std::copy_n(&image.rgba[((y % 256) * 256 + x % 256) * 4], 4,
                        &large[(y * 1024 + x) * 4]);
        }
    }
    Bytes png;
    for (auto _ : state) {
        if (!EncodePng(1024, 1024, large, png)) {
            state.SkipWithError("cannot encode");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * large.size()));
    state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_EncodePng1024)->Unit(benchmark::kMillisecond);

} // namespace
