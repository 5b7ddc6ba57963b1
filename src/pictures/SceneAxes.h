#pragma once

// Which way the scene is looked at. The game's y points up: the top view
// looks down it (x to the right, z up the picture), the front view along z
// (x to the right, y up).
enum class SceneAxes { Top, Front };

// The name of the axis that points up the picture.
[[nodiscard]] inline const char* UpAxisName(SceneAxes axes) {
    return axes == SceneAxes::Top ? "z" : "y";
}
