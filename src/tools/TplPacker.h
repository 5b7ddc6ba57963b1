#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One chosen image on a 256 x 256 texture page. It covers the columns
// u .. u + width - 1 and the rows v .. v + height - 1 of page `page`.
struct TplSlot {
    std::string name;
    std::int32_t u = 0;
    std::int32_t v = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t page = 0;
    // The archive entry the slot was made for; -1 where none is known.
    std::int32_t entry = -1;
};

inline constexpr std::int32_t kTplPageSize = 256;

// The order in which the slots are placed: largest area first, by a
// selection sort that exchanges entries and so does not keep the directory
// order of equal areas. Layouts made earlier depend on that exact order.
[[nodiscard]] std::vector<std::int32_t> TplPlacementOrder(std::span<const TplSlot> slots);

// Places the slots in `order` (indices into `slots`) and sets their page, u
// and v: each goes to the first position of a first-fit scan over the pages,
// rows top to bottom and columns left to right, where a collision with a
// placed slot jumps the column past it. Every size must be 0..256. Returns
// the highest page used (0 when nothing was placed).
std::int32_t PlaceTplSlots(std::span<TplSlot> slots, std::span<const std::int32_t> order);
