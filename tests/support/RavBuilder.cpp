#include "support/RavBuilder.h"

#include <bit>
#include <initializer_list>

RavBuilder::Result RavBuilder::Build() const {
    Result result;
    ByteImage& image = result.image;
    Layout& at = result.layout;
    // `size` zero bytes at the next 4-byte boundary.
    const auto section = [&image](std::size_t size) {
        const std::uint32_t offset = (image.Size() + 3) & ~3u;
        image.Resize(offset + static_cast<std::uint32_t>(size));
        return offset;
    };
    const auto put = [&image](std::uint32_t offset, std::initializer_list<std::uint32_t> words) {
        for (const std::uint32_t word : words) {
            image.PutU32(offset, word);
            offset += 4;
        }
    };
    const auto u = [](auto value) { return static_cast<std::uint32_t>(value); };
    const auto f = [](float value) { return std::bit_cast<std::uint32_t>(value); };
    const auto ref = [&](std::int32_t texture) {
        return at.recordTable + u(recordSkip + texture) * 16;
    };

    section(36);
    at.textureTable = section(4 * textures.size());
    // The record table is never read; the filler shows that writers leave it alone.
    const std::uint32_t records = 16 * u(recordSkip + std::ssize(textures));
    at.recordTable = section(records);
    for (std::uint32_t i = 0; i < records; ++i) {
        image.PutU8(at.recordTable + i, 0xA5 ^ i);
    }
    at.objectTable = section(12 * objects.size());
    for (std::uint32_t i = 0; i < textures.size(); ++i) {
        at.textureNames.push_back(section(textures[i].size() + 1));
        image.PutRaw(at.textureNames[i], textures[i]);
        image.PutU32(at.textureTable + 4 * i, at.textureNames[i]);
        at.textureRefs.push_back(static_cast<std::int32_t>(ref(static_cast<std::int32_t>(i))));
    }
    at.objects.resize(objects.size());
    for (std::uint32_t j = 0; j < objects.size(); ++j) {
        at.objects[j].entry = at.objectTable + 12 * j;
        at.objects[j].name = section(objects[j].name.size() + 1);
        image.PutRaw(at.objects[j].name, objects[j].name);
    }
    for (ObjectLayout& o : at.objects) {
        o.detail = section(64);
    }
    for (ObjectLayout& o : at.objects) {
        o.mesh = section(36);
    }

    for (std::size_t j = 0; j < objects.size(); ++j) {
        const Object& object = objects[j];
        ObjectLayout& o = at.objects[j];
        o.vertices = section(12 * object.vertices.size());
        for (std::uint32_t i = 0; const Vertex& v : object.vertices) {
            put(o.vertices + 12 * i++, {f(v.x), f(v.y), f(v.z)});
        }
        o.uvHeader = section(8);
        o.uvs = section(8 * object.uvs.size());
        put(o.uvHeader, {u(object.uvs.size()), o.uvs});
        for (std::uint32_t i = 0; const Uv& uv : object.uvs) {
            put(o.uvs + 8 * i++, {f(uv.u), f(uv.v)});
        }
        o.textureRecords = section(16 * object.textureRecords.size());
        for (std::uint32_t k = 0; const TextureRecord& record : object.textureRecords) {
            const std::uint32_t order = section(2 * record.orders.size());
            o.orders.push_back(order);
            for (std::uint32_t i = 0; i < record.orders.size(); ++i) {
                image.PutU16(order + 2 * i, record.orders[i]);
            }
            put(o.textureRecords + 16 * k++,
                {record.value0, u(record.orders.size()), order,
                 record.texture ? ref(*record.texture) : u(record.textureRef)});
        }
        o.colours = section(4 * object.colours.size());
        for (std::uint32_t i = 0; i < 4 * object.colours.size(); ++i) {
            image.PutU8(o.colours + i, object.colours[i / 4][i % 4]);
        }

        const auto tag = [&](std::uint32_t position) {
            return object.tag ? object.tag + position : 0;
        };
        const Vertex& low = object.boxMin;
        const Vertex& high = object.boxMax;
        put(o.entry, {o.name, u(object.kind), o.detail});
        put(o.detail, {tag(0x00), o.mesh, 0, tag(0x0C), 0, u(object.textureRecords.size()),
                       o.textureRecords, f(low.x), f(low.y), f(low.z), f(high.x), f(high.y),
                       f(high.z), tag(0x34), 0, tag(0x3C)});
        put(o.mesh, {u(object.vertices.size()), o.vertices, tag(0x108), tag(0x10C), tag(0x110),
                     u(object.colours.size()), o.colours, tag(0x11C), o.uvHeader});
    }
    put(0, {u(offset00), u(textures.size()), at.textureTable, u(value0C), u(offset10),
            u(recordSkip), at.recordTable, u(objects.size()), at.objectTable});
    return result;
}
