#include "gamefiles/RavTestSupport.h"

namespace {

using L = RavBuilder::ObjectLayout;

// Sections are reached through offsets only: moved to the end, shared, or cut
// short by the end of the file (where they read as zeros), they read the same.
// Objects of any kind but 1 have only a name, whatever their blocks hold.
TEST_F(RavFileTest, SectionsMayLieAnywhereBeSharedOrRunPastTheEnd) {
    for (const std::int32_t kind : {0, 2, -1}) {
        auto built = SampleScene().Build();
        ByteImage& image = built.image;
        const auto& at = built.layout;
        const auto move = [&image](std::uint32_t field, std::uint32_t from, std::uint32_t size) {
            const std::uint32_t to = image.Append(image.GetRaw(from, size));
            image.PutU32(field, to).PutRaw(from, std::string(size, '\0'));
            return to;
        };
        image.PutU32(at.objects[1].entry + 4, U(kind)).PutU32(at.objects[1].detail + 8, 0xFFFFFFF0);
        const std::uint32_t detail = move(at.objects[2].entry + 8, at.objects[2].detail, 64);
        image.PutU32(at.objects[0].entry + 8, detail); // object 0 takes object 2's blocks
        const std::uint32_t textures = move(0x08, at.textureTable, 8);
        image.PutU32(textures + 4, at.textureNames[0]); // texture 1 takes texture 0's name
        move(0x20, at.objectTable, 36);
        move(at.objects[2].mesh + 4, at.objects[2].vertices, 48);
        image.Resize(image.Size() - 32); // a vertex and a third are left
        LoadOk(image);

        EXPECT_EQ(rav.GetTexture(1)->name, "grass01");
        const RavObject& marker = *rav.GetObject(1);
        EXPECT_EQ((Words{U(marker.kind), marker.detailOffset, U(marker.vertices.size())}),
                  (Words{U(kind), 0, 0}));
        for (const std::size_t j : {0u, 2u}) {
            const RavObject& o = *rav.GetObject(static_cast<std::int32_t>(j));
            const RavObjectTexture& r = o.textureRecords.at(1);
            EXPECT_EQ((Words{o.nameOffset, U(o.kind), o.detailOffset, o.uvOffset, r.value0,
                             U(r.orderCount), r.orderOffset, U(r.textureRef)}),
                      (Words{at.objects[j].name, 1, detail, at.objects[2].uvs, 0x33, 4,
                             at.objects[2].orders[1], U(at.textureRefs[0])}));
            EXPECT_EQ((Words{U(o.vertices.size()), U(o.colours.size())}), (Words{4, 3}));
            EXPECT_EQ((std::array{o.vertices.at(0).z, o.vertices.at(1).x, o.vertices.at(1).y}),
                      (std::array{1.0f, 2.0f, 0.0f}));
            EXPECT_EQ(o.colours.at(1), (RavColour{50, 60, 70, 80}));
            EXPECT_EQ(o.orders, (std::vector<std::vector<std::uint16_t>>{{0, 1, 2}, {2, 3, 0, 1}}));
        }
    }
}

// Every offset the loader checks may point at the end of the file, less the
// table or block it leads to, which must lie wholly within the file; every
// count may just fit the file with its data at the end, a table's entries all
// within it. One more, or a value that is negative as a signed word or whose
// data size wraps in 32 bits, fails with the section being read. A count that
// fits still fails when hundreds of objects share it: the model may not
// outgrow the file by far. Textures are read before objects.
TEST_F(RavFileTest, OffsetsAndCountsMustFitTheFileAndTheMemoryBudget) {
    // The scene has 2 textures, 3 objects, 2 texture records on object 2. A
    // table's entries go into the zeros at the end.
    constexpr std::uint32_t kTable = 48 * 1024;
    // The offsets, then the counts; 36 + 4 locates the name of texture 1, as
    // the texture table follows the header.
    const struct {
        std::uint32_t L::*block; // null: from the start of the file
        std::size_t object;
        std::uint32_t field;
        std::uint32_t elementSize; // of a count's data, which the next word locates; 0: offsets
        const char* section;
        std::uint32_t room = 0; // what must lie within the file behind the offset or count
        const char* cutSection = nullptr; // where a table cut by the end fails, if elsewhere
    } cases[] = {{nullptr, 0, 0x08, 0, "Start", 8, "Texture"},
                 {nullptr, 0, 0x20, 0, "Start", 36, "Poly1"},
                 {&L::entry, 0, 8, 0, "Poly1", 64},
                 {&L::mesh, 2, 0x20, 0, "Poly3", 8},
                 {nullptr, 0, 0x04, 4, "Texture", kTable},
                 {&L::detail, 2, 0x14, 16, "Poly2", kTable},
                 {&L::mesh, 2, 0x00, 12, "Poly3"}};
    for (const auto& c : cases) {
        auto built = SampleScene().Build();
        // Zeros at the end, so that blocks read there or from 0 hold sound
        // counts, and a size every element size divides.
        built.image.Resize((built.image.Size() + 65536) / 48 * 48);
        const std::uint32_t size = built.image.Size();
        const auto& at = built.layout.objects;
        const std::uint32_t offset = (c.block ? at[c.object].*c.block : 0) + c.field;
        std::uint32_t fits = size - c.room;
        if (c.elementSize != 0) {
            fits = (c.room != 0 ? c.room : size) / c.elementSize;
            built.image.PutU32(offset + 4, size - c.room);
        }
        for (const std::uint32_t value : {fits, fits + 1, 0xFFFFFFFFu, 0x80000000u, 0x40000000u}) {
            SCOPED_TRACE("field at " + std::to_string(offset) + " = " + std::to_string(value));
            built.image.PutU32(offset, value);
            const bool loaded = Load(built.image);
            const char* section = value == fits + 1 && c.cutSection ? c.cutSection : c.section;
            EXPECT_EQ(loaded, value == fits);
            EXPECT_EQ(messages, (loaded ? Messages{} : Messages{{InvalidRav(path, section), 1}}));
        }
        if (c.block != nullptr && c.elementSize != 0) {
            built.image.PutU32(offset, fits).PutU32(0x1C, 256).PutU32(0x20, built.image.Size());
            for (int j = 0; j < 256; ++j) {
                built.image.Append(built.image.GetRaw(at[c.object].entry, 12));
            }
            EXPECT_FALSE(Load(built.image));
            EXPECT_EQ(messages, (Messages{{InvalidRav(path, c.section), 1}}));
        }
    }
    auto built = SampleScene().Build();
    built.image.PutU32(36, 0xFFFF).PutU32(built.layout.objects[0].entry, 0xFFFF); // both names
    EXPECT_FALSE(Load(built.image));
    EXPECT_EQ(messages, (Messages{{InvalidRav(path, "Texture"), 1}}));
}

} // namespace
