#pragma once

#include "gamefiles/FshPixelFormat.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What `info` shows of an entry without decoding it.
struct FshImageInfo {
    std::uint8_t recordId = 0;
    FshPixelFormat format = FshPixelFormat::Unknown;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t mipmaps = 0;
    // The ids of the records after the image, in order.
    std::vector<std::uint8_t> attachments;
};

// The image of one FSH entry as 8-bit R, G, B, A, top row first.
//
// An entry's bytes run from its directory offset to the next larger offset,
// or to the end of the archive. Its first record is the image; the records
// reached through the distances in the headers are attachments: palettes
// for 8-bit images, names, texts. A record whose id has bit 0x80 holds its
// body RefPack-compressed. Pixels follow the 16-byte header directly, level 0
// first; smaller mipmap levels after it are not read.
class CFshImage {
public:
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::vector<std::uint8_t> rgba;
    // What the image was decoded in spite of, each a short text to follow the
    // entry's name, such as "has no palette; shown as grey".
    std::vector<std::string> warnings;

    // Decodes the image of `entry`. `sharedPalette` holds the bytes of the
    // archive's "!pal" entry, or nothing; an 8-bit image uses it when none
    // of its attachments is a palette. False with `problem` set (a short text
    // to follow the entry's name) and the image empty when the entry holds no
    // image that can be decoded, or one above 256 MiB decoded.
    [[nodiscard]] bool Decode(std::span<const std::uint8_t> entry,
                              std::span<const std::uint8_t> sharedPalette, std::string& problem);

    // Reads the record headers of `entry` without touching any pixels. False
    // with `problem` set when the entry is too short for a record header.
    [[nodiscard]] static bool Describe(std::span<const std::uint8_t> entry, FshImageInfo& info,
                                       std::string& problem);
};
