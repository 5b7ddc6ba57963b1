#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
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

// The fields of each record in file order, every one a 32-bit word (or a
// float): the loader reads and the writer writes a record by walking its
// list, so a field's place in the file is named once, here. `visit` is
// called with each field, const where the record is.
template <typename Record, typename T>
concept RecordOf = std::same_as<std::remove_const_t<Record>, T>;

template <RecordOf<RavHeader> R, typename Visit> constexpr void ForEachField(R& h, Visit&& visit) {
    visit(h.offset00);
    visit(h.textureCount);
    visit(h.textureTableOffset);
    visit(h.value0C);
    visit(h.offset10);
    visit(h.recordSkip);
    visit(h.recordTableOffset);
    visit(h.objectCount);
    visit(h.objectTableOffset);
}

template <RecordOf<RavObjectDetail> R, typename Visit>
constexpr void ForEachField(R& d, Visit&& visit) {
    visit(d.value00);
    visit(d.meshOffset);
    visit(d.offset08);
    visit(d.value0C);
    visit(d.offset10);
    visit(d.textureRecordCount);
    visit(d.textureRecordOffset);
    for (auto& value : d.boxMin) {
        visit(value);
    }
    for (auto& value : d.boxMax) {
        visit(value);
    }
    visit(d.value34);
    visit(d.offset38);
    visit(d.value3C);
}

template <RecordOf<RavMeshHeader> R, typename Visit>
constexpr void ForEachField(R& m, Visit&& visit) {
    visit(m.vertexCount);
    visit(m.vertexOffset);
    visit(m.value08);
    visit(m.value0C);
    visit(m.value10);
    visit(m.colourCount);
    visit(m.colourOffset);
    visit(m.value1C);
    visit(m.uvHeaderOffset);
}

template <RecordOf<RavObjectTexture> R, typename Visit>
constexpr void ForEachField(R& t, Visit&& visit) {
    visit(t.value0);
    visit(t.orderCount);
    visit(t.orderOffset);
    visit(t.textureRef);
}

template <RecordOf<RavVertex> R, typename Visit> constexpr void ForEachField(R& v, Visit&& visit) {
    visit(v.x);
    visit(v.y);
    visit(v.z);
}

template <RecordOf<RavUv> R, typename Visit> constexpr void ForEachField(R& uv, Visit&& visit) {
    visit(uv.u);
    visit(uv.v);
}

// The 8-byte texture-coordinate header, which the model keeps in the object.
template <RecordOf<RavObject> R, typename Visit>
constexpr void ForEachUvHeaderField(R& o, Visit&& visit) {
    visit(o.uvCount);
    visit(o.uvOffset);
}

// A record's size in the file: four bytes a field.
template <typename Record> constexpr std::uint32_t RavFieldBytes() {
    std::uint32_t size = 0;
    Record record{};
    ForEachField(record, [&size](const auto& field) { size += sizeof field; });
    return size;
}

// Sizes of the blocks in the file.
inline constexpr std::uint32_t kRavHeaderSize = RavFieldBytes<RavHeader>();
inline constexpr std::uint32_t kRavObjectEntrySize = 12;
inline constexpr std::uint32_t kRavDetailSize = RavFieldBytes<RavObjectDetail>();
inline constexpr std::uint32_t kRavMeshSize = RavFieldBytes<RavMeshHeader>();
inline constexpr std::uint32_t kRavRecordSize = RavFieldBytes<RavObjectTexture>();
inline constexpr std::uint32_t kRavUvHeaderSize = 8;
inline constexpr std::uint32_t kRavVertexSize = RavFieldBytes<RavVertex>();
inline constexpr std::uint32_t kRavUvSize = RavFieldBytes<RavUv>();
inline constexpr std::uint32_t kRavColourSize = 4;
static_assert(kRavHeaderSize == 36 && kRavDetailSize == 64 && kRavMeshSize == 36 &&
              kRavRecordSize == 16 && kRavVertexSize == 12 && kRavUvSize == 8);
// A stored name is read into at most this many characters.
inline constexpr std::size_t kRavMaxNameLength = 1023;
