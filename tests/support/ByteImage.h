#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A file image composed byte by byte, little-endian. Put... writes at any
// offset and grows the image with zero bytes as needed; GetRaw reads back,
// with zeros beyond the end. Raw bytes travel as strings.
class ByteImage {
public:
    [[nodiscard]] std::uint32_t Size() const { return static_cast<std::uint32_t>(m_bytes.size()); }
    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    // Cuts the image to `size` bytes, or grows it with zeros.
    void Resize(std::uint32_t size) { m_bytes.resize(size); }

    // The low `width` bytes of `value`.
    ByteImage& Put(std::uint32_t offset, std::uint32_t value, std::uint32_t width = 4);
    ByteImage& PutRaw(std::uint32_t offset, std::string_view bytes);
    // The text followed by one zero byte.
    ByteImage& PutString(std::uint32_t offset, std::string_view text) {
        return PutRaw(offset, std::string(text) + '\0');
    }
    // Puts `bytes` at the end and returns where they start.
    std::uint32_t Append(std::string_view bytes) {
        const std::uint32_t offset = Size();
        PutRaw(offset, bytes);
        return offset;
    }

    [[nodiscard]] std::string GetRaw(std::uint32_t offset, std::uint32_t size) const;

private:
    std::vector<std::uint8_t> m_bytes;
};
