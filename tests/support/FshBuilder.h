#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Four raw bytes of an FSH archive: the magic, a directory id or an entry
// name. Built from text, shorter text is padded with zero bytes.
using FshTag = std::array<std::uint8_t, 4>;
[[nodiscard]] FshTag MakeFshTag(std::string_view text);

// An image record: record id, 24-bit size of the block up to the next record
// part (0 when nothing follows), width and height, four more words (centre
// and position), then the pixel bytes.
struct FshImage {
    std::uint8_t recordId = 0x7D;
    std::uint32_t blockSize = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::array<std::uint16_t, 4> misc{};
    std::vector<std::uint8_t> pixels;
};

[[nodiscard]] std::vector<std::uint8_t> EncodeFshImage(const FshImage& image);

// A 32-bit image (record id 0x7D) with `bgra` holding B, G, R, A for each of
// the width * height pixels, row by row; throws when the size does not match.
[[nodiscard]] FshImage MakeFshImage32(std::uint16_t width, std::uint16_t height,
                                      std::vector<std::uint8_t> bgra);

// Composes an archive byte by byte. Nothing is checked or derived, so any
// malformed layout can be written: the header and directory go where they
// are appended, records and raw bytes go at any offset (the file grows with
// zeros to reach it), and Truncate cuts the tail.
class FshBuilder {
public:
    FshBuilder& Header(const FshTag& magic, std::uint32_t fileSize, std::int32_t entryCount,
                       const FshTag& directoryId);
    FshBuilder& Entry(const FshTag& name, std::uint32_t offset);
    FshBuilder& Append(std::span<const std::uint8_t> bytes);
    FshBuilder& Gap(std::size_t size, std::uint8_t fill = 0);
    FshBuilder& PutAt(std::size_t offset, std::span<const std::uint8_t> bytes);
    FshBuilder& ImageAt(std::size_t offset, const FshImage& image);
    FshBuilder& Truncate(std::size_t size);

    [[nodiscard]] std::size_t Size() const { return m_bytes.size(); }
    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

struct FshNamedImage {
    FshTag name{};
    FshImage image;
};

// A well-formed archive as other FSH programs expect it: "SHPI", the true file
// size, the directory, and each record 16-byte aligned after it.
[[nodiscard]] std::vector<std::uint8_t> MakeFshArchive(const std::vector<FshNamedImage>& images,
                                                       const FshTag& directoryId);
