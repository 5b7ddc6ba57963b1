#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The 16 bytes every record of an FSH entry starts with, little-endian: the
// record id, the 24-bit distance from this record to the next one of the
// entry (0 for the last), width, height, x and y centre, then x and y
// position in the low 12 bits of two words whose high 4 bits hold flags and
// the number of mipmap levels after the first.
struct FshRecordHeader {
    static constexpr std::size_t kSize = 16;

    // Bit 0x80 set: the body after the header is RefPack-compressed.
    std::uint8_t id = 0;
    std::uint32_t next = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t xCentre = 0;
    std::uint16_t yCentre = 0;
    std::uint16_t xPosition = 0;
    std::uint16_t yPosition = 0;
    std::uint8_t flags = 0;
    std::uint8_t mipmaps = 0;

    [[nodiscard]] bool IsCompressed() const { return (id & 0x80) != 0; }

    // Reads the header at `offset` of `entry`. False, with `header` as it
    // was, when fewer than 16 bytes stand there.
    [[nodiscard]] static bool Read(std::span<const std::uint8_t> entry, std::size_t offset,
                                   FshRecordHeader& header);
};
