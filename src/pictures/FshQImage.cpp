#include "pictures/FshQImage.h"

#include "gamefiles/FshImage.h"

#include <cstring>

QImage ToQImage(const CFshImage& image) {
    QImage picture(image.width, image.height, QImage::Format_RGBA8888);
    if (picture.isNull() || image.rgba.size() != std::size_t{image.width} * image.height * 4) {
        return {};
    }
    const std::size_t row = std::size_t{image.width} * 4;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(picture.scanLine(y), image.rgba.data() + row * std::size_t(y), row);
    }
    return picture;
}
