#include "pictures/ScenePainter.h"

#include "pictures/Scene.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

const QColor kBackground(38, 41, 48);
const QColor kQuadOutline(0, 0, 0, 150);
const QColor kUntextured(150, 150, 150);
const QColor kMarks(232, 232, 232);

constexpr double kMargin = 0.05; // of the picture's smaller side, each way

QColor ObjectColour(std::int32_t index) {
    // Steps of the golden angle keep neighbours' hues apart.
    return QColor::fromHsv(static_cast<int>((index * 137) % 360), 170, 240);
}

// The average of the first four colours (bytes 2, 1, 0 are red, green, blue).
QColor AverageColour(const SceneObject& object) {
    if (object.colours.size() < 4) {
        return kUntextured;
    }
    std::array<int, 3> sum{};
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t channel = 0; channel < 3; ++channel) {
            sum[channel] += object.colours[i][2 - channel];
        }
    }
    return QColor((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4);
}

bool Finite(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The map from texture pixels to the picture that puts each corner's
// (u, v) on its position; v = 0 is the image's top row. None when either
// quad is degenerate.
std::optional<QTransform> TextureMap(const SceneObject& object, const QImage& texture,
                                     const QPolygonF& corners) {
    QPolygonF uv;
    for (std::size_t i = 0; i < 4; ++i) {
        uv << QPointF(object.uvs[i].u * texture.width(), object.uvs[i].v * texture.height());
    }
    QTransform map;
    if (!QTransform::quadToQuad(uv, corners, map)) {
        return std::nullopt;
    }
    return map;
}

// The part of the image that a quad's texture coordinates cover when they
// form an upright rectangle inside it: then the image is drawn directly,
// which is several times faster than a pattern fill.
std::optional<QRectF> UprightSource(const SceneObject& object, const QImage& texture) {
    float u0 = object.uvs[0].u, u1 = u0, v0 = object.uvs[0].v, v1 = v0;
    for (std::size_t i = 1; i < 4; ++i) {
        u0 = std::min(u0, object.uvs[i].u);
        u1 = std::max(u1, object.uvs[i].u);
        v0 = std::min(v0, object.uvs[i].v);
        v1 = std::max(v1, object.uvs[i].v);
    }
    if (!(u0 >= 0 && v0 >= 0 && u1 <= 1 && v1 <= 1 && u0 < u1 && v0 < v1)) {
        return std::nullopt;
    }
    // Each corner on a corner of the box, going round it.
    for (std::size_t i = 0; i < 4; ++i) {
        const RavUv& a = object.uvs[i];
        const RavUv& b = object.uvs[(i + 1) % 4];
        const bool onCorner = (a.u == u0 || a.u == u1) && (a.v == v0 || a.v == v1);
        const bool alongEdge = (a.u == b.u) != (a.v == b.v);
        if (!onCorner || !alongEdge) {
            return std::nullopt;
        }
    }
    return QRectF(QPointF(u0 * texture.width(), v0 * texture.height()),
                  QPointF(u1 * texture.width(), v1 * texture.height()));
}

// The quad's fill; its outline is drawn with the others afterwards, in one
// call, which costs a fraction of a call per quad.
void DrawQuad(QPainter& painter, const CScene& scene, const SceneObject& object,
              const QPolygonF& corners) {
    bool filled = false;
    if (object.texture >= 0) {
        const QImage& texture = scene.Textures()[static_cast<std::size_t>(object.texture)];
        if (const std::optional<QTransform> map = TextureMap(object, texture, corners)) {
            // Filtering pays where a texture is enlarged; where it is
            // shrunk, as in a fitted view of thousands of quads, it only
            // costs time.
            const QRectF shown = corners.boundingRect();
            const bool enlarged = shown.width() * shown.height() > texture.width() * texture.height();
            if (painter.testRenderHint(QPainter::SmoothPixmapTransform) != enlarged) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform, enlarged);
            }
            if (const std::optional<QRectF> source = UprightSource(object, texture)) {
                painter.setTransform(*map);
                painter.drawImage(*source, texture, *source);
                painter.resetTransform();
            } else {
                // A pattern brush repeats the image outside 0..1.
                QBrush brush(texture);
                brush.setTransform(*map);
                painter.setBrush(brush);
                painter.drawPolygon(corners);
            }
            filled = true;
        }
    }
    if (!filled) {
        painter.setBrush(AverageColour(object));
        painter.drawPolygon(corners);
    }
}

void DrawPointsAndBox(QPainter& painter, const SceneObject& object, const QPolygonF& points) {
    if (points.isEmpty()) {
        return;
    }
    const QColor colour = ObjectColour(object.index);
    for (const QPointF& p : points) {
        painter.fillRect(QRectF(p.x() - 1.5, p.y() - 1.5, 3, 3), colour);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 0));
    painter.drawRect(points.boundingRect());
}

// A bar of a round length (1, 2 or 5 times a power of ten) near a fifth of
// the picture's width, with its length written above it.
void DrawScaleBar(QPainter& painter, double pixelsPerUnit, const QRectF& picture, double em) {
    if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) {
        return;
    }
    const double wanted = picture.width() / 5 / pixelsPerUnit;
    const double power = std::pow(10.0, std::floor(std::log10(wanted)));
    double units = power;
    for (const double step : {2.0, 5.0, 10.0}) {
        if (power * step <= wanted) {
            units = power * step;
        }
    }
    const double length = units * pixelsPerUnit;
    const QPointF start(picture.left() + em, picture.bottom() - em);
    const QPointF end = start + QPointF(length, 0);
    painter.setPen(QPen(kMarks, std::max(1.0, em / 8)));
    painter.drawLine(start, end);
    painter.drawLine(start, start - QPointF(0, em / 3));
    painter.drawLine(end, end - QPointF(0, em / 3));
    painter.drawText(QRectF(start.x(), start.y() - 1.6 * em, length, 1.2 * em),
                     Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1 units").arg(units, 0, 'g', 6));
}

// Two arrows at the lower right: x to the right, the up axis upwards.
void DrawAxes(QPainter& painter, SceneAxes axes, const QRectF& picture, double em) {
    const QPointF origin(picture.right() - 4 * em, picture.bottom() - em);
    const double arrow = 2.2 * em;
    const QPointF right = origin + QPointF(arrow, 0);
    const QPointF up = origin - QPointF(0, arrow);
    painter.setPen(QPen(kMarks, std::max(1.0, em / 8)));
    painter.drawLine(origin, right);
    painter.drawLine(origin, up);
    const double head = em / 3;
    painter.drawLine(right, right + QPointF(-head, -head));
    painter.drawLine(right, right + QPointF(-head, head));
    painter.drawLine(up, up + QPointF(-head, head));
    painter.drawLine(up, up + QPointF(head, head));
    painter.drawText(QRectF(right.x() + em / 4, right.y() - em / 2, em, em), Qt::AlignCenter,
                     QStringLiteral("x"));
    painter.drawText(QRectF(up.x() - em / 2, up.y() - 1.2 * em, em, em), Qt::AlignCenter,
                     QString::fromLatin1(UpAxisName(axes)));
    painter.drawText(QRectF(picture.left() + em, picture.top() + em / 2, 10 * em, 1.2 * em),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     axes == SceneAxes::Top ? QStringLiteral("Top view")
                                            : QStringLiteral("Front view"));
}

} // namespace

QTransform CScenePainter::Fit(const std::optional<QRectF>& bounds, const QRectF& picture) {
    const double margin = kMargin * std::min(picture.width(), picture.height());
    const QRectF room = picture.adjusted(margin, margin, -margin, -margin);
    QRectF box = bounds.value_or(QRectF(-1, -1, 2, 2));
    // A flat box (one point, or all on a line) gets a few units of room.
    const double least = std::max({box.width(), box.height(), 1e-6}) / 10 + 1;
    if (box.width() < least) {
        box.adjust(-least / 2, 0, least / 2, 0);
    }
    if (box.height() < least) {
        box.adjust(0, -least / 2, 0, least / 2);
    }
    const double scale = std::min(room.width() / box.width(), room.height() / box.height());
    const QPointF centre = box.center();
    // x grows to the right; the up axis grows up the picture.
    return QTransform(scale, 0, 0, -scale, room.center().x() - scale * centre.x(),
                      room.center().y() + scale * centre.y());
}

void CScenePainter::Draw(QPainter& painter, const CScene& scene, SceneAxes axes,
                         const QTransform& toPicture, const QRectF& picture) {
    painter.save();
    painter.fillRect(picture, kBackground);
    painter.setClipRect(picture);
    QVector<QLineF> outlines;
    for (const SceneObject& object : scene.Objects()) {
        QPolygonF points;
        bool finite = true;
        for (const RavVertex& v : object.vertices) {
            points << toPicture.map(OnPlane(v, axes));
            finite = finite && Finite(points.back());
        }
        if (!finite) {
            continue; // an infinite coordinate has no place in the picture
        }
        if (object.quad) {
            painter.setPen(Qt::NoPen);
            DrawQuad(painter, scene, object, points);
            for (qsizetype i = 0; i < 4; ++i) {
                outlines.append(QLineF(points[i], points[(i + 1) % 4]));
            }
        } else {
            DrawPointsAndBox(painter, object, points);
        }
    }
    painter.setPen(QPen(kQuadOutline, 0));
    painter.drawLines(outlines);
    const double em = std::clamp(std::min(picture.width(), picture.height()) / 56, 11.0, 96.0);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(em));
    painter.setFont(font);
    DrawScaleBar(painter, std::abs(toPicture.m11()), picture, em);
    DrawAxes(painter, axes, picture, em);
    painter.restore();
}

QImage CScenePainter::Render(const CScene& scene, SceneAxes axes, int side) {
    QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        return {};
    }
    {
        QPainter painter(&picture);
        const QRectF area(0, 0, side, side);
        Draw(painter, scene, axes, Fit(scene.Bounds(axes), area), area);
    }
    return picture.convertToFormat(QImage::Format_RGBA8888);
}
