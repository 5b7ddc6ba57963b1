#pragma once

#include "pictures/SceneAxes.h"

#include <QPointF>
#include <QTransform>

#include <cstdint>
#include <optional>
#include <string>

class CScene;

// The object under a point of a picture, as the status line names it.
struct SceneHit {
    std::int32_t index = 0;
    std::string name;
    std::int32_t kind = 0;
    std::int32_t vertexCount = 0;
    std::string textureName;
};

// The object drawn last at `point` of a picture drawn with `toPicture`: a
// quad when the point lies inside it, another object when it lies within
// a few pixels of its bounding rectangle. None where nothing is drawn.
[[nodiscard]] std::optional<SceneHit> HitTest(const CScene& scene, SceneAxes axes,
                                              const QTransform& toPicture, QPointF point);
