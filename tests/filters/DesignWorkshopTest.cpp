#include "filters/DesignWorkshopFilter.h"
#include "filters/FilterTestSupport.h"

#include <limits>

namespace {

using DesignWorkshopTest = FilterTest<CDesignWorkshopFilter>;

// edge.dw: a G2 object at 0, which is never written; objects that fail the
// G2 test in each way; a texture record that matches no texture; numbers at
// the extremes of "%f". single.dw: object 0 alone.
TEST_F(DesignWorkshopTest, ExportWritesTheGoldensByteForByte) {
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    RavBuilder::Object extremes = Quad("extremes",
                                       {{kMax, -kMax, 1e-7f},
                                        {-1e-7f, -0.0000005f, 0.0000005f},
                                        {kInf, -kInf, kNan},
                                        {-kNan, 16777217.0f, -1234567.875f}},
                                       0);
    extremes.textureRecords = {Orphan()};
    RavBuilder::Object twoTextures = Quad("two", {{}, {}, {}, {}}, 0);
    twoTextures.textureRecords.push_back(RavBuilder::Record(1, {}));
    const RavBuilder edge{
        .textures = {"grass01", "Stand_A", "roof"},
        .objects = {
            Quad("origin", {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}}, 1),
            Quad("quad",
                 {{1.5f, 2, -3}, {0, 0, 0}, {-0.0f, 0.1f, 1e6f}, {1.0f / 3, -2.5f, 123.456f}}, 2),
            {.name = "triangle",
             .vertices = {{}, {}, {}},
             .textureRecords = {RavBuilder::Record(0, {})}},
            extremes,
            {.name = "light", .kind = 3},
            twoTextures,
            Quad("last", {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {0.5f, 0.25f, 0.125f}}, 0)}};

    LoadScene(edge);
    EXPECT_EQ(Export(), Golden("dw/edge.dw"));
    EXPECT_EQ(messages, (Messages{{"Error! Object 2 is not a G2 object", 1},
                                  {"Error! Object 4 is not a G2 object", 1},
                                  {"Error! Object 5 is not a G2 object", 1}}));
    LoadScene({.objects = {Quad("only", {{}, {}, {}, {}}, 0)}});
    EXPECT_EQ(Export(), Golden("dw/single.dw"));
    EXPECT_EQ(messages, Messages{});
}

const std::vector<RavBuilder::Vertex> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
constexpr char kSquareRead[] = "0,0,0 1,0,0 1,1,0 0,1,0";
// Corner lines of the x, z, y numbers 1 to 12, and what they give.
constexpr char kCorners[] = "1 2 3 1\r\n4 5 6 1\r\n7 8 9 1\r\n10 11 12 1\r\n";
constexpr char kRead[] = "1,3,2 4,6,5 7,9,8 10,12,11";

// A polyline as the export writes it, with the given "Mat:" and
// "numVerts:" lines and corner lines.
std::string Block(const std::string& mat, const std::string& verts,
                  const std::string& corners = kCorners) {
    return "Polyline:\r\nPhase: 1\r\n" + mat + "\r\nName:\r\nColor: 65535 64000 56000\r\n" + verts +
           "\r\n" + corners +
           "numEdges: 4\r\n0 1\r\n1 2\r\n2 3\r\n3 0\r\nnumFaces: 0\r\nnumOpenings: 0\r\n\r\n";
}

// The k-th polyline goes to object k, whatever surrounds the keywords;
// object 0 is never touched. A failed import leaves what it read so far in
// the model. Objects 1 and 2 start with texture t1, between the two ends of
// the table; each row gives their texture and corners afterwards.
TEST_F(DesignWorkshopTest, ImportAppliesPolylinesInOrder) {
    const std::string good = Block("Mat: 3", "numVerts: 4");
    const std::string fives = "5 5 5 1\r\n5 5 5 1\r\n5 5 5 1\r\n5 5 5 1\r\n";
    const std::string fivesRead = "5,5,5 5,5,5 5,5,5 5,5,5";
    const std::pair<std::string, std::string> unchanged{"t1", kSquareRead};
    const Messages fatal{{"Fatal error - aborting", 1}};
    const struct {
        const char* what;
        std::string text;
        bool result;
        Messages messages;
        std::pair<std::string, std::string> object1, object2;
    } cases[] = {
        // clang-format off
        {"a header that is not read, then more blocks than objects",
         "//\tNumber of Objects: 9\r\nnumMaterials: 1\r\n\r\nMaterial: t0\r\n1\r\n\r\n" + good +
             Block("Mat: 1", "numVerts: 4", fives) + Block("Mat: 2", "numVerts: 3"),
         true, {{"Warning! The file has 3 polylines but the RAV file has 2 G2 objects; the rest "
                 "are left out", 1}}, {"t2", kRead}, {"t0", fivesRead}},
        {"scan stops at a number or a literal 1 that is not there",
         Block("Mat: 1", "numVerts: 4", "1 2 3 1\r\n4 5 x 1\r\n7 8 9 1\r\n10 11 12 1\r\n") +
             Block("Mat: 1", "numVerts: 4", "1 2 3 2\r\n4 5 6 1\r\n7 8 9 1\r\n10 11 12 1\r\n"),
         true, {}, {"t0", "1,3,2 4,0,5 1,1,0 0,1,0"}, {"t0", "1,3,2 1,0,0 1,1,0 0,1,0"}},
        {"material unreadable or beyond the table",
         Block("Mat: x", "numVerts: 4") + Block("Mat: 4", "numVerts: 4"), true,
         {{"Error: Object 2 has material 4 but the RAV file has 3 textures; texture left "
           "unchanged", 1}},
         {"t1", kRead}, {"t1", kRead}},
        // As the export writes a texture missing from the table.
        {"no material", Block("Mat: 0", "numVerts: 4") + Block("Mat: -1", "numVerts: 4"), true,
         {}, {"t1", kRead}, {"t1", kRead}},
        {"vertex count other than 4 or unreadable",
         Block("Mat: 1", "numVerts: 3") + Block("Mat: 3", "numVerts: x"), true,
         {{"Error: Object 1 is not a G2 object", 1}, {"Error: Object 2 is not a G2 object", 1}},
         {"t0", kSquareRead}, {"t2", kSquareRead}},
        {"fewer blocks than objects", good, false, fatal, {"t2", kRead}, unchanged},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadScene({.textures = {"t0", "t1", "t2"},
                   .objects = {Quad("origin", {{9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}}, 2),
                               Quad("a", kSquare, 1), Quad("b", kSquare, 1)}});
        const std::string origin = Summary(rav, 0);
        EXPECT_EQ(Import(c.text), c.result);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(Summary(rav, 0), origin);
        for (const auto& [k, seen] : {std::pair{1, c.object1}, std::pair{2, c.object2}}) {
            EXPECT_EQ(Summary(rav, k), std::string(k == 1 ? "a" : "b") + " | " + seen.second +
                                           " | | | " + seen.first + ":");
        }
    }
}

} // namespace
