#include "pictures/SceneHit.h"

#include "pictures/Scene.h"

#include <QPolygonF>

#include <ranges>

namespace {

constexpr double kReach = 3; // pixels around a rectangle that still hit it

} // namespace

std::optional<SceneHit> HitTest(const CScene& scene, SceneAxes axes, const QTransform& toPicture,
                                QPointF point) {
    // Drawing follows model order, so the last object drawn is on top.
    for (const SceneObject& object : scene.Objects() | std::views::reverse) {
        QPolygonF corners;
        for (const RavVertex& v : object.vertices) {
            corners << toPicture.map(OnPlane(v, axes));
        }
        if (corners.isEmpty()) {
            continue;
        }
        const bool hit =
            object.quad ? corners.containsPoint(point, Qt::OddEvenFill)
                        : corners.boundingRect().adjusted(-kReach, -kReach, kReach, kReach).contains(point);
        if (hit) {
            return SceneHit{object.index, object.name, object.kind, object.vertexCount,
                            object.textureName};
        }
    }
    return std::nullopt;
}
