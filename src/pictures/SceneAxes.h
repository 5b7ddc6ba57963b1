#pragma once

#include "gamefiles/RavRecords.h"

#include <QPointF>

// Which way the scene is looked at. The game's y points up: the top view
// looks down it (x to the right, z up the picture), the front view along z
// (x to the right, y up).
enum class SceneAxes { Top, Front };

// A vertex on the plane of `axes`, in game units, before any fitting.
[[nodiscard]] inline QPointF OnPlane(const RavVertex& v, SceneAxes axes) {
    return {v.x, axes == SceneAxes::Top ? v.z : v.y};
}

// The name of the axis that points up the picture.
[[nodiscard]] inline const char* UpAxisName(SceneAxes axes) {
    return axes == SceneAxes::Top ? "z" : "y";
}
