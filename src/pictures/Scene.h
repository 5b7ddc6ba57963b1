#pragma once

#include "gamefiles/RavRecords.h"
#include "pictures/SceneAxes.h"

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CFshFile;
class CRavFile;

// A vertex on the plane of `axes`, in game units, before any fitting.
[[nodiscard]] inline QPointF OnPlane(const RavVertex& v, SceneAxes axes) {
    return {v.x, axes == SceneAxes::Top ? v.z : v.y};
}

// One geometry object as the pictures draw it.
struct SceneObject {
    std::int32_t index = 0; // in the RAV file's object table
    std::string name;
    std::int32_t kind = 0;
    std::int32_t vertexCount = 0; // as the mesh header counts them
    // The name of the texture its first texture record refers to; empty
    // when it has none or the reference names no texture.
    std::string textureName;
    std::vector<RavVertex> vertices;
    std::vector<RavUv> uvs;
    std::vector<RavColour> colours;
    // Four vertices: a crowd quad, drawn filled.
    bool quad = false;
    // Index into CScene::Textures() of the image that fills the quad, or -1.
    int texture = -1;
};

// What a picture of a RAV model needs, copied out of the loaded files so
// that they can be released: the geometry objects in model order and the
// decoded images of the textures their quads name.
class CScene {
public:
    // Takes the kind-1 objects of `rav`. A quad whose texture name matches
    // an entry of `archive` (without regard to case, the first entry in
    // directory order) gets that image, decoded once for all quads naming
    // it; one that cannot be decoded leaves its quads in their colours.
    [[nodiscard]] static CScene From(const CRavFile& rav, const CFshFile* archive);

    [[nodiscard]] const std::vector<SceneObject>& Objects() const { return m_objects; }
    // Premultiplied ARGB, the format QPainter draws fastest.
    [[nodiscard]] const std::vector<QImage>& Textures() const { return m_textures; }

    // The box around every finite vertex on the plane of `axes`, in game
    // units; none when there is no such vertex.
    [[nodiscard]] std::optional<QRectF> Bounds(SceneAxes axes) const;

private:
    std::vector<SceneObject> m_objects;
    std::vector<QImage> m_textures;
};
