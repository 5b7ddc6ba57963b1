#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Packs `data` as a RefPack stream without a size prefix: flags 0x10 and a
// 3-byte size, or 0x90 and a 4-byte size from 16 MiB on. Greedy matching over
// a hash chain; it aims at streams every reader takes, not at the smallest.
// `data` must be shorter than 4 GiB.
[[nodiscard]] std::vector<std::uint8_t> PackRefPack(std::span<const std::uint8_t> data);
