#pragma once

#include "support/ByteImage.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// Four raw bytes of an FSH archive: the magic, a directory id or an entry
// name. Built from text, shorter text is padded with zero bytes.
using FshTag = std::array<std::uint8_t, 4>;
[[nodiscard]] FshTag MakeFshTag(std::string_view text);

// An image record: record id, 24-bit size of the block up to the next record
// part (0 when nothing follows), width and height, three zero words (centre
// and x position), the mipmap count in the high nibble of the y position,
// then the pixel bytes. Attachments are records of this kind too.
struct FshImage {
    std::uint8_t recordId = 0x7D;
    std::uint32_t blockSize = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::vector<std::uint8_t> pixels;
    std::uint8_t mipmaps = 0;
    // Records that follow this one in its entry (a palette, a name).
    std::vector<FshImage> attachments{};
};

// A 32-bit image with `bgra` holding B, G, R, A for each of the
// width * height pixels, row by row; throws when the size does not match.
[[nodiscard]] FshImage MakeFshImage32(std::uint16_t width, std::uint16_t height,
                                      std::vector<std::uint8_t> bgra);

// The bytes of one entry: the records one after another, each block size
// reaching the next record and the last one 0.
[[nodiscard]] std::vector<std::uint8_t> MakeFshEntry(std::vector<FshImage> records);

// The header and directory exactly as given: nothing is checked or derived,
// so malformed archives can be composed. Records and any other bytes go in
// with the Put... functions, and Resize cuts the tail.
using FshDirectory = std::vector<std::pair<FshTag, std::uint32_t>>;
[[nodiscard]] ByteImage MakeFshHeader(const FshTag& magic, std::uint32_t fileSize,
                                      std::int32_t entryCount, const FshTag& directoryId,
                                      const FshDirectory& entries = {});

// An image and its name in the directory.
using FshNamedImage = std::pair<FshTag, FshImage>;

// A well-formed archive as other FSH programs write it: "SHPI", the true file
// size, the directory, and each record 16-byte aligned after it.
[[nodiscard]] std::vector<std::uint8_t> MakeFshArchive(const std::vector<FshNamedImage>& images,
                                                       const FshTag& directoryId);

// An archive of images of these names and sizes without their pixels: enough
// for what reads only the directory and the record headers.
struct FshSize {
    std::string_view name;
    std::uint16_t width = 8, height = 8;
};
[[nodiscard]] std::vector<std::uint8_t> MakeFshOfSizes(const std::vector<FshSize>& images);
