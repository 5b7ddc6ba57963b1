// Decoding FSH images of 1024 x 1024 random pixels, per format. The rates
// are of decoded pixels; the image object is reused, as a loop over an
// archive's entries would.

#include "gamefiles/FshImage.h"
#include "support/FshBuilder.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr std::uint16_t kSide = 1024;

void Decode(benchmark::State& state, std::uint8_t recordId) {
    const FshPixelFormat format = FshPixelFormatOf(recordId);
    std::mt19937 random(3);
    FshImage image{.recordId = recordId, .width = kSide, .height = kSide, .pixels = {}};
    image.pixels.resize(FshLevelBytes(format, kSide, kSide));
    for (std::uint8_t& b : image.pixels) {
        b = static_cast<std::uint8_t>(random());
    }
    std::vector<FshImage> records = {image};
    if (format == FshPixelFormat::Indexed8) {
        records.push_back({.recordId = 0x24,
                           .width = 256,
                           .height = 1,
                           .pixels = std::vector<std::uint8_t>(768, 0x5A)});
    }
    const std::vector<std::uint8_t> entry = MakeFshEntry(records);
    CFshImage decoded;
    std::string problem;
    for (auto _ : state) {
        if (!decoded.Decode(entry, {}, problem)) {
            state.SkipWithError(problem.c_str());
            break;
        }
        benchmark::DoNotOptimize(decoded.rgba.data());
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    state.SetLabel(std::string(FshPixelFormatName(format)));
}

BENCHMARK_CAPTURE(Decode, argb8888, 0x7D)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, rgb888, 0x7F)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, rgb565, 0x78)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, argb1555, 0x7E)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, argb4444, 0x6D)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, indexed8, 0x7B)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, dxt1, 0x60)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, dxt3, 0x61)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Decode, dxt5, 0x62)->Unit(benchmark::kMicrosecond);

} // namespace
