#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The records of a RAV file as the loader holds them. Every word the system
// does not interpret is kept, so that a save writes it back unchanged.

// Nine words at offset 0. Counts and offsets are signed in every comparison.
struct RavHeader {
    std::int32_t offset00 = 0;
    std::int32_t textureCount = 0;
    std::int32_t textureTableOffset = 0;
    std::int32_t value0C = 0;
    std::int32_t offset10 = 0;
    std::int32_t recordSkip = 0;
    std::int32_t recordTableOffset = 0;
    std::int32_t objectCount = 0;
    std::int32_t objectTableOffset = 0;
};

// The 64-byte detail block of a geometry object.
struct RavObjectDetail {
    std::uint32_t value00 = 0;
    std::uint32_t meshOffset = 0;
    std::uint32_t offset08 = 0;
    std::uint32_t value0C = 0;
    std::uint32_t offset10 = 0;
    std::int32_t textureRecordCount = 0;
    std::uint32_t textureRecordOffset = 0;
    std::array<float, 3> boxMin{};
    std::array<float, 3> boxMax{};
    std::uint32_t value34 = 0;
    std::uint32_t offset38 = 0;
    std::uint32_t value3C = 0;
};

// The 36-byte mesh header of a geometry object.
struct RavMeshHeader {
    std::int32_t vertexCount = 0;
    std::uint32_t vertexOffset = 0;
    std::uint32_t value08 = 0;
    std::uint32_t value0C = 0;
    std::uint32_t value10 = 0;
    std::int32_t colourCount = 0;
    std::uint32_t colourOffset = 0;
    std::uint32_t value1C = 0;
    std::uint32_t uvHeaderOffset = 0;
};

struct RavVertex {
    float x = 0;
    float y = 0;
    float z = 0;
};

struct RavUv {
    float u = 0;
    float v = 0;
};

// Bytes 2, 1 and 0 are the channels; byte 3 is carried unchanged.
using RavColour = std::array<std::uint8_t, 4>;

// One 16-byte texture record of an object.
struct RavObjectTexture {
    std::uint32_t value0 = 0;
    std::int32_t orderCount = 0;
    std::uint32_t orderOffset = 0;
    // The file offset of the texture's record in the record table.
    std::int32_t textureRef = 0;
};

struct RavObject {
    std::uint32_t nameOffset = 0;
    std::string name;
    std::int32_t kind = 0;
    // Kept for kind 1 only; 0 for every other kind.
    std::uint32_t detailOffset = 0;
    RavObjectDetail detail;
    RavMeshHeader mesh;
    // Each array has exactly the length of its count: sections are written
    // back in place, so a longer array would overwrite what follows it.
    std::vector<RavVertex> vertices;
    std::vector<RavColour> colours;
    std::vector<RavObjectTexture> textureRecords;
    std::vector<std::vector<std::uint16_t>> orders;
    std::int32_t uvCount = 0;
    std::uint32_t uvOffset = 0;
    std::vector<RavUv> uvs;
};

struct RavTexture {
    std::string name;
    std::uint32_t nameOffset = 0;
    std::int32_t textureRef = 0;
};

// Sizes of the blocks in the file.
inline constexpr std::uint32_t kRavHeaderSize = 36;
inline constexpr std::uint32_t kRavObjectEntrySize = 12;
inline constexpr std::uint32_t kRavDetailSize = 64;
inline constexpr std::uint32_t kRavMeshSize = 36;
inline constexpr std::uint32_t kRavRecordSize = 16;
inline constexpr std::uint32_t kRavUvHeaderSize = 8;
// A stored name is read into at most this many characters.
inline constexpr std::size_t kRavMaxNameLength = 1023;
