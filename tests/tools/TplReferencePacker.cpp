#include "tools/TplReferencePacker.h"

#include <cassert>

namespace {

bool Overlaps(const TplSlot& p, std::int32_t u, std::int32_t v, std::int32_t w, std::int32_t h) {
    return u < p.u + p.width && u + w > p.u && v < p.v + p.height && v + h > p.v;
}

} // namespace

std::int32_t ReferencePlaceTplSlots(std::span<TplSlot> slots, std::span<const std::int32_t> order) {
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
