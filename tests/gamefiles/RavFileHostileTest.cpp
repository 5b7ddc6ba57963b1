#include "gamefiles/RavTestSupport.h"

#include <climits>

namespace {

using Builder = RavBuilder;

// Counts are checked before anything is allocated for them: negative, or too
// large for their data to fit in the file at all, they fail with the section
// being read. A count whose data could just fill the file is taken.
TEST_F(RavFileTest, CountsMustFitTheFile) {
    const struct {
        const char* name;
        Field count;
        Field data; // the offset of the counted data
        std::uint32_t elementSize;
        const char* section;
    } cases[] = {
        {"textures",
         {Block::Header, 0, Builder::kTextureCount},
         {Block::Header, 0, Builder::kTextureTableOffset},
         4,
         "Texture"},
        {"objects",
         {Block::Header, 0, Builder::kObjectCount},
         {Block::Header, 0, Builder::kObjectTableOffset},
         12,
         "Poly1"},
        {"records",
         {Block::Detail, 2, Builder::kDetailRecordCount},
         {Block::Detail, 2, Builder::kDetailRecordOffset},
         16,
         "Poly2"},
        {"orders",
         {Block::Records, 2, 16 + Builder::kRecordOrderCount},
         {Block::Records, 2, 16 + Builder::kRecordOrderOffset},
         2,
         "Poly2"},
        {"vertices",
         {Block::Mesh, 2, Builder::kMeshVertexCount},
         {Block::Mesh, 2, Builder::kMeshVertexOffset},
         12,
         "Poly3"},
        {"colours",
         {Block::Mesh, 0, Builder::kMeshColourCount},
         {Block::Mesh, 0, Builder::kMeshColourOffset},
         4,
         "Poly3"},
        {"uvs", {Block::UvHeader, 2, 0}, {Block::UvHeader, 2, 4}, 8, "Poly4"},
    };
    for (const auto& c : cases) {
        auto built = SampleScene().Build();
        built.image.Align(48); // a multiple of every element size
        const std::uint32_t size = built.image.Size();
        // Data at the end of the file reads as zeros, which are always sound.
        built.image.PutU32(Locate(built.layout, c.data), size);
        const std::uint32_t fits = size / c.elementSize;
        for (const std::uint32_t count : {fits, fits + 1, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u}) {
            SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(count));
            built.image.PutU32(Locate(built.layout, c.count), count);
            std::string path;
            const bool loaded = Load(built.image, path);
            EXPECT_EQ(loaded, count == fits);
            EXPECT_EQ(messages, (loaded ? Messages{} : Messages{{InvalidRav(path, c.section), 1}}));
        }
    }
}

// Counts that each fit the file can still add up to far more memory than the
// file could justify when many objects or records share one large array.
// The load must then fail instead of allocating without bound, while a few
// sharers are fine.
TEST_F(RavFileTest, SharedLargeArraysCannotExhaustMemory) {
    constexpr std::uint32_t kArrayBytes = 1 << 18;
    const struct {
        const char* array;
        Field count;
        std::uint32_t elementSize;
        const char* section;
    } cases[] = {
        {"vertices", {Block::Mesh, 0, Builder::kMeshVertexCount}, 12, "Poly3"},
        {"colours", {Block::Mesh, 0, Builder::kMeshColourCount}, 4, "Poly3"},
        {"uvs", {Block::UvHeader, 0, 0}, 8, "Poly4"},
        {"orders", {Block::Records, 0, Builder::kRecordOrderCount}, 2, "Poly2"},
    };
    for (const auto& c : cases) {
        for (const std::uint32_t sharers : {8u, 64u}) {
            SCOPED_TRACE(std::string(c.array) + " shared by " + std::to_string(sharers));
            Builder scene;
            scene.objects.resize(sharers);
            scene.objects[0].textureRecords.resize(1);
            auto built = scene.Build();
            built.image.AppendZeros(kArrayBytes);
            built.image.PutU32(Locate(built.layout, c.count), kArrayBytes / c.elementSize);
            for (std::uint32_t j = 1; j < sharers; ++j) {
                built.image.PutU32(built.layout.objects[j].entry + Builder::kEntryDetail,
                                   built.layout.objects[0].detail);
            }
            std::string path;
            const bool loaded = Load(built.image, path);
            EXPECT_EQ(loaded, sharers == 8);
            EXPECT_EQ(messages, (loaded ? Messages{} : Messages{{InvalidRav(path, c.section), 1}}));
        }
    }
}

} // namespace
