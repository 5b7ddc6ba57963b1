#include "tools/RavTools.h"
#include "gamefiles/RavTestSupport.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace {

using Bytes3 = std::array<int, 3>; // colour bytes 2, 1, 0

// The tools and the RAV model write into one log, as in the window.
class RavToolsTest : public ::testing::Test {
protected:
    RavToolsTest() {
        const auto log = [this](const char* text, int flag) { messages.emplace_back(text, flag); };
        rav.SetOutput(log);
        tools.SetOutput(log);
    }

    void Load(const RavBuilder& scene) {
        path = dir.Write("scene.rav", scene.Build().image.Bytes());
        ASSERT_TRUE(rav.Load(path));
        messages.clear();
    }

    // The objects on disk now.
    std::vector<RavObject> Reloaded() const {
        CRavFile file;
        EXPECT_TRUE(file.Load(path));
        std::vector<RavObject> objects;
        for (std::int32_t i = 0; i < file.header.objectCount; ++i) {
            objects.push_back(*file.GetObject(i));
        }
        return objects;
    }

    TempDir dir;
    CRavFile rav;
    CRavTools tools;
    Messages messages;
    std::string path;
};

// Every vertex of every object moves or scales, whatever the kind-1 object's
// shape; an object without vertices is passed over.
TEST_F(RavToolsTest, TransformVerticesMovesOrScalesEveryVertex) {
    RavBuilder scene = SampleScene();
    scene.objects.push_back({.name = "Empty"});
    const struct {
        CRavTools::TransformMode mode;
        std::array<float, 3> vector;
        const char* announcement;
        RavVertex first; // of (10, -5, 3)
    } cases[] = {
        {CRavTools::TransformMode::Move,
         {1.5f, -2, 0.25f},
         "Moving all vertexes in ",
         {11.5f, -7, 3.25f}},
        {CRavTools::TransformMode::Move, {0, 0, 0}, "Moving all vertexes in ", {10, -5, 3}},
        {CRavTools::TransformMode::Scale, {2, 0, -1}, "Scaling all vertexes in ", {20, 0, -3}},
        {CRavTools::TransformMode::Scale, {1, 1, 1}, "Scaling all vertexes in ", {10, -5, 3}},
    };
    for (const auto& c : cases) {
        Load(scene);
        const std::vector<RavObject> before = Reloaded();
        EXPECT_TRUE(tools.TransformVertices(&rav, c.vector, c.mode));
        EXPECT_EQ(messages,
                  (Messages{{c.announcement + path, 0}, {"Successfully written 4 objects", 0}}));
        const std::vector<RavObject> after = Reloaded();
        EXPECT_EQ(after[0].vertices[0].x, c.first.x);
        EXPECT_EQ(after[0].vertices[0].y, c.first.y);
        EXPECT_EQ(after[0].vertices[0].z, c.first.z);
        const auto& [x, y, z] = c.vector;
        const bool move = c.mode == CRavTools::TransformMode::Move;
        const std::vector<RavVertex>& stand = after[2].vertices;
        for (std::size_t k = 0; k < stand.size(); ++k) {
            const RavVertex& v = before[2].vertices[k];
            EXPECT_EQ(stand[k].x, move ? v.x + x : v.x * x);
            EXPECT_EQ(stand[k].y, move ? v.y + y : v.y * y);
            EXPECT_EQ(stand[k].z, move ? v.z + z : v.z * z);
        }
        EXPECT_TRUE(after[3].vertices.empty());
    }
}

// Kind-1 objects with four corners and four texture coordinates get the
// unit square; other kind-1 objects are named by index with flag 0; the
// model is saved even when nothing changed.
TEST_F(RavToolsTest, NormalizeG2SetsTheUnitSquareOnG2ObjectsOnly) {
    const std::vector<RavBuilder::Uv> odd{{0.5f, 0.5f}, {0.25f, 0}, {0, 0.75f}};
    const std::vector<RavBuilder::Vertex> four(4);
    RavBuilder scene = SampleScene(); // object 0: 3 vertices, no uvs; object 2 a G2
    scene.objects.push_back({.name = "Three uvs", .vertices = four, .uvs = odd});
    scene.objects.push_back({.name = "Three corners",
                             .vertices = {{}, {}, {}},
                             .uvs = {{2, 2}, {3, 3}, {4, 4}, {5, 5}}});
    Load(scene);
    EXPECT_TRUE(tools.NormalizeG2(&rav));
    EXPECT_EQ(messages, (Messages{{"Normalizing G2 ravfile", 0},
                                  {"Warning! Object 0 is not a G2 Object. Skipping", 0},
                                  {"Warning! Object 3 is not a G2 Object. Skipping", 0},
                                  {"Warning! Object 4 is not a G2 Object. Skipping", 0},
                                  {"Successfully written 5 objects", 0}}));
    const std::vector<RavObject> after = Reloaded();
    const auto uvs = [&after](std::int32_t i) {
        std::vector<std::pair<float, float>> pairs;
        for (const RavUv& uv : after[static_cast<std::size_t>(i)].uvs) {
            pairs.emplace_back(uv.u, uv.v);
        }
        return pairs;
    };
    using Pairs = std::vector<std::pair<float, float>>;
    EXPECT_EQ(uvs(2), (Pairs{{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    EXPECT_EQ(uvs(3), (Pairs{{0.5f, 0.5f}, {0.25f, 0}, {0, 0.75f}}));
    EXPECT_EQ(uvs(4), (Pairs{{2, 2}, {3, 3}, {4, 4}, {5, 5}}));

    // No kind-1 object at all: no warning, still saved.
    Load({.objects = {{.name = "Marker", .kind = 0}}});
    EXPECT_TRUE(tools.NormalizeG2(&rav));
    EXPECT_EQ(messages,
              (Messages{{"Normalizing G2 ravfile", 0}, {"Successfully written 1 objects", 0}}));
}

// A save that fails leaves only the announcement and the writer's error.
TEST_F(RavToolsTest, FailedSaveAddsNoSuccessLine) {
    const struct {
        const char* what;
        std::function<bool()> run;
        Messages before;
    } cases[] = {
        {"move",
         [&] {
             return tools.TransformVertices(&rav, {1, 1, 1}, CRavTools::TransformMode::Move);
         },
         {{"Moving all vertexes in @", 0}}},
        {"normalize",
         [&] { return tools.NormalizeG2(&rav); },
         {{"Normalizing G2 ravfile", 0}, {"Warning! Object 0 is not a G2 Object. Skipping", 0}}},
        {"shade", [&] { return tools.ShadeG2(&rav, 50); }, {}},
        {"reset", [&] { return tools.ShadeG2(&rav, -1); }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Load(SampleScene());
        std::filesystem::remove(path);
        EXPECT_FALSE(c.run());
        Messages expected = c.before;
        for (auto& [text, flag] : expected) {
            if (text.ends_with('@')) {
                text = text.substr(0, text.size() - 1) + path;
            }
        }
        expected.emplace_back("Error opening " + path, 1);
        EXPECT_EQ(messages, expected);
    }
    messages.clear();
    EXPECT_FALSE(tools.TransformVertices(nullptr, {1, 1, 1}, CRavTools::TransformMode::Move));
    EXPECT_FALSE(tools.NormalizeG2(nullptr));
    EXPECT_FALSE(tools.ShadeG2(nullptr, 50));
    EXPECT_EQ(messages, Messages{});
}

// One G2 object with the colour 200, 255, 10 (bytes 2, 1, 0) and alpha 77 at
// each corner, next to a kind-1 object with four corners but three colours
// far outside, which is neither shaded nor counted in the extent.
TEST_F(RavToolsTest, ShadeG2DarkensByDistanceWithTheStoredArithmetic) {
    using Corners = std::array<std::pair<float, float>, 4>; // x, z
    const Corners example{{{3500, 0}, {4500, 5500}, {-2000, 3000}, {0, -5500}}};
    const Bytes3 same{200, 255, 10};
    const Bytes3 half{100, 127, 5};
    const Bytes3 white{255, 255, 255};
    const std::string range = "Valid Shade % is between 0 and 100, type -1 for reset the shades";
    const struct {
        const char* what;
        Corners corners;
        float shade;
        int runs;
        std::array<Bytes3, 4> colours;
        Messages log;
    } cases[] = {
        {"worked example",
         example,
         50,
         1,
         {{{150, 191, 7}, half, same, half}},
         {{"Successfully shaded 2 G2 objects", 0}}},
        {"twice",
         example,
         50,
         2,
         {{{112, 143, 5}, {50, 63, 2}, same, {50, 63, 2}}},
         {{"Successfully shaded 2 G2 objects", 0}, {"Successfully shaded 2 G2 objects", 0}}},
        {"black edge",
         example,
         0,
         1,
         {{half, {0, 0, 0}, same, {0, 0, 0}}},
         {{"Successfully shaded 2 G2 objects", 0}}},
        // Clamped to 0.9999: the edge still loses one step.
        {"100",
         example,
         100,
         1,
         {{{199, 254, 9}, {199, 254, 9}, same, {199, 254, 9}}},
         {{"Successfully shaded 2 G2 objects", 0}}},
        {"reset",
         example,
         -1,
         1,
         {{white, white, white, white}},
         {{"Successfully restored 2 G2 objects", 0}}},
        {"100.5", example, 100.5f, 1, {{same, same, same, same}}, {{range, 1}}},
        {"-0.5", example, -0.5f, 1, {{same, same, same, same}}, {{range, 1}}},
        {"-2", example, -2, 1, {{same, same, same, same}}, {{range, 1}}},
        {"infinite",
         example,
         std::numeric_limits<float>::infinity(),
         1,
         {{same, same, same, same}},
         {{range, 1}}},
        {"not a number", example, std::nanf(""), 1, {{same, same, same, same}}, {{range, 1}}},
        // MX = 2500: the x factor is infinite and contributes nothing.
        {"x extent 2500",
         {{{2500, 0}, {-1000, 0}, {0, 5500}, {-2500, 5500}}},
         50,
         1,
         {{same, same, half, half}},
         {{"Successfully shaded 2 G2 objects", 0}}},
        // MX < 2500: the x factor is negative and every corner gets the
        // darkest shade.
        {"x extent below 2500",
         {{{2000, 0}, {1000, 0}, {0, 0}, {-2000, 3500}}},
         50,
         1,
         {{half, half, half, half}},
         {{"Successfully shaded 2 G2 objects", 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RavBuilder::Object g2{.name = "Crowd"};
        for (const auto& [x, z] : c.corners) {
            g2.vertices.push_back({x, 7, z});
            g2.colours.push_back({10, 255, 200, 77});
        }
        const RavBuilder::Object far{.name = "Far",
                                     .vertices = {{9000, 0, 9000}, {}, {}, {}},
                                     .colours = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}}};
        Load({.objects = {g2, far}});
        for (int run = 0; run < c.runs; ++run) {
            EXPECT_EQ(tools.ShadeG2(&rav, c.shade), c.log[0].second == 0);
            rav.Clear();
            ASSERT_TRUE(rav.Load(path));
        }
        EXPECT_EQ(messages, c.log);
        const std::vector<RavObject> after = Reloaded();
        for (std::size_t k = 0; k < 4; ++k) {
            const RavColour& colour = after[0].colours[k];
            EXPECT_EQ((Bytes3{colour[2], colour[1], colour[0]}), c.colours[k]) << "corner " << k;
            EXPECT_EQ(colour[3], 77);
        }
        EXPECT_EQ(after[1].colours,
                  (std::vector<RavColour>{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}}));
    }
}

} // namespace
