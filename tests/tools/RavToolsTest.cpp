#include "tools/RavTools.h"
#include "gamefiles/RavTestSupport.h"

#include <cmath>
#include <limits>

namespace {

using Mode = CRavTools::TransformMode;

// The tools and the RAV model write into one log, as in the window.
class RavToolsTest : public RavFileTest {
protected:
    RavToolsTest() { tools.SetOutput(LogInto(messages)); }

    void Load(const RavBuilder& scene) { LoadOk(scene.Build().image); }

    // Object `i` as it is on disk now.
    RavObject OnDisk(std::int32_t i) const {
        CRavFile file;
        EXPECT_TRUE(file.Load(path));
        return *file.GetObject(i);
    }

    CRavTools tools;
};

// Every vertex of every object moves or scales, a mirror or a flat axis
// included. Normalize gives only G2 objects the unit square and names the
// other kind-1 objects, short of corners or of texture coordinates.
TEST_F(RavToolsTest, TransformAndNormalizeWriteEveryObjectBack) {
    RavBuilder scene = SampleScene(); // 0: three vertices, 2: a G2 object
    scene.objects.push_back({.name = "Three uvs",
                             .vertices = {{1, 2, 3}, {}, {}, {}},
                             .uvs = {{0.5f, 0.5f}, {0.25f, 0}, {0, 0.75f}}});
    scene.objects.push_back({.name = "Three corners",
                             .vertices = {{}, {}, {}},
                             .uvs = {{0.5f, 0}, {0, 0}, {0, 0}, {0, 0.5f}}});
    const std::string written = "Successfully written 5 objects";
    // clang-format off
    const struct {
        Mode mode; std::array<float, 3> vector; const char* verb; RavVertex first, last;
    } cases[] = {
        {Mode::Move, {1.5f, -2, 0.25f}, "Moving", {11.5f, -7, 3.25f}, {2.5f, 0, 3.25f}},
        {Mode::Scale, {2, 0, -1}, "Scaling", {20, 0, -3}, {2, 0, -3}},
    };
    // clang-format on
    for (const auto& c : cases) {
        Load(scene);
        EXPECT_TRUE(tools.TransformVertices(&rav, c.vector, c.mode));
        EXPECT_EQ(messages, (Messages{{c.verb + (" all vertexes in " + path), 0}, {written, 0}}));
        const RavVertex first = OnDisk(0).vertices[0];
        const RavVertex last = OnDisk(3).vertices[0];
        EXPECT_EQ((std::array{first.x, first.y, first.z, last.x, last.y, last.z}),
                  (std::array{c.first.x, c.first.y, c.first.z, c.last.x, c.last.y, c.last.z}));
    }

    Load(scene);
    EXPECT_TRUE(tools.NormalizeG2(&rav));
    EXPECT_EQ(messages, (Messages{{"Normalizing G2 ravfile", 0},
                                  {"Warning! Object 0 is not a G2 Object. Skipping", 0},
                                  {"Warning! Object 3 is not a G2 Object. Skipping", 0},
                                  {"Warning! Object 4 is not a G2 Object. Skipping", 0},
                                  {written, 0}}));
    std::vector<float> uvs;
    for (std::int32_t i : {2, 3, 4}) {
        for (const RavUv& uv : OnDisk(i).uvs) {
            uvs.insert(uvs.end(), {uv.u, uv.v});
        }
    }
    EXPECT_EQ(uvs, (std::vector<float>{0, 0, 1,     0,    1, 1, 0, 1, 0.5f, 0.5f, 0.25f,
                                       0, 0, 0.75f, 0.5f, 0, 0, 0, 0, 0,    0,    0.5f}));
}

// One G2 object with the colour 200, 255, 10 (bytes 2, 1, 0) and alpha 77 at
// each corner, next to a kind-1 object with four corners but three colours
// far outside, which is neither shaded nor counted in the extent.
TEST_F(RavToolsTest, ShadeG2DarkensByDistanceWithTheStoredArithmetic) {
    using Corners = std::array<std::pair<float, float>, 4>; // x, z
    using Bytes = std::array<int, 3>;                       // colour bytes 2, 1, 0
    const Corners example{{{3500, 0}, {4500, 5500}, {-2000, 3000}, {0, -5500}}};
    const Bytes same{200, 255, 10}, half{100, 127, 5}, white{255, 255, 255};
    const Bytes edge100{199, 254, 9};
    const std::array<Bytes, 4> unchanged{same, same, same, same};
    const Messages shaded{{"Successfully shaded 2 G2 objects", 0}};
    const Messages range{{"Valid Shade % is between 0 and 100, type -1 for reset the shades", 1}};
    // clang-format off
    const struct {
        const char* what; Corners corners; float shade; std::array<Bytes, 4> colours; Messages log;
    } cases[] = {
        {"worked example", example, 50, {{{150, 191, 7}, half, same, half}}, shaded},
        // 0.01 in single precision, the product in double: 0.01 as a double
        // gives 110 and 20, 25, 1.
        {"10", example, 10, {{{109, 140, 5}, {19, 25, 0}, same, {19, 25, 0}}}, shaded},
        {"100, clamped", example, 100, {{edge100, edge100, same, edge100}}, shaded},
        {"reset", example, -1, {{white, white, white, white}},
         {{"Successfully restored 2 G2 objects", 0}}},
        // A product in single precision would round this to exactly 1.
        {"just above 100", example, std::nextafter(100.f, 200.f), unchanged, range},
        {"not a number", example, std::nanf(""), unchanged, range},
        // MX < 2500: the x factor is negative; every corner gets the darkest.
        {"x extent below 2500", {{{2000, 0}, {1000, 0}, {0, 0}, {-2000, 3500}}}, 50,
         {{half, half, half, half}}, shaded},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RavBuilder::Object g2{.name = "Crowd"};
        for (const auto& [x, z] : c.corners) {
            g2.vertices.push_back({x, 7, z});
            g2.colours.push_back({10, 255, 200, 77});
        }
        const std::vector<RavColour> three{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
        Load(RavBuilder{
            .objects = {
                g2, {.name = "Far", .vertices = {{9000, 0, 9000}, {}, {}, {}}, .colours = three}}});
        EXPECT_EQ(tools.ShadeG2(&rav, c.shade), c.log != range);
        EXPECT_EQ(messages, c.log);
        for (std::size_t k = 0; k < 4; ++k) {
            const RavColour colour = OnDisk(0).colours[k];
            EXPECT_EQ((Bytes{colour[2], colour[1], colour[0]}), c.colours[k]) << "corner " << k;
            EXPECT_EQ(colour[3], 77);
        }
        EXPECT_EQ(OnDisk(1).colours, three);
    }
}

} // namespace
