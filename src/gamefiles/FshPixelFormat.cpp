#include "gamefiles/FshPixelFormat.h"

#include <algorithm>

namespace {

// One row per pixel format: its record id, its name, and the bytes of one
// pixel, or of one 4 x 4 block for the compressed formats.
struct FormatRow {
    std::uint8_t recordId;
    FshPixelFormat format;
    std::string_view name;
    std::uint32_t pixelBytes; // 0 for a block format
    std::uint32_t blockBytes;
};

constexpr FormatRow kFormats[] = {
    {0x7D, FshPixelFormat::Argb8888, "argb8888", 4, 0},
    {0x7F, FshPixelFormat::Rgb888, "rgb888", 3, 0},
    {0x78, FshPixelFormat::Rgb565, "rgb565", 2, 0},
    {0x7E, FshPixelFormat::Argb1555, "argb1555", 2, 0},
    {0x6D, FshPixelFormat::Argb4444, "argb4444", 2, 0},
    {0x7B, FshPixelFormat::Indexed8, "indexed8", 1, 0},
    {0x60, FshPixelFormat::Dxt1, "dxt1", 0, 8},
    {0x61, FshPixelFormat::Dxt3, "dxt3", 0, 16},
    {0x62, FshPixelFormat::Dxt5, "dxt5", 0, 16},
};

const FormatRow* RowOf(FshPixelFormat format) {
    const auto row = std::ranges::find(kFormats, format, &FormatRow::format);
    return row == std::end(kFormats) ? nullptr : row;
}

} // namespace

FshPixelFormat FshPixelFormatOf(std::uint8_t recordId) {
    // Bit 0x80 marks a compressed body, not another format.
    const auto row = std::ranges::find(kFormats, recordId & 0x7F, &FormatRow::recordId);
    return row == std::end(kFormats) ? FshPixelFormat::Unknown : row->format;
}

std::string_view FshPixelFormatName(FshPixelFormat format) {
    const FormatRow* row = RowOf(format);
    return row != nullptr ? row->name : "unknown";
}

std::uint64_t FshLevelBytes(FshPixelFormat format, std::uint32_t width, std::uint32_t height) {
    const FormatRow* row = RowOf(format);
    if (row == nullptr) {
        return 0;
    }
    const std::uint64_t blocks = (std::uint64_t{width} + 3) / 4 * ((std::uint64_t{height} + 3) / 4);
    return row->pixelBytes != 0 ? std::uint64_t{width} * height * row->pixelBytes
                                : blocks * row->blockBytes;
}
