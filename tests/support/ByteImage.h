#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A file image composed byte by byte, little-endian. Put... writes at any
// offset and grows the image with zero bytes as needed. Raw bytes go in as
// spans or strings and come back as strings.
class ByteImage {
public:
    [[nodiscard]] std::uint32_t Size() const { return static_cast<std::uint32_t>(m_bytes.size()); }
    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    // Cuts the image to `size` bytes, or grows it with zeros.
    void Resize(std::uint32_t size) { m_bytes.resize(size); }
    // Pads with zeros up to a multiple of `alignment`.
    void Align(std::uint32_t alignment) {
        Resize((Size() + alignment - 1) / alignment * alignment);
    }

    ByteImage& PutU8(std::uint32_t offset, std::uint8_t value) { return Put(offset, value, 1); }
    ByteImage& PutU16(std::uint32_t offset, std::uint16_t value) { return Put(offset, value, 2); }
    ByteImage& PutU32(std::uint32_t offset, std::uint32_t value) { return Put(offset, value, 4); }
    ByteImage& PutI32(std::uint32_t offset, std::int32_t value) { return Put(offset, value, 4); }
    ByteImage& PutRaw(std::uint32_t offset, std::span<const std::uint8_t> bytes);
    ByteImage& PutRaw(std::uint32_t offset, std::string_view bytes) {
        return PutRaw(offset,
                      std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }
    // Puts `bytes` at the end and returns where they start.
    std::uint32_t Append(std::string_view bytes) {
        const std::uint32_t offset = Size();
        PutRaw(offset, bytes);
        return offset;
    }

    // `size` bytes from `offset`, all within the image.
    [[nodiscard]] std::string GetRaw(std::uint32_t offset, std::uint32_t size) const {
        return {m_bytes.begin() + offset, m_bytes.begin() + offset + size};
    }

private:
    // The low `width` bytes of `value`.
    ByteImage& Put(std::uint32_t offset, std::uint32_t value, std::uint32_t width);

    std::vector<std::uint8_t> m_bytes;
};
