#pragma once

#include "gamefiles/RavRecords.h"

#include <algorithm>

// The kinds of object the tools and filters work on. They differ in small
// ways that files made with them rely on, so each stays exactly as it is.
// Every predicate also checks the array lengths it indexes, so a model whose
// counts were changed behind its back is never read past its arrays.

// Kind 1: vertices, colours, texture coordinates and texture records. Every
// other kind has a name only.
[[nodiscard]] inline bool IsGeometryObject(const RavObject& o) {
    return o.kind == 1;
}

// Four vertices, whatever the kind says (only kind 1 has vertices): the
// crowd quads as the LightWave and OBJ filters and the pictures see them.
[[nodiscard]] inline bool IsFourVertexObject(const RavObject& o) {
    return o.mesh.vertexCount == 4 && o.vertices.size() == 4;
}

// A four-vertex object with a shape: not all twelve coordinates 0.0. The
// exchange formats without object names write these and read them back in
// the same order, so that each quadrilateral returns to its object.
[[nodiscard]] inline bool HoldsQuadrilateral(const RavObject& o) {
    return IsFourVertexObject(o) && std::ranges::any_of(o.vertices, [](const RavVertex& v) {
               return v.x != 0.0f || v.y != 0.0f || v.z != 0.0f;
           });
}

// A G2 object as the DesignWorkshop filter sees it: a rectangle with exactly
// one texture record (its material).
[[nodiscard]] inline bool IsDesignWorkshopG2(const RavObject& o) {
    return IsGeometryObject(o) && IsFourVertexObject(o) && o.detail.textureRecordCount == 1 &&
           o.textureRecords.size() == 1;
}

// A G2 object as the crowd shader sees it: four corners, each with a colour;
// texture coordinates do not matter.
[[nodiscard]] inline bool IsShadableG2(const RavObject& o) {
    return IsGeometryObject(o) && IsFourVertexObject(o) && o.mesh.colourCount == 4 &&
           o.colours.size() == 4;
}

// A G2 object as normalize sees it: four vertices by count and four texture
// coordinates, which it replaces; colours do not matter.
[[nodiscard]] inline bool IsNormalizableG2(const RavObject& o) {
    return IsGeometryObject(o) && o.mesh.vertexCount == 4 && o.uvCount == 4;
}
