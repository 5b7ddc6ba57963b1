#include "pictures/Scene.h"

#include "gamefiles/AsciiCase.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "pictures/FshQImage.h"

#include <cmath>
#include <unordered_map>

namespace {

// Entry index by lower-case name; the first entry of a name wins.
std::unordered_map<std::string, std::int32_t> EntriesByName(const CFshFile& archive) {
    std::unordered_map<std::string, std::int32_t> entries;
    const auto all = archive.Entries();
    for (std::size_t i = 0; i < all.size(); ++i) {
        entries.try_emplace(AsciiLowered(all[i].name.data()), static_cast<std::int32_t>(i));
    }
    return entries;
}

} // namespace

CScene CScene::From(const CRavFile& rav, const CFshFile* archive) {
    CScene scene;
    std::unordered_map<std::string, std::int32_t> entries;
    if (archive != nullptr && archive->IsLoaded()) {
        entries = EntriesByName(*archive);
    }
    // Texture slot by entry index; -1 for an entry that does not decode.
    std::unordered_map<std::int32_t, int> textureOf;
    const auto objects = rav.Objects();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const RavObject& object = objects[i];
        if (!IsGeometryObject(object)) {
            continue;
        }
        SceneObject& drawn = scene.m_objects.emplace_back();
        drawn.index = static_cast<std::int32_t>(i);
        drawn.name = object.name;
        drawn.kind = object.kind;
        drawn.vertexCount = object.mesh.vertexCount;
        drawn.vertices = object.vertices;
        drawn.uvs = object.uvs;
        drawn.colours = object.colours;
        drawn.quad = IsFourVertexObject(object);
        if (!object.textureRecords.empty()) {
            if (const char* name = rav.GetTextureName(object.textureRecords.front().textureRef)) {
                drawn.textureName = name;
            }
        }
        const auto entry = entries.find(AsciiLowered(drawn.textureName));
        if (!drawn.quad || drawn.uvs.size() < 4 || entry == entries.end()) {
            continue;
        }
        auto [known, added] = textureOf.try_emplace(entry->second, -1);
        if (added) {
            CFshImage image;
            std::string problem;
            if (archive->DecodeImage(entry->second, image, problem)) {
                known->second = static_cast<int>(scene.m_textures.size());
                scene.m_textures.push_back(
                    ToQImage(image).convertToFormat(QImage::Format_ARGB32_Premultiplied));
            }
        }
        drawn.texture = known->second;
    }
    return scene;
}

std::optional<QRectF> CScene::Bounds(SceneAxes axes) const {
    double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
    for (const SceneObject& object : m_objects) {
        for (const RavVertex& v : object.vertices) {
            const QPointF p = OnPlane(v, axes);
            if (std::isfinite(p.x()) && std::isfinite(p.y())) {
                left = std::min(left, p.x());
                right = std::max(right, p.x());
                bottom = std::min(bottom, p.y());
                top = std::max(top, p.y());
            }
        }
    }
    if (left > right) {
        return std::nullopt;
    }
    // The rectangle's "top" is the smallest y: here, the lowest game value.
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}
