#pragma once

#include <cstdint>
#include <span>
#include <vector>

// RefPack unpacking as the format note reads, for the benchmarks to measure
// UnpackRefPack against: a branch per command, and every byte of a copy
// checked and moved on its own. False when the stream is refused.
[[nodiscard]] bool PlainUnpackRefPack(std::span<const std::uint8_t> bytes,
                                      std::vector<std::uint8_t>& unpacked);
