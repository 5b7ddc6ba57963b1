#include "filters/FilterTestSupport.h"
#include "filters/LightwaveFilter.h"

#include <array>
#include <bit>

namespace {

using LightwaveTest = FilterTest<CLightwaveFilter>;

// Only four-vertex objects with a coordinate other than 0 are written, each
// corner shared with the first equal point; the goldens are composed from
// the layout alone.
TEST_F(LightwaveTest, ExportWritesTheLayoutByteForByte) {
    LoadScene(TwoRectangles());
    EXPECT_EQ(Export(), Golden("lwo/two-rectangles.lwo"));
    LoadScene({});
    EXPECT_EQ(Export(), Golden("lwo/empty.lwo"));
    EXPECT_EQ(messages, Messages{});
}

// Indices are 16 bits: 65536 distinct points are written (the last index
// FF FF); one more is refused before the file is touched.
TEST_F(LightwaveTest, ExportRefusesMorePointsThanIndicesReach) {
    RavBuilder scene;
    for (int i = 0; i < 16384; ++i) {
        const float x = static_cast<float>(i + 1);
        scene.objects.push_back({.vertices = {{x, 0, 0}, {x, 1, 0}, {x, 2, 0}, {x, 3, 0}}});
    }
    LoadScene(scene);
    const std::string written = Export();
    ASSERT_EQ(written.size(), 192U + 12 * 65536 + 12 * 16384);
    EXPECT_EQ(written.substr(56 + 12 * 65536 + 12 * 16383, 12),
              std::string("\0\4\xFF\xFC\xFF\xFD\xFF\xFE\xFF\xFF\0\1", 12));

    scene.objects.push_back({.vertices = {{1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 4, 0}}});
    LoadScene(scene);
    EXPECT_FALSE(filter.Export(exchange, &rav));
    EXPECT_EQ(messages, (Messages{{"Error! The objects have more than 65536 distinct corner "
                                   "points, more than a Lightwave object file can index. Nothing "
                                   "written to " +
                                       exchange,
                                   1}}));
    EXPECT_EQ(ReadText(exchange), written);
}

// LWOB pieces, big-endian, composed without the filter's code.
std::string Be16(std::uint32_t value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value)};
}
std::string Be32(std::uint32_t value) {
    return Be16(value >> 16) + Be16(value & 0xFFFF);
}
std::string Chunk(const std::string& id, const std::string& data) {
    return id + Be32(static_cast<std::uint32_t>(data.size())) + data +
           (data.size() % 2 != 0 ? std::string(1, '\0') : "");
}
std::string Form(const std::string& chunks) {
    return "FORM" + Be32(static_cast<std::uint32_t>(4 + chunks.size())) + "LWOB" + chunks;
}

// Point i of a file is (i + 0.5, -i, 100 + i).
using Xyz = std::array<float, 3>;
Xyz Point(int i) {
    return {static_cast<float>(i) + 0.5f, static_cast<float>(-i), static_cast<float>(100 + i)};
}
std::string Pnts(int count) {
    std::string data;
    for (int i = 0; i < count; ++i) {
        for (float value : Point(i)) {
            data += Be32(std::bit_cast<std::uint32_t>(value));
        }
    }
    return Chunk("PNTS", data);
}
// Records: corner count, indices, surface 1.
std::string Pols(const std::vector<std::vector<int>>& records) {
    std::string data;
    for (const std::vector<int>& corners : records) {
        data += Be16(static_cast<std::uint32_t>(corners.size()));
        for (int index : corners) {
            data += Be16(static_cast<std::uint32_t>(index));
        }
        data += Be16(1);
    }
    return Chunk("POLS", data);
}

// Each object's vertex positions.
std::vector<std::vector<Xyz>> Positions(const CRavFile& rav) {
    std::vector<std::vector<Xyz>> positions(static_cast<std::size_t>(rav.header.objectCount));
    for (std::size_t k = 0; k < positions.size(); ++k) {
        for (const RavVertex& v : rav.GetObject(static_cast<std::int32_t>(k))->vertices) {
            positions[k].push_back({v.x, v.y, v.z});
        }
    }
    return positions;
}

// Hand-made files: what each returns, reports and which quadrilateral's
// points the four-vertex objects 0, 2 and 5 get (-1: left as they were); the
// triangle (1), the object at the origin (3) and the one of another kind (4)
// never take one.
TEST_F(LightwaveTest, ImportPairsQuadrilateralsWithFourVertexObjects) {
    const std::string quads = Pols({{0, 1, 2, 3}, {4, 5, 6, 7}});
    const std::string notQuad = " is not a G2 Object (not a rectangle)... skipping";
    const std::string point8 = "Object 1 names point 8, but the file has 8 points... skipping";
    const auto counts = [this](int quads) {
        return "Warning! " + exchange + " holds " + std::to_string(quads) + " quadrilateral" +
               (quads == 1 ? "" : "s") + " but the RAV file has 3 four-vertex objects; "
               "quadrilaterals added or removed in a modelling tool shift onto other objects";
    };
    const struct {
        const char* what;
        std::string file;
        bool result;
        std::vector<std::string> messages;
        std::array<int, 3> quadOf;
    } cases[] = {
        // clang-format off
        {"other corner counts, surplus quads",
         Form(Pnts(8) +
              Pols({{0, 1, 2, 3}, {0, 1, 2}, {4, 5, 6, 7}, {}, {3, 2, 1, 0}, {1, 1, 1, 1}})),
         true, {"Object 1" + notQuad, "Object 3" + notQuad, counts(4)}, {0, 1, 2}},
        {"a point past the last", Form(Pnts(8) + Pols({{0, 1, 2, 3}, {4, 5, 8, 7}, {3, 2, 1, 0}})),
         true, {point8}, {0, -1, 2}},
        {"a record cut off", Form(Pnts(8) + Chunk("POLS", quads.substr(8, 12) + Be16(4) + Be16(5))),
         true, {"Object 1 is cut off at the end of its chunk... skipping", counts(1)}, {0, -1, -1}},
        {"a chunk cut off", Form(Pnts(8) + quads + "SURF" + Be32(100) + "SKETCH"),
         true, {"Warning! " + exchange + " ends inside a chunk. Ignoring the rest", counts(2)},
         {0, 1, -1}},
        {"not a FORM", "RIFF" + Form(Pnts(8) + quads).substr(4),
         false, {exchange + " is not a valid IFF Lightwave file"}, {-1, -1, -1}},
        // clang-format on
    };
    // The quadrilaterals of the files above, by their points.
    const std::array<std::array<int, 4>, 3> corners{{{0, 1, 2, 3}, {4, 5, 6, 7}, {3, 2, 1, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto quad = [](float x) {
            return RavBuilder::Object{.vertices = {{x, 1, 1}, {x, 2, 2}, {x, 3, 3}, {x, 4, 4}}};
        };
        LoadScene({.objects = {quad(10),
                               {.vertices = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
                               quad(20),
                               {.vertices = {{}, {}, {}, {}}},
                               {.kind = 0, .vertices = {{7, 7, 7}}},
                               quad(30)}});
        std::vector<std::vector<Xyz>> expected = Positions(rav);
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t k = 0; k < 4 && c.quadOf[i] >= 0; ++k) {
                expected[std::array{0, 2, 5}[i]][k] =
                    Point(corners[static_cast<std::size_t>(c.quadOf[i])][k]);
            }
        }
        EXPECT_EQ(Import(c.file), c.result);
        Messages want;
        for (const std::string& text : c.messages) {
            want.emplace_back(text, 1);
        }
        EXPECT_EQ(messages, want);
        EXPECT_EQ(Positions(rav), expected);
    }
}

using Triangle = std::array<std::array<float, 3>, 3>;

// assimp (its WebAssembly build, run by node) reads the exported file as an
// outside program would; the test compares what it sees with the fixture's
// own coordinates. assimp turns a point (x, y, z) into (x, y, -z) and
// reverses each polygon's corners, so it splits the quadrilateral a b c d
// into the triangles d c b and d b a.
TEST_F(LightwaveTest, AssimpSeesTheExportedQuadrilaterals) {
    RavBuilder scene = TwoRectangles();
    scene.objects.push_back(
        {.vertices = {
             {0.1f, -1e-3f, 12345.678f}, {1.0f / 3, 2, -7.25f}, {-0.1f, 1e-30f, 3}, {4, 0, -3}}});
    LoadScene(scene);
    ASSERT_TRUE(filter.Export(exchange, &rav));

    const std::optional<nlohmann::json> seen = SeenByAssimp({exchange}, dir);
    if (!seen) {
        GTEST_SKIP() << "node or the npm packages of tests/node are missing";
    }
    EXPECT_EQ((*seen)["materials"], nlohmann::json::array({"SKETCH_1"}));

    std::vector<Triangle> expected;
    for (const std::size_t object : {0, 3, 5}) { // the objects with a quadrilateral
        const auto& v = scene.objects[object].vertices;
        const auto corner = [&](std::size_t k) { return std::array{v[k].x, v[k].y, -v[k].z}; };
        expected.push_back({corner(3), corner(2), corner(1)});
        expected.push_back({corner(3), corner(1), corner(0)});
    }
    EXPECT_EQ((*seen)["triangles"].get<std::vector<Triangle>>(), expected);
}

} // namespace
