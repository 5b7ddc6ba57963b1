#pragma once

#include <cstdint>
#include <string_view>

// How an FSH image record stores its pixels, told by its record id.
enum class FshPixelFormat : std::uint8_t {
    Argb8888,
    Rgb888,
    Rgb565,
    Argb1555,
    Argb4444,
    Indexed8,
    Dxt1,
    Dxt3,
    Dxt5,
    Unknown,
};

// The format of a record id. Bit 0x80 only says the body is compressed.
[[nodiscard]] FshPixelFormat FshPixelFormatOf(std::uint8_t recordId);

// The name `info` shows: "argb8888", "rgb888", "rgb565", "argb1555",
// "argb4444", "indexed8", "dxt1", "dxt3", "dxt5" or "unknown".
[[nodiscard]] std::string_view FshPixelFormatName(FshPixelFormat format);

// The bytes one level of `width` x `height` pixels takes: DXT formats store
// whole 4 x 4 blocks. 0 for Unknown.
[[nodiscard]] std::uint64_t FshLevelBytes(FshPixelFormat format, std::uint32_t width,
                                          std::uint32_t height);
