#include "filters/DesignWorkshopTestSupport.h"

#include <charconv>
#include <string>
#include <vector>

namespace {

const std::vector<RavBuilder::Vertex> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
constexpr char kSquareRead[] = "0,0,0 1,0,0 1,1,0 0,1,0";
// Corner lines of the x, z, y numbers 1 to 12, and what they give.
constexpr char kCorners[] = "1 2 3 1\r\n4 5 6 1\r\n7 8 9 1\r\n10 11 12 1\r\n";
constexpr char kRead[] = "1,3,2 4,6,5 7,9,8 10,12,11";

std::string Number(float value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

// The texture names of an object's records, then its vertices as x,y,z.
std::string Summary(const CRavFile& rav, std::int32_t k) {
    const RavObject& object = *rav.GetObject(k);
    std::string text;
    for (const RavObjectTexture& record : object.textureRecords) {
        const char* name = rav.GetTextureName(record.textureRef);
        text += (name != nullptr ? name : "?") + std::string(" ");
    }
    text += "|";
    for (const RavVertex& v : object.vertices) {
        text += " " + Number(v.x) + "," + Number(v.y) + "," + Number(v.z);
    }
    return text;
}

// A polyline as the export writes it, with the given "Mat:" and
// "numVerts:" lines and corner lines.
std::string Block(const std::string& mat, const std::string& verts,
                  const std::string& corners = kCorners) {
    return "Polyline:\r\nPhase: 1\r\n" + mat + "\r\nName:\r\nColor: 65535 64000 56000\r\n" + verts +
           "\r\n" + corners +
           "numEdges: 4\r\n0 1\r\n1 2\r\n2 3\r\n3 0\r\nnumFaces: 0\r\nnumOpenings: 0\r\n\r\n";
}

std::string Both(const char* texture, const char* vertices) {
    return std::string(texture) + " | " + vertices;
}

// Objects 1 and 2 start with texture t1, between the two ends of the table.
class DesignWorkshopImportTest : public DesignWorkshopTest {
protected:
    DesignWorkshopImportTest() {
        LoadScene({.textures = {"t0", "t1", "t2"},
                   .objects = {Quad("origin", {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}}, 2),
                               Quad("a", kSquare, 1), Quad("b", kSquare, 1)}});
    }
};

// The k-th polyline goes to object k, whatever surrounds the keywords;
// object 0 is never touched. A failed import leaves what it read so far in
// the model.
TEST_F(DesignWorkshopImportTest, AppliesPolylinesInOrder) {
    const std::string good = Block("Mat: 3", "numVerts: 4");
    const std::string fives = "5 5 5 1\r\n5 5 5 1\r\n5 5 5 1\r\n5 5 5 1\r\n";
    const std::string unchanged = Both("t1", kSquareRead);
    const std::string fatal = "Fatal error - aborting";
    const struct {
        const char* what;
        std::string text;
        bool result;
        Messages messages;
        std::string object1, object2;
    } cases[] = {
        // clang-format off
        {"two blocks after a header that is not read",
         "//\tNumber of Objects: 9\r\nnumMaterials: 1\r\n\r\nMaterial: t0\r\n1\r\n\r\n" + good +
             Block("Mat: 1", "numVerts: 4", fives),
         true, {}, Both("t2", kRead), "t0 | 5,5,5 5,5,5 5,5,5 5,5,5"},
        {"white space of any kind and length, even none",
         Block("Mat:1", "numVerts:\t 4", "1 2 3 1 4 5 6 1\t7\n8 9 1\r\n\r\n10 11 12 1") +
             Block("Mat:   3", "numVerts:4", "1 2 3 1\r\n4 5 6 1\r\n7 8 9 1\r\n10 11 12"),
         true, {}, Both("t0", kRead), Both("t2", kRead)},
        {"scan stops at a number or a literal 1 that is not there",
         Block("Mat: 1", "numVerts: 4", "1 2 3 1\r\n4 5 x 1\r\n7 8 9 1\r\n10 11 12 1\r\n") +
             Block("Mat: 1", "numVerts: 4", "1 2 3 2\r\n4 5 6 1\r\n7 8 9 1\r\n10 11 12 1\r\n"),
         true, {}, "t0 | 1,3,2 4,0,5 1,1,0 0,1,0", "t0 | 1,3,2 1,0,0 1,1,0 0,1,0"},
        {"material 0 or negative",
         Block("Mat: 0", "numVerts: 4") + Block("Mat: -2", "numVerts: 4"),
         true, {}, Both("t1", kRead), Both("t1", kRead)},
        {"material unreadable or beyond the table",
         Block("Mat: x", "numVerts: 4") + Block("Mat: 4", "numVerts: 4"), true,
         {{"Error: Object 2 has material 4 but the RAV file has 3 textures; texture left "
           "unchanged", 1}},
         Both("t1", kRead), Both("t1", kRead)},
        {"vertex count other than 4 or unreadable",
         Block("Mat: 1", "numVerts: 3") + Block("Mat: 3", "numVerts: x"), true,
         {{"Error: Object 1 is not a G2 object", 1}, {"Error: Object 2 is not a G2 object", 1}},
         Both("t0", kSquareRead), Both("t2", kSquareRead)},
        {"more blocks than objects", good + good + Block("Mat: 1", "numVerts: 3"), true, {},
         Both("t2", kRead), Both("t2", kRead)},
        {"corner lines cut off by the end of the text", good + "Polyline: Mat: 1 numVerts: 4",
         true, {}, Both("t2", kRead), Both("t0", kSquareRead)},
        {"a block without Mat: takes the next block's, which is then used up",
         "Polyline:\r\nnumVerts: 4\r\n" + std::string(kCorners) + Block("Mat: 1", "numVerts: 4", fives) +
             good,
         true, {}, "t0 | 5,5,5 5,5,5 5,5,5 5,5,5", Both("t2", kRead)},
        {"fewer blocks than objects", good, false, {{fatal, 1}}, Both("t2", kRead), unchanged},
        {"no Mat: in the last block", good + "Polyline:\r\nnumVerts: 4\r\n" + kCorners, false,
         {{fatal, 1}}, Both("t2", kRead), unchanged},
        {"no numVerts: in the last block", good + "Polyline:\r\nMat: 1\r\n" + kCorners, false,
         {{fatal, 1}}, Both("t2", kRead), Both("t0", kSquareRead)},
        {"the text ends at a zero byte", good + std::string(1, '\0') + good, false, {{fatal, 1}},
         Both("t2", kRead), unchanged},
        {"empty file", "", false, {{fatal, 1}}, unchanged, unchanged},
        // clang-format on
    };
    const std::string origin = Summary(rav, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(rav.Load(ravPath));
        messages.clear();
        EXPECT_EQ(Import(c.text), c.result);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(Summary(rav, 0), origin);
        EXPECT_EQ(Summary(rav, 1), c.object1);
        EXPECT_EQ(Summary(rav, 2), c.object2);
    }
}

// A polyline never writes into an object that is not a G2 object: the
// file's objects may have moved up one place against the model's.
TEST_F(DesignWorkshopTest, ImportLeavesObjectsThatAreNotG2Alone) {
    RavBuilder::Object twoTextures = Quad("two", kSquare, 0);
    twoTextures.textureRecords.push_back(RavBuilder::Record(1, {}));
    LoadScene({.textures = {"t0", "t1"},
               .objects = {{.name = "origin", .kind = 0},
                           {.name = "triangle",
                            .vertices = {{}, {}, {}},
                            .textureRecords = {RavBuilder::Record(0, {})}},
                           {.name = "light", .kind = 3},
                           twoTextures,
                           {.name = "textureless", .vertices = kSquare},
                           Quad("quad", kSquare, 0)}});
    std::vector<std::string> before;
    for (std::int32_t k = 0; k < 5; ++k) {
        before.push_back(Summary(rav, k));
    }
    std::string text;
    for (int n = 0; n < 5; ++n) {
        text += Block("Mat: 2", "numVerts: 4");
    }
    EXPECT_TRUE(Import(text));
    Messages expected;
    for (int k = 1; k < 5; ++k) {
        expected.emplace_back("Error: Object " + std::to_string(k) +
                                  " of the RAV file is not a G2 object; its polyline is left out",
                              1);
    }
    EXPECT_EQ(messages, expected);
    for (std::int32_t k = 0; k < 5; ++k) {
        EXPECT_EQ(Summary(rav, k), before[static_cast<std::size_t>(k)]) << k;
    }
    EXPECT_EQ(Summary(rav, 5), Both("t1", kRead));
}

// Export followed by import into a model whose corners and textures were
// overwritten gives back the same RAV file after a save. The numbers hold
// six decimals exactly; a texture that is not in the table goes out as
// material 0 and is left alone.
TEST_F(DesignWorkshopTest, ExportThenImportRestoresTheFile) {
    RavBuilder::TextureRecord orphan = RavBuilder::Record(0, {});
    orphan.texture.reset();
    orphan.textureRef = 0x7777;
    RavBuilder::Object unlisted = Quad("unlisted", {{1, 2, 3}, {}, {}, {-4, -5, -6}}, 0);
    unlisted.textureRecords = {orphan};
    LoadScene({.textures = {"grass01", "Stand_A", "roof"},
               .objects = {{.name = "marker", .kind = 0, .vertices = {{1, 1, 1}}},
                           Quad("a", {{1.5f, 2, -3}, {-0.0f, 0.1f, 1e6f}, {}, {0.25f, 7, 8}}, 2),
                           Quad("b", {{-123.5f, 0, 1}, {2, 3, 4}, {5, 6, 7}, {8, 9, 10}}, 0),
                           unlisted,
                           Quad("c", kSquare, 1)}});
    ASSERT_TRUE(rav.Save());
    const std::vector<std::uint8_t> saved = ReadBytes(ravPath);
    ASSERT_TRUE(filter.Export(dwPath, &rav));
    for (std::int32_t k = 1; k < rav.header.objectCount; ++k) {
        RavObject& object = *rav.GetObject(k);
        object.vertices.assign(4, {7, 7, 7});
        std::int32_t& ref = object.textureRecords[0].textureRef;
        for (std::int32_t i = 0; i < rav.header.textureCount; ++i) {
            if (rav.GetTexture(i)->textureRef == ref) {
                ref = rav.GetTexture((i + 1) % rav.header.textureCount)->textureRef;
                break;
            }
        }
    }
    EXPECT_TRUE(filter.Import(dwPath, &rav));
    ASSERT_TRUE(rav.Save());
    EXPECT_EQ(ReadBytes(ravPath), saved);
    EXPECT_EQ(messages, Messages{});
}

} // namespace
