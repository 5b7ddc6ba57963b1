#include "pictures/PicturePng.h"

#include "gamefiles/PngWriter.h"

#include <cstring>

bool EncodePicture(const QImage& picture, std::vector<std::uint8_t>& png) {
    png.clear();
    if (picture.isNull()) {
        return false;
    }
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    const auto width = static_cast<std::size_t>(rgba.width());
    std::vector<std::uint8_t> pixels(width * static_cast<std::size_t>(rgba.height()) * 4);
    for (int y = 0; y < rgba.height(); ++y) {
        std::memcpy(pixels.data() + width * 4 * static_cast<std::size_t>(y), rgba.constScanLine(y),
                    width * 4);
    }
    return EncodePng(static_cast<std::uint32_t>(rgba.width()),
                     static_cast<std::uint32_t>(rgba.height()), pixels, png);
}
