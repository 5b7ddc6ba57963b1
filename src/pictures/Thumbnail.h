#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

class CFshFile;

// Entry `index` of `archive` fitted into `side` x `side` pixels, aspect
// kept, centred on a checkerboard that shows through where it is
// transparent. When the image cannot be decoded: a placeholder, and `why`
// says what is wrong (otherwise it is emptied).
[[nodiscard]] QImage Thumbnail(const CFshFile& archive, std::int32_t index, int side, QString& why);

// `image` fitted the same way, on the checkerboard.
[[nodiscard]] QImage ThumbnailOf(const QImage& image, int side);
