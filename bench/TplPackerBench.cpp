// Texture-page packing of random images, against the literal column scan
// that defines the positions. The scan slows down with the cube of the image
// count, so it is measured on the smaller sets only.

#include "tools/TplPacker.h"
#include "tools/TplReferencePacker.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using Packer = std::int32_t (*)(std::span<TplSlot>, std::span<const std::int32_t>);

// `count` images with sides from 1 to `largest`, always the same ones.
std::vector<TplSlot> RandomImages(std::int64_t count, std::int32_t largest) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::int32_t> side(1, largest);
    std::vector<TplSlot> slots(static_cast<std::size_t>(count));
    for (TplSlot& slot : slots) {
        slot.width = side(random);
        slot.height = side(random);
    }
    return slots;
}

void Pack(benchmark::State& state, Packer packer, std::int32_t largest) {
    std::vector<TplSlot> slots = RandomImages(state.range(0), largest);
    const std::vector<std::int32_t> order = TplPlacementOrder(slots);
    std::int32_t highest = 0;
    for (auto _ : state) {
        highest = packer(slots, order);
        benchmark::DoNotOptimize(slots.data());
    }
    state.counters["pages"] = highest + 1;
}

void BM_TplPack(benchmark::State& state) {
    Pack(state, PlaceTplSlots, kTplPageSize);
}
void BM_TplPackReference(benchmark::State& state) {
    Pack(state, ReferencePlaceTplSlots, kTplPageSize);
}
// Thousands of slots on one page: the rows that the scan must follow jump by
// jump are many and long.
void BM_TplPackTiny(benchmark::State& state) {
    Pack(state, PlaceTplSlots, 4);
}

BENCHMARK(BM_TplPack)
    ->Arg(200)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TplPackReference)->Arg(200)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
// Once: a single run takes several seconds.
BENCHMARK(BM_TplPackReference)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TplPackTiny)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
