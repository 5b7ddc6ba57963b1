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
// Build() lays the file out in one pass, each section 4-byte aligned:
//   header, texture-name table, record table (recordSkip + texture count
//   records of a recognisable filler), object table, texture names, object
//   names, detail blocks, mesh headers, then per object: vertices, uv
//   header, uvs, texture records, order lists, colours.
// Every object gets a detail block and a mesh header whatever its kind, so a
// test can see that blocks of other kinds are left alone.
class RavBuilder {
public:
    struct Vertex {
        float x = 0, y = 0, z = 0;
    };
    struct Uv {
        float u = 0, v = 0;
    };
    using Colour = std::array<std::uint8_t, 4>;

    struct TextureRecord {
        std::uint32_t value0 = 0;
        std::vector<std::uint16_t> orders;
        // The texture (index into `textures`) whose textureRef the record
        // stores; when unset, `textureRef` is stored as given.
        std::optional<std::int32_t> texture;
        std::int32_t textureRef = 0;
    };

    struct Object {
        std::string name{};
        std::int32_t kind = 1;
        std::vector<Vertex> vertices{};
        std::vector<Uv> uvs{};
        std::vector<Colour> colours{};
        std::vector<TextureRecord> textureRecords{};
        Vertex boxMin{}, boxMax{};
        // Unless 0, each word the reader carries without interpreting gets a
        // distinct value: tag + its position in the detail block (0x00, 0x0C,
        // 0x34, 0x3C) or tag + 0x100 + its position in the mesh header (0x08,
        // 0x0C, 0x10, 0x1C). The offsets that are only range-checked hold 0.
        std::uint32_t tag = 0;
    };

    // Where Build() put every section.
    struct ObjectLayout {
        std::uint32_t entry = 0, name = 0, detail = 0, mesh = 0, vertices = 0, uvHeader = 0,
                      uvs = 0, textureRecords = 0, colours = 0;
        std::vector<std::uint32_t> orders; // one per texture record
    };
    struct Layout {
        std::uint32_t textureTable = 0, recordTable = 0, objectTable = 0;
        std::vector<std::uint32_t> textureNames;
        // textureRef of each texture: recordTable + (recordSkip + i) * 16.
        std::vector<std::int32_t> textureRefs;
        std::vector<ObjectLayout> objects;
    };
    struct Result {
        ByteImage image;
        Layout layout;
    };

    std::vector<std::string> textures{};
    std::vector<Object> objects{};
    // Header words the reader does not follow (the offsets are range-checked).
    std::int32_t offset00 = 0, value0C = 0, offset10 = 0, recordSkip = 0;

    [[nodiscard]] Result Build() const;

    // A texture record that uses texture `texture` for `orders`.
    [[nodiscard]] static TextureRecord
    Record(std::int32_t texture, std::vector<std::uint16_t> orders, std::uint32_t value0 = 0) {
        return {value0, std::move(orders), texture, 0};
    }
};
