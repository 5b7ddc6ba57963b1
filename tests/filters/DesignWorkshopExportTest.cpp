#include "filters/DesignWorkshopTestSupport.h"

#include <limits>
#include <string>

namespace {

constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// A G2 object at 0, which is never written; objects that fail the G2 test
// in each way; a texture record that matches no texture; numbers at the
// extremes of "%f".
RavBuilder EdgeScene() {
    RavBuilder::TextureRecord orphan = RavBuilder::Record(0, {});
    orphan.texture.reset();
    orphan.textureRef = 0x7777;
    RavBuilder::Object extremes = Quad("extremes",
                                       {{kMax, -kMax, 1e-7f},
                                        {-1e-7f, -0.0000005f, 0.0000005f},
                                        {kInf, -kInf, kNan},
                                        {-kNan, 16777217.0f, -1234567.875f}},
                                       0);
    extremes.textureRecords = {orphan};
    RavBuilder::Object twoTextures = Quad("two", {{}, {}, {}, {}}, 0);
    twoTextures.textureRecords.push_back(RavBuilder::Record(1, {}));
    return {
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
}

std::string Golden(const std::string& name) {
    return ReadText(std::string(POLYPORT_TEST_DATA) + "/dw/" + name);
}

TEST_F(DesignWorkshopTest, ExportWritesTheFormatByteForByte) {
    const struct {
        RavBuilder scene;
        const char* golden;
        Messages messages;
    } cases[] = {
        {EdgeScene(),
         "edge.dw",
         {{"Error! Object 2 is not a G2 object", 1},
          {"Error! Object 4 is not a G2 object", 1},
          {"Error! Object 5 is not a G2 object", 1}}},
        {{.objects = {Quad("only", {{}, {}, {}, {}}, 0)}}, "single.dw", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        LoadScene(c.scene);
        EXPECT_TRUE(filter.Export(dwPath, &rav));
        EXPECT_EQ(ReadText(dwPath), Golden(c.golden));
        EXPECT_EQ(messages, c.messages);
    }
}

} // namespace
