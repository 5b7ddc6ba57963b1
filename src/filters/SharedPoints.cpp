#include "filters/SharedPoints.h"

#include <bit>
#include <cmath>

namespace {

// For every float but NaN, equal values then have equal patterns.
std::uint32_t Bits(float value) {
    return value == 0.0f ? 0U : std::bit_cast<std::uint32_t>(value);
}

} // namespace

std::size_t CSharedPoints::KeyHash::operator()(const Key& key) const {
    // Float patterns differ mostly in their high bits: mix every bit into
    // every other (the finaliser of splitmix64).
    std::uint64_t hash =
        (std::uint64_t{key[0]} << 32 | key[1]) ^ (std::uint64_t{key[2]} * 0x9E3779B97F4A7C15ULL);
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ULL;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::size_t>(hash ^ (hash >> 31));
}

std::size_t CSharedPoints::Add(const RavVertex& position) {
    const std::size_t next = m_points.size();
    if (std::isnan(position.x) || std::isnan(position.y) || std::isnan(position.z)) {
        // Equal to nothing, not even to itself: always a point of its own.
        m_points.push_back(position);
        return next;
    }
    const auto [entry, added] =
        m_index.try_emplace({Bits(position.x), Bits(position.y), Bits(position.z)}, next);
    if (added) {
        m_points.push_back(position);
    }
    return entry->second;
}
