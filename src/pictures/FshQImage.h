#pragma once

#include <QImage>

class CFshImage;

// A decoded FSH image as a QImage of its own (8-bit RGBA, straight alpha).
[[nodiscard]] QImage ToQImage(const CFshImage& image);
