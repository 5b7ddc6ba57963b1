#include "pictures/Thumbnail.h"

#include "gamefiles/FshFile.h"
#include "pictures/FshQImage.h"

#include <QPainter>

namespace {

QImage Checkerboard(int side) {
    QImage board(side, side, QImage::Format_ARGB32_Premultiplied);
    const int square = std::max(4, side / 8);
    for (int y = 0; y < side; ++y) {
        auto* row = reinterpret_cast<QRgb*>(board.scanLine(y));
        for (int x = 0; x < side; ++x) {
            row[x] = ((x / square + y / square) % 2) != 0 ? qRgb(204, 204, 204) : qRgb(255, 255, 255);
        }
    }
    return board;
}

QImage Placeholder(int side) {
    QImage placeholder(side, side, QImage::Format_ARGB32_Premultiplied);
    placeholder.fill(QColor(120, 120, 120));
    QPainter painter(&placeholder);
    painter.setPen(QPen(QColor(220, 60, 60), std::max(2, side / 16)));
    const int inset = side / 4;
    painter.drawLine(inset, inset, side - inset, side - inset);
    painter.drawLine(side - inset, inset, inset, side - inset);
    return placeholder;
}

} // namespace

QImage ThumbnailOf(const QImage& image, int side) {
    QImage thumbnail = Checkerboard(side);
    if (image.isNull()) {
        return thumbnail;
    }
    const QSize fitted = image.size().scaled(side, side, Qt::KeepAspectRatio);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRect(QPoint((side - fitted.width()) / 2, (side - fitted.height()) / 2),
                            fitted.expandedTo(QSize(1, 1))),
                      image);
    return thumbnail;
}

QImage Thumbnail(const CFshFile& archive, std::int32_t index, int side, QString& why) {
    CFshImage image;
    std::string problem;
    if (!archive.DecodeImage(index, image, problem)) {
        why = QString::fromStdString(problem);
        return Placeholder(side);
    }
    why.clear();
    return ThumbnailOf(ToQImage(image), side);
}
