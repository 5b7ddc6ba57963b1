#include "tools/TplPacker.h"
#include "tools/TplReferencePacker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Size {
    std::int32_t width;
    std::int32_t height;
};

struct Position {
    std::int32_t page;
    std::int32_t u;
    std::int32_t v;
    bool operator==(const Position&) const = default;
};

using Packer = std::int32_t (*)(std::span<TplSlot>, std::span<const std::int32_t>);

std::vector<TplSlot> MakeSlots(const std::vector<Size>& sizes) {
    std::vector<TplSlot> slots;
    for (const Size& size : sizes) {
        TplSlot slot;
        slot.name = "t" + std::to_string(slots.size());
        slot.width = size.width;
        slot.height = size.height;
        slots.push_back(slot);
    }
    return slots;
}

// Positions in directory order and the highest page.
std::vector<Position> Pack(Packer packer, const std::vector<Size>& sizes, std::int32_t& highest) {
    std::vector<TplSlot> slots = MakeSlots(sizes);
    const std::vector<std::int32_t> order = TplPlacementOrder(slots);
    highest = packer(slots, order);
    std::vector<Position> positions;
    for (const TplSlot& slot : slots) {
        positions.push_back({slot.page, slot.u, slot.v});
    }
    return positions;
}

std::string Describe(const std::vector<Size>& sizes) {
    std::ostringstream text;
    for (const Size& size : sizes) {
        text << ' ' << size.width << 'x' << size.height;
    }
    return text.str();
}

std::string Describe(const std::vector<Position>& positions) {
    std::ostringstream text;
    for (const Position& at : positions) {
        text << " p" << at.page << '(' << at.u << ',' << at.v << ')';
    }
    return text.str();
}

// Both packers on known layouts, so the table also pins the reference.
TEST(TplPacker, PlacesKnownLayouts) {
    struct Case {
        const char* what;
        std::vector<Size> sizes;
        std::vector<Position> expected;
        std::int32_t highest;
    };
    const std::vector<Case> cases = {
        {"nothing", {}, {}, 0},
        {"a full page pushes the next image to page 1",
         {{256, 256}, {1, 1}},
         {{0, 0, 0}, {1, 0, 0}},
         1},
        {"equal areas keep directory order here",
         {{64, 64}, {128, 32}},
         {{0, 0, 0}, {0, 64, 0}},
         0},
        {"four quarters, then a new page",
         {{128, 128}, {128, 128}, {128, 128}, {128, 128}, {128, 128}},
         {{0, 0, 0}, {0, 128, 0}, {0, 0, 128}, {0, 128, 128}, {1, 0, 0}},
         1},
        {"a later page's gap takes the smaller image",
         {{256, 256}, {64, 64}, {256, 128}},
         {{0, 0, 0}, {1, 0, 128}, {1, 0, 0}},
         1},
        {"a trial on a slot's last column jumps one further",
         {{50, 64}, {1, 128}, {51, 1}},
         {{0, 0, 0}, {0, 50, 0}, {0, 52, 0}},
         0},
        {"the selection sort's exchange reorders equal areas",
         {{2, 2}, {2, 2}, {2, 4}},
         {{0, 4, 0}, {0, 2, 0}, {0, 0, 0}},
         0},
        // The only free column of rows 0 and 1 is jumped over.
        {"a skipped free position is not taken",
         {{254, 2}, {1, 4}, {1, 1}},
         {{0, 0, 0}, {0, 254, 0}, {0, 0, 2}},
         0},
        {"full width and full height",
         {{256, 100}, {256, 156}, {1, 256}, {256, 1}},
         {{0, 0, 156}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}},
         2},
        {"a page whose only free column is always jumped over",
         {{254, 256}, {1, 256}, {1, 1}},
         {{0, 0, 0}, {0, 254, 0}, {1, 0, 0}},
         1},
        // Unreadable images have a size of 0 and go to (0, 0) of page 0.
        {"images of no area",
         {{0, 0}, {256, 256}, {0, 7}, {9, 9}, {7, 0}},
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}},
         1},
    };
    for (const Case& c : cases) {
        for (const Packer packer : {&PlaceTplSlots, &ReferencePlaceTplSlots}) {
            SCOPED_TRACE(std::string(c.what) +
                         (packer == &PlaceTplSlots ? " (fast)" : " (reference)"));
            std::int32_t highest = -1;
            EXPECT_EQ(Describe(Pack(packer, c.sizes, highest)), Describe(c.expected));
            EXPECT_EQ(highest, c.highest);
        }
    }
}

// One random side: mostly from `dist`, sometimes 0 (an unreadable image) or 256.
std::int32_t RandomSide(std::mt19937& random, std::uniform_int_distribution<std::int32_t>& dist) {
    const std::int32_t roll = static_cast<std::int32_t>(random() % 40);
    if (roll == 0) {
        return 0;
    }
    if (roll == 1) {
        return kTplPageSize;
    }
    return dist(random);
}

// Random sets of several shapes: large images over a few pages, small ones
// crowding one page, powers of two, whose many equal areas exercise the
// sort's exchanges, and sides just short of a half or a whole page, which
// leave gaps of a column or two for the scan to jump over. Seeds are fixed so
// that a failure reproduces.
TEST(TplPacker, MatchesTheLiteralScanOnRandomSets) {
    constexpr int kSets = 2000;
    const std::int32_t powers[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};
    const std::int32_t nearEdges[] = {1, 2, 3, 126, 127, 128, 253, 254, 255};
    int compared = 0;
    for (int seed = 1; seed <= kSets; ++seed) {
        std::mt19937 random(static_cast<std::uint32_t>(seed));
        std::uniform_int_distribution<std::int32_t> count(1, 32);
        std::uniform_int_distribution<std::int32_t> large(1, 256);
        std::uniform_int_distribution<std::int32_t> small(1, 48);
        std::uniform_int_distribution<std::int32_t> pick(0, 8);
        std::vector<Size> sizes(static_cast<std::size_t>(count(random)));
        for (Size& size : sizes) {
            switch (seed % 4) {
            case 0:
                size = {RandomSide(random, large), RandomSide(random, large)};
                break;
            case 1:
                size = {RandomSide(random, small), RandomSide(random, small)};
                break;
            case 2:
                size = {powers[pick(random)], powers[pick(random)]};
                break;
            default:
                size = {nearEdges[pick(random)], nearEdges[pick(random)]};
                break;
            }
        }
        std::int32_t fastHighest = 0;
        std::int32_t referenceHighest = 0;
        const std::vector<Position> fast = Pack(&PlaceTplSlots, sizes, fastHighest);
        const std::vector<Position> reference =
            Pack(&ReferencePlaceTplSlots, sizes, referenceHighest);
        if (fast != reference || fastHighest != referenceHighest) {
            ADD_FAILURE() << "seed " << seed << ", sizes" << Describe(sizes) << "\n fast     "
                          << Describe(fast) << " highest " << fastHighest << "\n reference"
                          << Describe(reference) << " highest " << referenceHighest;
            break;
        }
        ++compared;
    }
    EXPECT_EQ(compared, kSets);
}

} // namespace
