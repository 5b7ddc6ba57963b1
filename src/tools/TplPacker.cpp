#include "tools/TplPacker.h"

#include <cassert>
#include <utility>

std::vector<std::int32_t> TplPlacementOrder(std::span<const TplSlot> slots) {
    std::vector<std::int32_t> order(slots.size());
    std::vector<std::int32_t> area(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        order[i] = static_cast<std::int32_t>(i);
        area[i] = slots[i].width * slots[i].height;
    }
    for (std::size_t s = 0; s < order.size(); ++s) {
        std::size_t best = s;
        for (std::size_t j = s + 1; j < order.size(); ++j) {
            if (area[j] > area[best]) {
                best = j;
            }
        }
        if (best != s) {
            std::swap(order[s], order[best]);
            std::swap(area[s], area[best]);
        }
    }
    return order;
}

namespace {

bool Overlaps(const TplSlot& p, std::int32_t u, std::int32_t v, std::int32_t w, std::int32_t h) {
    return u < p.u + p.width && u + w > p.u && v < p.v + p.height && v + h > p.v;
}

} // namespace

// The literal column-by-column scan; its positions are the contract.
std::int32_t PlaceTplSlots(std::span<TplSlot> slots, std::span<const std::int32_t> order) {
    std::int32_t highestPage = 0;
    for (std::size_t n = 0; n < order.size(); ++n) {
        TplSlot& slot = slots[static_cast<std::size_t>(order[n])];
        assert(slot.width >= 0 && slot.width <= kTplPageSize);
        assert(slot.height >= 0 && slot.height <= kTplPageSize);
        std::int32_t page = 0;
        std::int32_t u = 0;
        std::int32_t v = 0;
        while (n != 0) {
            bool collided = false;
            for (std::size_t m = 0; m < n; ++m) {
                const TplSlot& placed = slots[static_cast<std::size_t>(order[m])];
                if (placed.page != page || !Overlaps(placed, u, v, slot.width, slot.height)) {
                    continue;
                }
                u = u + 1 >= placed.u + placed.width ? u + 1 : placed.u + placed.width - 1;
                collided = true;
                break;
            }
            if (!collided) {
                break;
            }
            ++u;
            if (u + slot.width > kTplPageSize) {
                u = 0;
                ++v;
                if (v + slot.height > kTplPageSize) {
                    v = 0;
                    ++page;
                    if (page > highestPage) {
                        highestPage = page;
                    }
                }
            }
        }
        slot.page = page;
        slot.u = u;
        slot.v = v;
    }
    return highestPage;
}
