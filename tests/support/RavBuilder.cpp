#include "support/RavBuilder.h"

namespace {

constexpr std::uint32_t kHeaderSize = 36;
constexpr std::uint32_t kEntrySize = 12;
constexpr std::uint32_t kDetailSize = 64;
constexpr std::uint32_t kMeshSize = 36;
constexpr std::uint32_t kRecordSize = 16;

std::uint32_t Count(std::size_t size) {
    return static_cast<std::uint32_t>(size);
}

void PutVertex(ByteImage& image, std::uint32_t offset, const RavBuilder::Vertex& vertex) {
    image.PutF32(offset, vertex.x).PutF32(offset + 4, vertex.y).PutF32(offset + 8, vertex.z);
}

} // namespace

RavBuilder::Result RavBuilder::Build() const {
    Result result;
    ByteImage& image = result.image;
    Layout& layout = result.layout;
    const auto section = [&](std::uint32_t size) {
        image.Align(alignment);
        return image.AppendZeros(size);
    };

    image.AppendZeros(kHeaderSize);
    layout.textureTable = section(4 * Count(textures.size()));
    // The record table is never read; a recognisable filler shows that the
    // writers leave it alone.
    const std::uint32_t recordCount =
        static_cast<std::uint32_t>(recordSkip) + Count(textures.size());
    layout.recordTable = section(kRecordSize * recordCount);
    for (std::uint32_t i = 0; i < kRecordSize * recordCount; ++i) {
        image.PutU8(layout.recordTable + i, static_cast<std::uint8_t>(0xA5 ^ i));
    }
    layout.objectTable = section(kEntrySize * Count(objects.size()));
    const auto textureRef = [&](std::int32_t index) {
        return static_cast<std::int32_t>(
            layout.recordTable + static_cast<std::uint32_t>(recordSkip + index) * kRecordSize);
    };

    for (std::uint32_t i = 0; i < textures.size(); ++i) {
        image.Align(alignment);
        const std::uint32_t name = image.AppendString(textures[i]);
        image.PutU32(layout.textureTable + 4 * i, name);
        layout.textureNames.push_back(name);
        layout.textureRefs.push_back(textureRef(static_cast<std::int32_t>(i)));
    }

    layout.objects.resize(objects.size());
    for (std::uint32_t j = 0; j < objects.size(); ++j) {
        ObjectLayout& at = layout.objects[j];
        at.entry = layout.objectTable + kEntrySize * j;
        image.Align(alignment);
        at.name = image.AppendString(objects[j].name);
    }
    for (ObjectLayout& at : layout.objects) {
        at.detail = section(kDetailSize);
    }
    for (ObjectLayout& at : layout.objects) {
        at.mesh = section(kMeshSize);
    }

    for (std::uint32_t j = 0; j < objects.size(); ++j) {
        const Object& object = objects[j];
        ObjectLayout& at = layout.objects[j];

        at.vertices = section(12 * Count(object.vertices.size()));
        for (std::uint32_t i = 0; i < object.vertices.size(); ++i) {
            PutVertex(image, at.vertices + 12 * i, object.vertices[i]);
        }

        at.uvHeader = section(8);
        at.uvs = section(8 * Count(object.uvs.size()));
        image.PutI32(at.uvHeader, static_cast<std::int32_t>(object.uvs.size()));
        image.PutU32(at.uvHeader + 4, at.uvs);
        for (std::uint32_t i = 0; i < object.uvs.size(); ++i) {
            image.PutF32(at.uvs + 8 * i, object.uvs[i].u)
                .PutF32(at.uvs + 8 * i + 4, object.uvs[i].v);
        }

        at.textureRecords = section(kRecordSize * Count(object.textureRecords.size()));
        for (std::uint32_t k = 0; k < object.textureRecords.size(); ++k) {
            const TextureRecord& record = object.textureRecords[k];
            const std::uint32_t order = section(2 * Count(record.orders.size()));
            at.orders.push_back(order);
            for (std::uint32_t i = 0; i < record.orders.size(); ++i) {
                image.PutU16(order + 2 * i, record.orders[i]);
            }
            const std::uint32_t base = at.textureRecords + kRecordSize * k;
            image.PutU32(base, record.value0);
            image.PutI32(
                base + kRecordOrderCount,
                record.orderCount.value_or(static_cast<std::int32_t>(record.orders.size())));
            image.PutU32(base + kRecordOrderOffset, order);
            image.PutI32(base + kRecordTextureRef,
                         record.texture ? textureRef(*record.texture) : record.textureRef);
        }

        at.colours = section(4 * Count(object.colours.size()));
        for (std::uint32_t i = 0; i < object.colours.size(); ++i) {
            image.PutRaw(at.colours + 4 * i, object.colours[i]);
        }

        image.PutU32(at.entry + kEntryName, at.name);
        image.PutI32(at.entry + kEntryKind, object.kind);
        image.PutU32(at.entry + kEntryDetail, at.detail);

        image.PutU32(at.detail, object.detailValue00);
        image.PutU32(at.detail + kDetailMesh, at.mesh);
        image.PutU32(at.detail + kDetailOffset08, object.detailOffset08);
        image.PutU32(at.detail + 0x0C, object.detailValue0C);
        image.PutU32(at.detail + kDetailOffset10, object.detailOffset10);
        image.PutI32(at.detail + kDetailRecordCount,
                     static_cast<std::int32_t>(object.textureRecords.size()));
        image.PutU32(at.detail + kDetailRecordOffset, at.textureRecords);
        PutVertex(image, at.detail + kDetailBoxMin, object.boxMin);
        PutVertex(image, at.detail + kDetailBoxMax, object.boxMax);
        image.PutU32(at.detail + 0x34, object.detailValue34);
        image.PutU32(at.detail + kDetailOffset38, object.detailOffset38);
        image.PutU32(at.detail + 0x3C, object.detailValue3C);

        image.PutI32(at.mesh + kMeshVertexCount, static_cast<std::int32_t>(object.vertices.size()));
        image.PutU32(at.mesh + kMeshVertexOffset, at.vertices);
        image.PutU32(at.mesh + 0x08, object.meshValue08);
        image.PutU32(at.mesh + 0x0C, object.meshValue0C);
        image.PutU32(at.mesh + 0x10, object.meshValue10);
        image.PutI32(at.mesh + kMeshColourCount, static_cast<std::int32_t>(object.colours.size()));
        image.PutU32(at.mesh + kMeshColourOffset, at.colours);
        image.PutU32(at.mesh + 0x1C, object.meshValue1C);
        image.PutU32(at.mesh + kMeshUvHeader, at.uvHeader);
    }

    image.PutI32(kOffset00, offset00);
    image.PutI32(kTextureCount, static_cast<std::int32_t>(textures.size()));
    image.PutU32(kTextureTableOffset, layout.textureTable);
    image.PutI32(0x0C, value0C);
    image.PutI32(kOffset10, offset10);
    image.PutI32(kRecordSkip, recordSkip);
    image.PutU32(kRecordTableOffset, layout.recordTable);
    image.PutI32(kObjectCount, static_cast<std::int32_t>(objects.size()));
    image.PutU32(kObjectTableOffset, layout.objectTable);
    layout.size = image.Size();
    return result;
}

RavBuilder::TextureRecord
RavBuilder::Record(std::int32_t texture, std::vector<std::uint16_t> orders, std::uint32_t value0) {
    TextureRecord record;
    record.value0 = value0;
    record.orders = std::move(orders);
    record.texture = texture;
    return record;
}
