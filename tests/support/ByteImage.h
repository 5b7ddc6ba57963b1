#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// A file image composed byte by byte, little-endian. Put... writes at an
// explicit offset and grows the image with zero bytes as needed; Append...
// writes at the end and returns the offset it used. Get... reads back, with
// zeros beyond the end, so tests can inspect what a writer produced.
class ByteImage {
public:
    ByteImage() = default;
    explicit ByteImage(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    [[nodiscard]] std::uint32_t Size() const { return static_cast<std::uint32_t>(m_bytes.size()); }
    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

    // Cuts the image to `size` bytes, or grows it with zeros.
    void Resize(std::uint32_t size) { m_bytes.resize(size); }
    // Pads with zeros up to a multiple of `alignment`.
    void Align(std::uint32_t alignment);

    ByteImage& PutU8(std::uint32_t offset, std::uint8_t value);
    ByteImage& PutU16(std::uint32_t offset, std::uint16_t value);
    ByteImage& PutU32(std::uint32_t offset, std::uint32_t value);
    ByteImage& PutI32(std::uint32_t offset, std::int32_t value);
    ByteImage& PutF32(std::uint32_t offset, float value);
    ByteImage& PutRaw(std::uint32_t offset, std::span<const std::uint8_t> bytes);
    ByteImage& PutRaw(std::uint32_t offset, std::string_view text);
    // The text followed by one zero byte.
    ByteImage& PutString(std::uint32_t offset, std::string_view text);

    std::uint32_t AppendU8(std::uint8_t value);
    std::uint32_t AppendU16(std::uint16_t value);
    std::uint32_t AppendU32(std::uint32_t value);
    std::uint32_t AppendI32(std::int32_t value);
    std::uint32_t AppendF32(float value);
    std::uint32_t AppendRaw(std::span<const std::uint8_t> bytes);
    std::uint32_t AppendRaw(std::string_view text);
    std::uint32_t AppendString(std::string_view text);
    std::uint32_t AppendZeros(std::uint32_t count);

    [[nodiscard]] std::uint8_t GetU8(std::uint32_t offset) const;
    [[nodiscard]] std::uint16_t GetU16(std::uint32_t offset) const;
    [[nodiscard]] std::uint32_t GetU32(std::uint32_t offset) const;
    [[nodiscard]] std::int32_t GetI32(std::uint32_t offset) const;
    [[nodiscard]] float GetF32(std::uint32_t offset) const;
    // `size` bytes from `offset`, zeros beyond the end.
    [[nodiscard]] std::vector<std::uint8_t> GetRaw(std::uint32_t offset, std::uint32_t size) const;

private:
    void Reserve(std::uint64_t end);
    [[nodiscard]] std::uint8_t At(std::uint64_t offset) const;

    std::vector<std::uint8_t> m_bytes;
};
