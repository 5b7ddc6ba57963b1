#include "filters/SharedPoints.h"

#include <bit>
#include <cmath>

namespace {

// For every float but NaN, equal values then have equal patterns.
std::uint32_t Bits(float value) {
    return value == 0.0f ? 0U : std::bit_cast<std::uint32_t>(value);
}

} // namespace

CSharedPoints::Key CSharedPoints::KeyOf(const RavVertex& position) {
    return {Bits(position.x), Bits(position.y), Bits(position.z)};
}

std::size_t CSharedPoints::Hash(const Key& key) {
    // Float patterns differ mostly in their high bits: mix every bit into
    // every other (the finaliser of splitmix64).
    std::uint64_t hash =
        (std::uint64_t{key[0]} << 32 | key[1]) ^ (std::uint64_t{key[2]} * 0x9E3779B97F4A7C15ULL);
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ULL;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::size_t>(hash ^ (hash >> 31));
}

void CSharedPoints::Grow() {
    std::vector<std::size_t> slots(m_slots.empty() ? 64 : 2 * m_slots.size(), 0);
    const std::size_t mask = slots.size() - 1;
    for (const std::size_t slot : m_slots) {
        if (slot != 0) {
            std::size_t i = Hash(KeyOf(m_points[slot - 1])) & mask;
            while (slots[i] != 0) {
                i = (i + 1) & mask;
            }
            slots[i] = slot;
        }
    }
    m_slots = std::move(slots);
}

std::size_t CSharedPoints::Add(const RavVertex& position) {
    const std::size_t next = m_points.size();
    if (std::isnan(position.x) || std::isnan(position.y) || std::isnan(position.z)) {
        // Equal to nothing, not even to itself: always a point of its own.
        m_points.push_back(position);
        return next;
    }
    if (2 * (next + 1) > m_slots.size()) {
        Grow();
    }
    const Key key = KeyOf(position);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
        const std::size_t slot = m_slots[i];
        if (slot == 0) {
            m_points.push_back(position);
            m_slots[i] = next + 1;
            return next;
        }
        if (KeyOf(m_points[slot - 1]) == key) {
            return slot - 1;
        }
    }
}
