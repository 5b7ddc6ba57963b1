#include "gamefiles/RavTestSupport.h"

#include <algorithm>

namespace {

// Every field of the model goes back where it was read from, uninterpreted
// words included, with fresh boxes: each holds the origin and the vertices
// with a margin of 2048 on every side, unless all six values are 0. Of an
// object of another kind only the name is written. Where sections share
// bytes (here object 0 takes object 2's blocks) the later one wins.
TEST_F(RavFileTest, SaveWritesTheModelBackInPlaceInOrder) {
    const struct {
        std::vector<RavBuilder::Vertex> vertices; // of object 2
        RavBuilder::Vertex min, max;
    } cases[] = {
        {{{0, 0, 1}, {2, 3, 4}, {5, 6, 7}, {-8, 9, 10}}, {-2056, -2048, -2048}, {2053, 2057, 2058}},
        {{{}, {}, {}, {}}, {}, {}},
    };
    for (const auto& c : cases) {
        RavBuilder scene = SampleScene();
        const auto build = [&scene] {
            auto built = scene.Build();
            built.image.PutU32(built.layout.objects[0].entry + 8, built.layout.objects[2].detail);
            return built.image;
        };
        const ByteImage original = build();
        // The same layout with other values everywhere Save writes, and
        // the boxes it computes.
        scene.objects[0].name = "Field";
        scene.objects[1].name = "Beacon";
        RavBuilder::Object& stand = scene.objects[2];
        stand.vertices = c.vertices;
        stand.uvs[2] = {0.75f, 0.125f};
        stand.colours[1] = {9, 8, 7, 6};
        stand.textureRecords = {RavBuilder::Record(0, {2, 1, 0}, 0x99),
                                RavBuilder::Record(0, {3, 3, 3, 3})};
        stand.boxMin = c.min;
        stand.boxMax = c.max;
        stand.tag = 0xF000;
        const ByteImage expected = build();

        LoadOk(expected, "expected.rav");
        const std::vector<RavObject> from{*rav.GetObject(0), *rav.GetObject(1), *rav.GetObject(2)};
        LoadOk(original);
        for (std::int32_t j = 0; j < 3; ++j) {
            *rav.GetObject(j) = from[U(j)];
        }
        std::ranges::fill(rav.GetObject(0)->vertices, RavVertex{1, 1, 1});
        rav.GetObject(2)->detail.boxMin = rav.GetObject(2)->detail.boxMax = {7, 7, 7};
        EXPECT_TRUE(rav.Save());
        EXPECT_EQ(messages, Messages{});
        EXPECT_EQ(ReadBytes(path), expected.Bytes());
        EXPECT_EQ(rav.GetObject(2)->detail.boxMin, (std::array{c.min.x, c.min.y, c.min.z}));
    }
}

// A new name takes the room of the stored one, up to its zero byte or the end
// of the file, and is cropped to it with a warning; the zero byte is written
// only where the stored name had one. A name read cut to 1023 characters stays
// whole, whatever its bytes. Each save writes its own table of names only.
TEST_F(RavFileTest, NamesAreWrittenIntoTheRoomOfTheStoredName) {
    const std::string q(1500, 'q');
    const std::string e(1500, '\xE9');
    const struct {
        std::string stored, name, written; // at the end of the file
    } cases[] = {
        {std::string("LONGNAME\0XYZ", 12), "AB", std::string("AB\0GNAME\0XYZ", 12)},
        {std::string("LONGNAME\0XYZ", 12), "ABCDEFGHIJ", std::string("ABCDEFGH\0XYZ", 12)},
        {"TAIL", "AB", std::string("AB\0L", 4)},
        {"TAIL", "ABCDEF", "ABCD"},
        {e, e.substr(0, 1023), e},
    };
    for (const bool texture : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE((texture ? "texture " : "object ") + c.name.substr(0, 10));
            auto built = RavBuilder{.textures = {"t0", "t1"}, .objects = {{}, {}}}.Build();
            const std::uint32_t at = built.image.Append(c.stored);
            built.image.PutU32(
                texture ? built.layout.textureTable + 4 : built.layout.objects[1].entry, at);
            LoadOk(built.image);
            std::string& name = texture ? rav.GetTexture(1)->name : rav.GetObject(1)->name;
            EXPECT_EQ(name, c.stored.substr(0, std::min<std::size_t>(c.stored.find('\0'), 1023)));
            rav.GetTexture(1)->name = rav.GetObject(1)->name = c.name;
            EXPECT_TRUE(texture ? rav.SaveTextureNames() : rav.Save());
            // The model keeps what was written.
            const auto kept = c.name.substr(0, std::min(c.written.find('\0'), c.written.size()));
            const std::string warning = std::string(texture ? "Texture" : "Object") +
                                        " 1: Warning! Objectname too long - cropping";
            EXPECT_EQ(messages, (kept == c.name ? Messages{} : Messages{{warning, 1}}));
            EXPECT_EQ(name, kept);
            built.image.PutRaw(at, c.written);
            EXPECT_EQ(ReadBytes(path), built.image.Bytes());
        }
    }
}

// A model whose arrays or layout no longer match what was read is refused
// before a byte is written. (An array that ran past the end of the file
// comes back whole: FaultTest.)
TEST_F(RavFileTest, SaveRefusesAModelThatNoLongerFits) {
    const ByteImage scene = SampleScene().Build().image;
    LoadOk(scene);
    rav.GetObject(0)->vertices.emplace_back();
    rav.GetObject(0)->mesh.vertexCount += 1;
    EXPECT_FALSE(rav.Save());
    EXPECT_EQ(messages, (Messages{{"Error! The data for " + path +
                                       " no longer fits the file it was read from. Nothing written",
                                   1}}));
    EXPECT_EQ(ReadBytes(path), scene.Bytes());
}

} // namespace
