#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Encodes an image as a PNG file held in memory: 8-bit R, G, B, A with
// straight alpha, top row first, deflated by zlib after a filter chosen per
// row. Nothing is written to disk. False, with `png` empty, when a side is 0
// or above 2^31 - 1, when `rgba` does not hold width x height x 4 bytes or
// holds more than 1 GiB, or when zlib fails.
[[nodiscard]] bool EncodePng(std::uint32_t width, std::uint32_t height,
                             std::span<const std::uint8_t> rgba, std::vector<std::uint8_t>& png);
