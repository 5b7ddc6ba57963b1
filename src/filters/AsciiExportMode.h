#pragma once

#include <cstdint>

// What the ASCII export writes. The value is written into the text's EXMODE
// line, and the import follows that line, not the filter's own settings.
enum AsciiExportFlag : std::uint32_t {
    ExportVertexes = 1,   // vertex lines carry x, y, z
    ExportTextures = 2,   // recorded in EXMODE only: textures are always written
    ExportPlacements = 4, // vertex lines carry u, v
    ExportOrder = 8,      // texture entries carry ORDERCOUNT and ORDER lines
    ExportShading = 16,   // vertex lines carry the colour
};

inline constexpr std::uint32_t kAsciiDefaultMode = ExportVertexes | ExportTextures;
inline constexpr std::int32_t kAsciiDefaultDecimals = 6;
inline constexpr std::int32_t kAsciiMaxDecimals = 32;

// Vertex lines exist in the text when any of their fields is exported; with
// none they are empty, and the reader passes over empty lines.
[[nodiscard]] constexpr bool HasVertexLines(std::uint32_t mode) {
    return (mode & (ExportVertexes | ExportPlacements | ExportShading)) != 0;
}
