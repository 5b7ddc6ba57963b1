#pragma once

#include "support/ByteImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Composes RAV files from a plain description, without the reader's code, so
// tests can check the reader and writer against it and the sample generator
// can make scenes.
//
// Build() lays the file out in one pass, each section aligned to `alignment`:
//   header, texture-name table, record table (recordSkip + texture count
//   records), object table, texture names, object names, detail blocks,
//   mesh headers, then per object: vertices, uv header, uvs, texture
//   records, order lists, colours.
// Every object gets a detail block and a mesh header whatever its kind, so a
// test can see that blocks of other kinds are left alone.
class RavBuilder {
public:
    struct Vertex {
        float x = 0;
        float y = 0;
        float z = 0;
    };
    struct Uv {
        float u = 0;
        float v = 0;
    };
    using Colour = std::array<std::uint8_t, 4>;

    struct TextureRecord {
        std::uint32_t value0 = 0;
        std::vector<std::uint16_t> orders;
        // The stored count; the length of `orders` when unset.
        std::optional<std::int32_t> orderCount;
        // The texture (index into the texture list) whose textureRef the
        // record stores; when unset, `textureRef` is stored as given.
        std::optional<std::int32_t> texture;
        std::int32_t textureRef = 0;
    };

    struct Object {
        std::string name;
        std::int32_t kind = 1;
        std::vector<Vertex> vertices;
        std::vector<Uv> uvs;
        std::vector<Colour> colours;
        std::vector<TextureRecord> textureRecords;

        // Words of the detail block and mesh header that the reader carries
        // without interpreting them (the offsets are only range-checked).
        std::uint32_t detailValue00 = 0;
        std::uint32_t detailOffset08 = 0;
        std::uint32_t detailValue0C = 0;
        std::uint32_t detailOffset10 = 0;
        std::uint32_t detailValue34 = 0;
        std::uint32_t detailOffset38 = 0;
        std::uint32_t detailValue3C = 0;
        Vertex boxMin;
        Vertex boxMax;
        std::uint32_t meshValue08 = 0;
        std::uint32_t meshValue0C = 0;
        std::uint32_t meshValue10 = 0;
        std::uint32_t meshValue1C = 0;
    };

    struct ObjectLayout {
        std::uint32_t entry = 0; // this object's entry in the object table
        std::uint32_t name = 0;
        std::uint32_t detail = 0;
        std::uint32_t mesh = 0;
        std::uint32_t vertices = 0;
        std::uint32_t uvHeader = 0;
        std::uint32_t uvs = 0;
        std::uint32_t textureRecords = 0;
        std::vector<std::uint32_t> orders; // one per texture record
        std::uint32_t colours = 0;
    };

    // Where Build() put every section.
    struct Layout {
        std::uint32_t textureTable = 0;
        std::uint32_t recordTable = 0;
        std::uint32_t objectTable = 0;
        std::vector<std::uint32_t> textureNames;
        // textureRef of each texture: recordTable + (recordSkip + i) * 16.
        std::vector<std::int32_t> textureRefs;
        std::vector<ObjectLayout> objects;
        std::uint32_t size = 0;
    };

    struct Result {
        ByteImage image;
        Layout layout;
    };

    std::vector<std::string> textures;
    std::vector<Object> objects;

    // Header words the reader does not follow (the offsets are range-checked).
    std::int32_t offset00 = 0;
    std::int32_t value0C = 0;
    std::int32_t offset10 = 0;
    std::int32_t recordSkip = 0;
    std::uint32_t alignment = 4;

    [[nodiscard]] Result Build() const;

    // A texture record that uses texture `texture` for `orders`.
    [[nodiscard]] static TextureRecord
    Record(std::int32_t texture, std::vector<std::uint16_t> orders, std::uint32_t value0 = 0);

    // Header field positions.
    static constexpr std::uint32_t kOffset00 = 0x00;
    static constexpr std::uint32_t kTextureCount = 0x04;
    static constexpr std::uint32_t kTextureTableOffset = 0x08;
    static constexpr std::uint32_t kOffset10 = 0x10;
    static constexpr std::uint32_t kRecordSkip = 0x14;
    static constexpr std::uint32_t kRecordTableOffset = 0x18;
    static constexpr std::uint32_t kObjectCount = 0x1C;
    static constexpr std::uint32_t kObjectTableOffset = 0x20;
    // Object table entry field positions.
    static constexpr std::uint32_t kEntryName = 0;
    static constexpr std::uint32_t kEntryKind = 4;
    static constexpr std::uint32_t kEntryDetail = 8;
    // Detail block field positions.
    static constexpr std::uint32_t kDetailMesh = 0x04;
    static constexpr std::uint32_t kDetailOffset08 = 0x08;
    static constexpr std::uint32_t kDetailOffset10 = 0x10;
    static constexpr std::uint32_t kDetailRecordCount = 0x14;
    static constexpr std::uint32_t kDetailRecordOffset = 0x18;
    static constexpr std::uint32_t kDetailBoxMin = 0x1C;
    static constexpr std::uint32_t kDetailBoxMax = 0x28;
    static constexpr std::uint32_t kDetailOffset38 = 0x38;
    // Mesh header field positions.
    static constexpr std::uint32_t kMeshVertexCount = 0x00;
    static constexpr std::uint32_t kMeshVertexOffset = 0x04;
    static constexpr std::uint32_t kMeshColourCount = 0x14;
    static constexpr std::uint32_t kMeshColourOffset = 0x18;
    static constexpr std::uint32_t kMeshUvHeader = 0x20;
    // Texture record field positions.
    static constexpr std::uint32_t kRecordOrderCount = 0x4;
    static constexpr std::uint32_t kRecordOrderOffset = 0x8;
    static constexpr std::uint32_t kRecordTextureRef = 0xC;
};
