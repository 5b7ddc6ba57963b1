#include "support/ByteImage.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

void ByteImage::Reserve(std::uint64_t end) {
    if (end > UINT32_MAX) {
        throw std::length_error("byte image beyond 4 GiB");
    }
    if (end > m_bytes.size()) {
        m_bytes.resize(static_cast<std::size_t>(end));
    }
}

void ByteImage::Align(std::uint32_t alignment) {
    if (alignment > 1 && Size() % alignment != 0) {
        Resize(Size() + alignment - Size() % alignment);
    }
}

ByteImage& ByteImage::PutU8(std::uint32_t offset, std::uint8_t value) {
    Reserve(std::uint64_t{offset} + 1);
    m_bytes[offset] = value;
    return *this;
}

ByteImage& ByteImage::PutU16(std::uint32_t offset, std::uint16_t value) {
    Reserve(std::uint64_t{offset} + 2);
    PutU8(offset, static_cast<std::uint8_t>(value));
    return PutU8(offset + 1, static_cast<std::uint8_t>(value >> 8));
}

ByteImage& ByteImage::PutU32(std::uint32_t offset, std::uint32_t value) {
    Reserve(std::uint64_t{offset} + 4);
    for (std::uint32_t i = 0; i < 4; ++i) {
        PutU8(offset + i, static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return *this;
}

ByteImage& ByteImage::PutI32(std::uint32_t offset, std::int32_t value) {
    return PutU32(offset, static_cast<std::uint32_t>(value));
}

ByteImage& ByteImage::PutF32(std::uint32_t offset, float value) {
    return PutU32(offset, std::bit_cast<std::uint32_t>(value));
}

ByteImage& ByteImage::PutRaw(std::uint32_t offset, std::span<const std::uint8_t> bytes) {
    Reserve(std::uint64_t{offset} + bytes.size());
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + offset);
    return *this;
}

ByteImage& ByteImage::PutRaw(std::uint32_t offset, std::string_view text) {
    return PutRaw(offset,
                  std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

ByteImage& ByteImage::PutString(std::uint32_t offset, std::string_view text) {
    Reserve(std::uint64_t{offset} + text.size() + 1);
    PutRaw(offset, text);
    return PutU8(offset + static_cast<std::uint32_t>(text.size()), 0);
}

std::uint32_t ByteImage::AppendU8(std::uint8_t value) {
    const std::uint32_t offset = Size();
    PutU8(offset, value);
    return offset;
}

std::uint32_t ByteImage::AppendU16(std::uint16_t value) {
    const std::uint32_t offset = Size();
    PutU16(offset, value);
    return offset;
}

std::uint32_t ByteImage::AppendU32(std::uint32_t value) {
    const std::uint32_t offset = Size();
    PutU32(offset, value);
    return offset;
}

std::uint32_t ByteImage::AppendI32(std::int32_t value) {
    const std::uint32_t offset = Size();
    PutI32(offset, value);
    return offset;
}

std::uint32_t ByteImage::AppendF32(float value) {
    const std::uint32_t offset = Size();
    PutF32(offset, value);
    return offset;
}

std::uint32_t ByteImage::AppendRaw(std::span<const std::uint8_t> bytes) {
    const std::uint32_t offset = Size();
    PutRaw(offset, bytes);
    return offset;
}

std::uint32_t ByteImage::AppendRaw(std::string_view text) {
    const std::uint32_t offset = Size();
    PutRaw(offset, text);
    return offset;
}

std::uint32_t ByteImage::AppendString(std::string_view text) {
    const std::uint32_t offset = Size();
    PutString(offset, text);
    return offset;
}

std::uint32_t ByteImage::AppendZeros(std::uint32_t count) {
    const std::uint32_t offset = Size();
    Reserve(std::uint64_t{offset} + count);
    return offset;
}

std::uint8_t ByteImage::At(std::uint64_t offset) const {
    return offset < m_bytes.size() ? m_bytes[static_cast<std::size_t>(offset)] : 0;
}

std::uint8_t ByteImage::GetU8(std::uint32_t offset) const {
    return At(offset);
}

std::uint16_t ByteImage::GetU16(std::uint32_t offset) const {
    return static_cast<std::uint16_t>(At(offset) | At(std::uint64_t{offset} + 1) << 8);
}

std::uint32_t ByteImage::GetU32(std::uint32_t offset) const {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(At(std::uint64_t{offset} + i)) << (8 * i);
    }
    return value;
}

std::int32_t ByteImage::GetI32(std::uint32_t offset) const {
    return static_cast<std::int32_t>(GetU32(offset));
}

float ByteImage::GetF32(std::uint32_t offset) const {
    return std::bit_cast<float>(GetU32(offset));
}

std::vector<std::uint8_t> ByteImage::GetRaw(std::uint32_t offset, std::uint32_t size) const {
    std::vector<std::uint8_t> bytes(size);
    for (std::uint32_t i = 0; i < size; ++i) {
        bytes[i] = At(std::uint64_t{offset} + i);
    }
    return bytes;
}
