#include "gamefiles/FshRecordHeader.h"

#include "gamefiles/ByteOrder.h"

bool FshRecordHeader::Read(std::span<const std::uint8_t> entry, std::size_t offset,
                           FshRecordHeader& header) {
    if (offset > entry.size() || entry.size() - offset < kSize) {
        return false;
    }
    const CLeReader in(entry.subspan(offset, kSize));
    const std::uint32_t first = in.U32(0);
    const std::uint16_t x = in.U16(12);
    const std::uint16_t y = in.U16(14);
    header.id = static_cast<std::uint8_t>(first);
    header.next = first >> 8;
    header.width = in.U16(4);
    header.height = in.U16(6);
    header.xCentre = in.U16(8);
    header.yCentre = in.U16(10);
    header.xPosition = x & 0x0FFF;
    header.yPosition = y & 0x0FFF;
    header.flags = static_cast<std::uint8_t>(x >> 12);
    header.mipmaps = static_cast<std::uint8_t>(y >> 12);
    return true;
}
