#pragma once

#include "gamefiles/RavRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Gives equal positions one point: each position added gets the index of
// the first earlier point that equals it coordinate by coordinate, as float
// comparison sees it (0.0 equals -0.0, a NaN equals nothing), or else a new
// point at the end. Points thus stand in order of first use. Each addition
// takes constant time on average.
class CSharedPoints {
public:
    // The index of `position`'s point. Throws std::bad_alloc.
    std::size_t Add(const RavVertex& position);

    [[nodiscard]] const std::vector<RavVertex>& Points() const { return m_points; }

private:
    // The bit patterns of the three coordinates, with -0.0 stored as 0.0.
    using Key = std::array<std::uint32_t, 3>;
    static Key KeyOf(const RavVertex& position);
    static std::size_t Hash(const Key& key);
    // Doubles the table and places every point in it again.
    void Grow();

    std::vector<RavVertex> m_points;
    // Open addressing with linear probing, at most half full: each slot is 0
    // when free, else 1 + the index of a point. NaN points have no slot.
    std::vector<std::size_t> m_slots;
};
