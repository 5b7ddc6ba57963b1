#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// `picture` as PNG bytes through the core's PNG writer (8-bit RGBA,
// straight alpha). False, with `png` empty, for a null picture.
[[nodiscard]] bool EncodePicture(const QImage& picture, std::vector<std::uint8_t>& png);
