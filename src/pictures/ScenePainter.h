#pragma once

#include "pictures/SceneAxes.h"

#include <QImage>
#include <QRectF>
#include <QTransform>

#include <optional>

class CScene;
class QPainter;

// Draws a scene orthographically. Positions go from the plane of the view,
// in game units, to the picture through a transform that keeps the aspect
// (the same scale on both axes, the up axis pointing up the picture).
class CScenePainter {
public:
    // The transform that fits `bounds` (game units) into `picture` with a
    // margin, centred. A flat box (a point, a line) gets some room around
    // it; no box at all shows the origin.
    [[nodiscard]] static QTransform Fit(const std::optional<QRectF>& bounds,
                                        const QRectF& picture);

    // Draws `scene` onto `painter` over `picture`, in model order: each quad
    // filled with its texture (mapped through its texture coordinates) or
    // else its vertex colours, and outlined; every other object as its
    // points and bounding rectangle in a colour of its own. Then the scale
    // bar and the names of the axes.
    static void Draw(QPainter& painter, const CScene& scene, SceneAxes axes,
                     const QTransform& toPicture, const QRectF& picture);

    // The picture the command-line tool and "Fit" show: `side` x `side`,
    // fitted, 8-bit RGBA.
    [[nodiscard]] static QImage Render(const CScene& scene, SceneAxes axes, int side);
};
