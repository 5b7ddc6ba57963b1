#pragma once

#include "tools/TplPacker.h"

#include <cstdint>
#include <span>

// The literal first-fit scan, one column at a time, testing every placed slot
// on every page. Slow, but its positions are the contract: PlaceTplSlots must
// give the same page, u and v for every input. Same arguments and result.
std::int32_t ReferencePlaceTplSlots(std::span<TplSlot> slots, std::span<const std::int32_t> order);
