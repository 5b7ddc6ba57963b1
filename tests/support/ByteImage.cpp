#include "support/ByteImage.h"

#include <algorithm>

ByteImage& ByteImage::Put(std::uint32_t offset, std::uint32_t value, std::uint32_t width) {
    std::string bytes;
    for (std::uint32_t i = 0; i < width; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
    return PutRaw(offset, bytes);
}

ByteImage& ByteImage::PutRaw(std::uint32_t offset, std::span<const std::uint8_t> bytes) {
    m_bytes.resize(std::max<std::size_t>(m_bytes.size(), offset + bytes.size()));
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + offset);
    return *this;
}
