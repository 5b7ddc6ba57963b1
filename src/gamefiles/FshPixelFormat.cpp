#include "gamefiles/FshPixelFormat.h"

FshPixelFormat FshPixelFormatOf(std::uint8_t recordId) {
    switch (recordId & 0x7F) {
    case 0x7D:
        return FshPixelFormat::Argb8888;
    case 0x7F:
        return FshPixelFormat::Rgb888;
    case 0x78:
        return FshPixelFormat::Rgb565;
    case 0x7E:
        return FshPixelFormat::Argb1555;
    case 0x6D:
        return FshPixelFormat::Argb4444;
    case 0x7B:
        return FshPixelFormat::Indexed8;
    case 0x60:
        return FshPixelFormat::Dxt1;
    case 0x61:
        return FshPixelFormat::Dxt3;
    case 0x62:
        return FshPixelFormat::Dxt5;
    default:
        return FshPixelFormat::Unknown;
    }
}

std::string_view FshPixelFormatName(FshPixelFormat format) {
    switch (format) {
    case FshPixelFormat::Argb8888:
        return "argb8888";
    case FshPixelFormat::Rgb888:
        return "rgb888";
    case FshPixelFormat::Rgb565:
        return "rgb565";
    case FshPixelFormat::Argb1555:
        return "argb1555";
    case FshPixelFormat::Argb4444:
        return "argb4444";
    case FshPixelFormat::Indexed8:
        return "indexed8";
    case FshPixelFormat::Dxt1:
        return "dxt1";
    case FshPixelFormat::Dxt3:
        return "dxt3";
    case FshPixelFormat::Dxt5:
        return "dxt5";
    case FshPixelFormat::Unknown:
        break;
    }
    return "unknown";
}

std::uint64_t FshLevelBytes(FshPixelFormat format, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t pixels = std::uint64_t{width} * height;
    const std::uint64_t blocks = (std::uint64_t{width} + 3) / 4 * ((std::uint64_t{height} + 3) / 4);
    switch (format) {
    case FshPixelFormat::Argb8888:
        return pixels * 4;
    case FshPixelFormat::Rgb888:
        return pixels * 3;
    case FshPixelFormat::Rgb565:
    case FshPixelFormat::Argb1555:
    case FshPixelFormat::Argb4444:
        return pixels * 2;
    case FshPixelFormat::Indexed8:
        return pixels;
    case FshPixelFormat::Dxt1:
        return blocks * 8;
    case FshPixelFormat::Dxt3:
    case FshPixelFormat::Dxt5:
        return blocks * 16;
    case FshPixelFormat::Unknown:
        break;
    }
    return 0;
}
