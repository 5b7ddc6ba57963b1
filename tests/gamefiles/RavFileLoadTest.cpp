#include "gamefiles/RavTestSupport.h"

namespace {

using Builder = RavBuilder;
using Words = std::vector<std::uint32_t>;

TEST_F(RavFileTest, LoadReadsEverySectionOfTheScene) {
    const auto built = SampleScene().Build();
    const auto& at = built.layout;
    const std::string path = LoadImage(built.image);
    EXPECT_TRUE(rav.IsLoaded());
    EXPECT_EQ(rav.GetPath(), path);

    const RavHeader& h = rav.header;
    const std::int32_t header[] = {h.offset00,          h.textureCount, h.textureTableOffset,
                                   h.value0C,           h.offset10,     h.recordSkip,
                                   h.recordTableOffset, h.objectCount,  h.objectTableOffset};
    for (std::uint32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(header[i], built.image.GetI32(4 * i)) << "header word " << i;
    }
    EXPECT_EQ(rav.GetTexture(1)->name, "Stand_A");
    EXPECT_EQ(rav.GetTexture(1)->nameOffset, at.textureNames[1]);

    const RavObject& pitch = *rav.GetObject(0);
    EXPECT_EQ(pitch.name, "Pitch");
    EXPECT_EQ(pitch.nameOffset, at.objects[0].name);
    EXPECT_EQ(pitch.kind, 1);
    EXPECT_EQ(pitch.detailOffset, at.objects[0].detail);
    const RavObjectDetail& d = pitch.detail;
    EXPECT_EQ((Words{d.value00, d.meshOffset, d.offset08, d.value0C, d.offset10,
                     static_cast<std::uint32_t>(d.textureRecordCount), d.textureRecordOffset,
                     d.value34, d.offset38, d.value3C}),
              (Words{0xD00, at.objects[0].mesh, 0, 0xD0C, 0, 1, at.objects[0].textureRecords, 0xD34,
                     0, 0xD3C}));
    EXPECT_EQ(d.boxMin, (std::array<float, 3>{-1, -2, -3}));
    EXPECT_EQ(d.boxMax, (std::array<float, 3>{1, 2, 3}));
    const RavMeshHeader& m = pitch.mesh;
    EXPECT_EQ((Words{static_cast<std::uint32_t>(m.vertexCount), m.vertexOffset, m.value08,
                     m.value0C, m.value10, static_cast<std::uint32_t>(m.colourCount),
                     m.colourOffset, m.value1C, m.uvHeaderOffset}),
              (Words{3, at.objects[0].vertices, 0xE08, 0xE0C, 0xE10, 2, at.objects[0].colours,
                     0xE1C, at.objects[0].uvHeader}));
    EXPECT_EQ(Floats(pitch.vertices), (std::vector<float>{10, -5, 3, -1, 7, 0, 4.5f, 0.25f, -8}));
    EXPECT_EQ(pitch.colours, (std::vector<RavColour>{{1, 2, 3, 4}, {250, 251, 252, 253}}));
    EXPECT_EQ(pitch.uvCount, 3);
    EXPECT_EQ(pitch.uvOffset, at.objects[0].uvs);
    ASSERT_EQ(pitch.uvs.size(), 3u);
    EXPECT_EQ(pitch.uvs[1].u, 1.0f);
    EXPECT_EQ(pitch.uvs[1].v, 0.5f);

    const RavObject& stand = *rav.GetObject(2);
    ASSERT_EQ(stand.textureRecords.size(), 2u);
    const RavObjectTexture& record = stand.textureRecords[1];
    EXPECT_EQ((Words{record.value0, static_cast<std::uint32_t>(record.orderCount),
                     record.orderOffset, static_cast<std::uint32_t>(record.textureRef)}),
              (Words{0x33, 4, at.objects[2].orders[1], at.recordTable + 16}));
    EXPECT_EQ(stand.orders, (std::vector<std::vector<std::uint16_t>>{{0, 1, 2}, {2, 3, 0, 1}}));
}

// Objects of any kind but 1 have only a name: the sample's kind-0 detail
// block would fail its check if it were followed.
TEST_F(RavFileTest, ObjectsOfOtherKindsHaveOnlyAName) {
    for (const std::int32_t kind : {0, 2, -1}) {
        SCOPED_TRACE(kind);
        auto built = SampleScene().Build();
        built.image.PutI32(built.layout.objects[1].entry + Builder::kEntryKind, kind);
        LoadImage(built.image);
        const RavObject& marker = *rav.GetObject(1);
        EXPECT_EQ(marker.name, "Marker");
        EXPECT_EQ(marker.kind, kind);
        EXPECT_EQ((Words{marker.detailOffset, marker.detail.meshOffset, marker.detail.offset08,
                         static_cast<std::uint32_t>(marker.mesh.vertexCount),
                         static_cast<std::uint32_t>(marker.uvCount)}),
                  (Words{0, 0, 0, 0, 0}));
        EXPECT_TRUE(marker.vertices.empty() && marker.uvs.empty() && marker.colours.empty() &&
                    marker.textureRecords.empty() && marker.orders.empty());
    }
}

TEST_F(RavFileTest, TexturesAreFoundByReferenceAndByName) {
    for (const std::int32_t skip : {0, 3}) {
        SCOPED_TRACE(skip);
        Builder scene;
        scene.textures = {"Grass", "GRASS", "Stand"};
        scene.recordSkip = skip;
        const auto built = scene.Build();
        LoadImage(built.image);

        // Texture i owns record skip + i of the record table.
        const auto first = static_cast<std::int32_t>(built.layout.recordTable) + 16 * skip;
        for (std::int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(rav.GetTexture(i)->textureRef, first + 16 * i);
            EXPECT_STREQ(rav.GetTextureName(first + 16 * i), scene.textures[i].c_str());
        }
        for (const std::int32_t ref : {first - 16, first + 8, first + 48, -1}) {
            EXPECT_EQ(rav.GetTextureName(ref), nullptr) << ref;
        }
        for (const char* name : {"Grass", "GRASS", "gRaSs"}) {
            EXPECT_EQ(rav.FindTexture(name), first) << name;
        }
        EXPECT_EQ(rav.FindTexture("stand"), first + 32);
        for (const char* name : {"Gras", "Grass2", "", "Stand "}) {
            EXPECT_EQ(rav.FindTexture(name), -1) << name;
        }
    }
}

TEST_F(RavFileTest, AccessorsRefuseIndicesOutsideTheCounts) {
    const CRavFile& model = rav;
    EXPECT_EQ(model.GetObject(0), nullptr);
    EXPECT_EQ(model.GetTexture(0), nullptr);

    LoadImage(SampleScene().Build().image);
    for (const std::int32_t index : {-1, 3, 1000}) {
        EXPECT_EQ(rav.GetObject(index), nullptr) << index;
        EXPECT_EQ(model.GetObject(index), nullptr) << index;
    }
    for (const std::int32_t index : {-1, 2}) {
        EXPECT_EQ(rav.GetTexture(index), nullptr) << index;
        EXPECT_EQ(model.GetTexture(index), nullptr) << index;
    }
    EXPECT_NE(model.GetObject(2), nullptr);
    EXPECT_NE(model.GetTexture(1), nullptr);
}

TEST_F(RavFileTest, FailedLoadsLeaveTheModelAsDescribed) {
    const std::string empty = LoadImage(Builder{}.Build().image, "empty.rav");
    EXPECT_TRUE(rav.IsLoaded());
    EXPECT_EQ(rav.GetPath(), empty);

    // A file that cannot be opened leaves the loaded model alone.
    const std::string first = LoadImage(SampleScene().Build().image, "first.rav");
    for (const std::string& path : {std::string(), dir.File("missing.rav"), dir.Path().string()}) {
        EXPECT_FALSE(rav.Load(path));
        EXPECT_EQ(messages, (Messages{{"Error opening " + path, 1}}));
        messages.clear();
        EXPECT_EQ(rav.GetPath(), first);
        EXPECT_EQ(rav.GetObject(2)->vertices.size(), 4u);
    }

    // A second file replaces the first completely.
    Builder other;
    other.textures = {"only"};
    other.objects.resize(1);
    other.objects[0].name = "Lone";
    LoadImage(other.Build().image, "second.rav");
    EXPECT_EQ(rav.header.recordSkip, 0);
    EXPECT_EQ(rav.GetObject(0)->name, "Lone");
    EXPECT_EQ(rav.GetObject(1), nullptr);
    EXPECT_EQ(rav.FindTexture("grass01"), -1);

    // A file that fails its checks leaves nothing usable.
    auto broken = SampleScene().Build();
    broken.image.PutU32(Builder::kObjectTableOffset, broken.image.Size() + 1);
    std::string path;
    EXPECT_FALSE(Load(broken.image, path, "broken.rav"));
    EXPECT_EQ(messages, (Messages{{InvalidRav(path, "Start"), 1}}));
    EXPECT_FALSE(rav.IsLoaded());
    EXPECT_EQ(rav.GetPath(), "");
}

// Every offset the loader checks may equal the file size; one more, or any
// offset that is negative as a signed word, fails with its section.
TEST_F(RavFileTest, CheckedOffsetsMayReachButNotPassTheEnd) {
    const struct {
        const char* name;
        Field field;
        const char* section;
    } cases[] = {
        {"offset00", {Block::Header, 0, Builder::kOffset00}, "Start"},
        {"texture table", {Block::Header, 0, Builder::kTextureTableOffset}, "Start"},
        {"offset10", {Block::Header, 0, Builder::kOffset10}, "Start"},
        {"record table", {Block::Header, 0, Builder::kRecordTableOffset}, "Start"},
        {"object table", {Block::Header, 0, Builder::kObjectTableOffset}, "Start"},
        {"texture name", {Block::TextureTable, 0, 4}, "Texture"},
        {"object name", {Block::Entry, 0, Builder::kEntryName}, "Poly1"},
        {"detail", {Block::Entry, 0, Builder::kEntryDetail}, "Poly1"},
        {"kind-0 name", {Block::Entry, 1, Builder::kEntryName}, "Poly1"},
        {"kind-0 detail", {Block::Entry, 1, Builder::kEntryDetail}, "Poly1"},
        {"mesh", {Block::Detail, 2, Builder::kDetailMesh}, "Poly2"},
        {"detail offset08", {Block::Detail, 2, Builder::kDetailOffset08}, "Poly2"},
        {"detail offset10", {Block::Detail, 0, Builder::kDetailOffset10}, "Poly2"},
        {"records", {Block::Detail, 2, Builder::kDetailRecordOffset}, "Poly2"},
        {"detail offset38", {Block::Detail, 2, Builder::kDetailOffset38}, "Poly2"},
        {"vertices", {Block::Mesh, 2, Builder::kMeshVertexOffset}, "Poly3"},
        {"uv header", {Block::Mesh, 0, Builder::kMeshUvHeader}, "Poly3"},
        {"uvs", {Block::UvHeader, 2, 4}, "Poly4"},
    };
    for (const auto& c : cases) {
        auto built = SampleScene().Build();
        // With zeros at the end, blocks read from offset 0 hold no count
        // too large for the file.
        built.image.AppendZeros(4096);
        const std::uint32_t size = built.image.Size();
        for (const std::uint32_t value : {size, size + 1, 0xFFFFFFFFu, 0x80000000u}) {
            SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(value));
            built.image.PutU32(Locate(built.layout, c.field), value);
            std::string path;
            const bool loaded = Load(built.image, path);
            EXPECT_EQ(loaded, value == size);
            EXPECT_EQ(messages, (loaded ? Messages{} : Messages{{InvalidRav(path, c.section), 1}}));
        }
    }

    auto built = SampleScene().Build();
    built.image.PutU32(built.layout.textureTable, 0xFFFF);
    built.image.PutU32(built.layout.objects[0].entry, 0xFFFF);
    std::string path;
    EXPECT_FALSE(Load(built.image, path));
    EXPECT_EQ(messages, (Messages{{InvalidRav(path, "Texture"), 1}})) << "textures come first";
}

TEST_F(RavFileTest, NamesEndAtTheEndOfTheFileOrAfter1023Characters) {
    const std::string longName(1500, 'n');
    const struct {
        std::string stored; // at the end of the file
        std::string name;
    } cases[] = {
        {"Tail", "Tail"},
        {"", ""},
        {longName.substr(0, 1023), longName.substr(0, 1023)},
        {longName, longName.substr(0, 1023)},
        {longName + '\0', longName.substr(0, 1023)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.size());
        auto built = SampleScene().Build();
        const std::uint32_t name = built.image.AppendRaw(c.stored);
        built.image.PutU32(built.layout.objects[2].entry, name);
        built.image.PutU32(built.layout.textureTable, name);
        LoadImage(built.image);
        EXPECT_EQ(rav.GetObject(2)->name, c.name);
        EXPECT_EQ(rav.GetObject(2)->nameOffset, name);
        EXPECT_EQ(rav.GetTexture(0)->name, c.name);
    }
}

// The last section of the sample is a colour array; cut short, it keeps
// zeros where the file has no data.
TEST_F(RavFileTest, ArraysRunningPastTheEndReadAsZeros) {
    auto built = SampleScene().Build();
    built.image.Resize(built.image.Size() - 6);
    LoadImage(built.image);
    EXPECT_EQ(rav.GetObject(2)->colours,
              (std::vector<RavColour>{{10, 20, 30, 40}, {50, 60, 0, 0}, {0, 0, 0, 0}}));

    // So do vertices moved to the end with only a vertex and a third left.
    built = SampleScene().Build();
    const auto vertices = built.image.GetRaw(built.layout.objects[2].vertices, 16);
    built.image.PutU32(built.layout.objects[2].mesh + Builder::kMeshVertexOffset,
                       built.image.AppendRaw(vertices));
    LoadImage(built.image);
    EXPECT_EQ(Floats(rav.GetObject(2)->vertices),
              (std::vector<float>{0, 0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// Sections are reached through offsets only: moved to the end in reverse
// order, or shared, they read the same.
TEST_F(RavFileTest, SectionsMayLieAnywhereAndBeShared) {
    auto built = SampleScene().Build();
    auto& image = built.image;
    const auto& at = built.layout;
    const auto move = [&image](std::uint32_t field, std::uint32_t from, std::uint32_t size) {
        const auto bytes = image.GetRaw(from, size);
        image.PutU32(field, image.AppendRaw(bytes));
        image.PutRaw(from, std::vector<std::uint8_t>(size));
    };
    move(at.objects[2].detail + Builder::kDetailMesh, at.objects[2].mesh, 36);
    move(at.objects[2].entry + Builder::kEntryDetail, at.objects[2].detail, 64);
    move(Builder::kObjectTableOffset, at.objectTable, 36);
    move(Builder::kTextureTableOffset, at.textureTable, 8);
    // Texture 1 takes texture 0's name, object 0 object 2's blocks.
    const std::uint32_t textures = image.GetU32(Builder::kTextureTableOffset);
    image.PutU32(textures + 4, at.textureNames[0]);
    const std::uint32_t objects = image.GetU32(Builder::kObjectTableOffset);
    image.PutU32(objects + Builder::kEntryDetail,
                 image.GetU32(objects + 24 + Builder::kEntryDetail));
    LoadImage(image);

    EXPECT_EQ(rav.GetTexture(1)->name, "grass01");
    EXPECT_EQ(rav.GetTexture(1)->textureRef, at.textureRefs[1]);
    EXPECT_EQ(rav.GetObject(0)->name, "Pitch");
    EXPECT_EQ(rav.GetObject(1)->name, "Marker");
    for (const std::int32_t j : {0, 2}) {
        const RavObject& object = *rav.GetObject(j);
        EXPECT_EQ(Floats(object.vertices), Floats(rav.GetObject(2)->vertices));
        ASSERT_EQ(object.vertices.size(), 4u);
        EXPECT_EQ(object.vertices[3].z, 10.0f);
        EXPECT_EQ(object.colours.size(), 3u);
        EXPECT_EQ(object.orders,
                  (std::vector<std::vector<std::uint16_t>>{{0, 1, 2}, {2, 3, 0, 1}}));
    }
}

} // namespace
