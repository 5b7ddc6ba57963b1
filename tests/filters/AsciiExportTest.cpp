#include "filters/AsciiFilter.h"
#include "filters/FilterTestSupport.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

class AsciiTest : public FilterTest<CAsciiFilter> {
protected:
    std::string Export(std::uint32_t mode, int decimals) {
        filter.SetExportMode(mode);
        filter.SetDecimals(decimals);
        return FilterTest::Export();
    }
};

// Uvs and colours running out before the vertices, a negative order entry,
// an empty order list, a record whose texture is missing from the table, an
// object of another kind; at both ends of the decimals.
TEST_F(AsciiTest, ExportWritesTheGoldensByteForByte) {
    LoadScene({.textures = {"grass", "stand"},
               .objects = {{.name = "Quad",
                            .vertices = {{0.5f, -0.125f, 1e6f},
                                         {1.0f / 3, 2.5f, -0.0f},
                                         {-7, 0.1f, 3},
                                         {123.456f, 1e-3f, -9.75f}},
                            .uvs = {{0.25f, 1}, {1, 0.75f}},
                            .colours = {{0x11, 0x22, 0x33, 0x44}},
                            .textureRecords = {RavBuilder::Record(1, {0xFFFF, 7, 0x8000}),
                                               RavBuilder::Record(0, {}), Orphan({5})}},
                           {.name = "Light", .kind = 3}}});
    EXPECT_EQ(Export(31, 0), Golden("ascii/edge-mode31-decimals0.txt"));
    EXPECT_EQ(Export(31, 32), Golden("ascii/edge-mode31-decimals32.txt"));
    EXPECT_EQ(messages, Messages{});
}

// Each flag adds its fields to the vertex line; textures are written in
// every mode, their orders only under ExportOrder. EXMODE is signed.
TEST_F(AsciiTest, ExportModeChoosesTheFields) {
    LoadScene({.textures = {"grass"},
               .objects = {{.name = "q",
                            .vertices = {{1, 2, 3}},
                            .uvs = {{4, 5}},
                            .colours = {{1, 2, 3, 4}},
                            .textureRecords = {RavBuilder::Record(0, {9})}}}});
    const struct {
        std::uint32_t mode;
        const char* exmode;
        const char* vertexLine;
        bool orders;
    } cases[] = {{0, "0", "", false},
                 {1, "1", "\t\t1.0, 2.0, 3.0", false},
                 {4, "4", ", 4.0, 5.0", false},
                 {16, "16", ", 030201", false},
                 {8, "8", "", true},
                 {0xFFFFFFFF, "-1", "\t\t1.0, 2.0, 3.0, 4.0, 5.0, 030201", true}};
    for (const auto& c : cases) {
        const std::string orders = c.orders ? "\t\t\tORDERCOUNT=1\r\n\t\t\tORDER=9\r\n" : "";
        EXPECT_EQ(Export(c.mode, 1),
                  Join({"EXMODE=" + std::string(c.exmode), "OBJECTS=1", "Object 0:", "\tNAME=q",
                        "\tVERTEXES=1", c.vertexLine, "\tTEXTURES=1", "\t\tNAME=grass"}) +
                      orders + "[End of file]\r\n")
            << c.mode;
    }
}

// Random objects: coordinates 0 or of a size that 32 decimals hold exactly,
// fewer uvs and colours than vertices, random orders, one object of
// another kind and, with `big`, one of 3000 vertices.
RavBuilder RandomScene(unsigned seed, bool big) {
    std::mt19937 random(seed);
    const auto number = [&] {
        const float magnitude = std::ldexp(1.0f, static_cast<int>(random() % 30) - 10);
        const float value = std::uniform_real_distribution<float>(-magnitude, magnitude)(random);
        return random() % 5 == 0 ? 0.0f : value;
    };
    const auto byte = [&] { return static_cast<std::uint8_t>(random()); };
    RavBuilder scene{.textures = {"grass01", "Stand_A", "roof"}};
    for (int i = 0; i < 12; ++i) {
        auto& object = scene.objects.emplace_back(
            RavBuilder::Object{.name = "obj_" + std::to_string(i), .kind = i == 5 ? 4 : 1});
        const int vertices = big && i == 0 ? 3000 : static_cast<int>(random() % 7);
        for (int k = 0; k < vertices; ++k) {
            object.vertices.push_back({number(), number(), number()});
            if (k % 3 != 2) {
                object.uvs.push_back({number(), number()});
            }
            if (k % 2 == 0) {
                object.colours.push_back({byte(), byte(), byte(), 0x5A});
            }
        }
        for (int t = static_cast<int>(random() % 3); t > 0; --t) {
            std::vector<std::uint16_t> orders(random() % 5);
            std::generate(orders.begin(), orders.end(), [&] { return random(); });
            object.textureRecords.push_back(RavBuilder::Record(t - 1, orders));
        }
    }
    return scene;
}

// Export then import puts back every value the mode carries, into a model
// where those values were overwritten, and nothing else: at 32 decimals the
// saved file equals a plain save of the original. An object's text has no
// size limit.
TEST_F(AsciiTest, ExportThenImportRestoresEveryMode) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        LoadScene(RandomScene(seed, seed == 1));
        const std::vector<std::uint8_t> saved = Saved();
        for (std::uint32_t mode = 0; mode < 32; ++mode) {
            ASSERT_TRUE(rav.Load(ravPath));
            const std::string text = Export(mode, 32);
            const auto has = [mode](std::uint32_t flag) { return (mode & flag) != 0; };
            for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
                RavObject& object = *rav.GetObject(i);
                object.name = "x";
                for (RavObjectTexture& record : object.textureRecords) {
                    record.textureRef = rav.GetTexture(2)->textureRef;
                }
                for (RavVertex& v : object.vertices) {
                    v = has(ExportVertexes) ? RavVertex{7, 7, 7} : v;
                }
                for (RavUv& uv : object.uvs) {
                    uv = has(ExportPlacements) ? RavUv{7, 7} : uv;
                }
                for (RavColour& c : object.colours) {
                    c = has(ExportShading) ? RavColour{7, 7, 7, c[3]} : c;
                }
                for (auto& orders : object.orders) {
                    if (has(ExportOrder)) {
                        std::fill(orders.begin(), orders.end(), 7);
                    }
                }
            }
            EXPECT_TRUE(Import(text));
            EXPECT_EQ(Saved(), saved) << "seed " << seed << " mode " << mode;
            dir.Write("scene.rav", saved);
        }
    }
    EXPECT_EQ(messages, Messages{});
}

} // namespace
