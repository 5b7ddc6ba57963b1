#include "tools/TplPacker.h"
#include "tools/TplReferencePacker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

struct Size {
    std::int32_t width;
    std::int32_t height;
};

using Packer = std::int32_t (*)(std::span<TplSlot>, std::span<const std::int32_t>);

// Packs images of `sizes` in placement order and returns "page:u,v" of each in
// directory order, then "/ highest page".
std::string Pack(Packer packer, const std::vector<Size>& sizes) {
    std::vector<TplSlot> slots(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        slots[i].name = "t" + std::to_string(i);
        slots[i].width = sizes[i].width;
        slots[i].height = sizes[i].height;
    }
    const std::int32_t highest = packer(slots, TplPlacementOrder(slots));
    std::string text;
    for (const TplSlot& slot : slots) {
        text += std::to_string(slot.page) + ':' + std::to_string(slot.u) + ',' +
                std::to_string(slot.v) + ' ';
    }
    return text + "/ " + std::to_string(highest);
}

// Random sets of several shapes: large images over a few pages, small ones
// crowding one page (both with some sides of 0 and 256), powers of two, whose
// many equal areas exercise the sort's exchanges, and sides just short of a
// half or a whole page, which leave gaps of a column or two for the scan to
// jump over. Seeds are fixed so that a failure reproduces.
TEST(TplPacker, MatchesTheLiteralScanOnRandomSets) {
    constexpr int kSets = 2000;
    const std::int32_t powers[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};
    const std::int32_t nearEdges[] = {1, 2, 3, 126, 127, 128, 253, 254, 255};
    for (int seed = 1; seed <= kSets; ++seed) {
        std::mt19937 random(static_cast<std::uint32_t>(seed));
        std::uniform_int_distribution<std::int32_t> pick(0, 8);
        std::uniform_int_distribution<std::int32_t> any(1, seed % 4 == 0 ? 256 : 48);
        const auto side = [&]() -> std::int32_t {
            switch (seed % 4) {
            case 2:
                return powers[pick(random)];
            case 3:
                return nearEdges[pick(random)];
            default:
                break;
            }
            // Now and then an unreadable image or a side of a whole page.
            const auto roll = random() % 40;
            return roll == 0 ? 0 : roll == 1 ? kTplPageSize : any(random);
        };
        std::vector<Size> sizes(1 + random() % 32);
        for (Size& size : sizes) {
            size.width = side();
            size.height = side();
        }
        const std::string fast = Pack(PlaceTplSlots, sizes);
        const std::string reference = Pack(ReferencePlaceTplSlots, sizes);
        ASSERT_EQ(fast, reference) << "seed " << seed;
    }
}

} // namespace
