#include "filters/AsciiTestSupport.h"

#include <string>
#include <vector>

namespace {

// Every field the format has: uvs and colours running out before the
// vertices, a negative order entry, an empty order list, a record whose
// texture is missing from the table, and an object of another kind.
RavBuilder EdgeScene() {
    RavBuilder::TextureRecord orphan = RavBuilder::Record(0, {5});
    orphan.texture.reset();
    orphan.textureRef = 0x7777;
    return {.textures = {"grass", "stand"},
            .objects = {{.name = "Quad",
                         .vertices = {{0.5f, -0.125f, 1e6f},
                                      {1.0f / 3, 2.5f, -0.0f},
                                      {-7, 0.1f, 3},
                                      {123.456f, 1e-3f, -9.75f}},
                         .uvs = {{0.25f, 1}, {1, 0.75f}},
                         .colours = {{0x11, 0x22, 0x33, 0x44}},
                         .textureRecords = {RavBuilder::Record(1, {0xFFFF, 7, 0x8000}),
                                            RavBuilder::Record(0, {}), orphan}},
                        {.name = "Light", .kind = 3}}};
}

std::string Golden(const std::string& name) {
    return ReadText(std::string(POLYPORT_TEST_DATA) + "/ascii/" + name);
}

// The worked example of the format, and the edge scene at the extremes of
// the decimals, byte for byte.
TEST_F(AsciiFilterTest, ExportWritesTheFormatByteForByte) {
    LoadScene({.textures = {"grass"},
               .objects = {{.name = "stand",
                            .vertices = {{1.5f, 0, -2.25f}, {1.5f, 3, -2.25f}},
                            .uvs = {{0, 1}, {1, 1}},
                            .colours = {{0x00, 0xFF, 0x80, 0x00}},
                            .textureRecords = {RavBuilder::Record(0, {0, 1, 0})}}}});
    EXPECT_EQ(
        Export(31),
        CrLf({"EXMODE=31", "OBJECTS=1", "Object 0:", "\tNAME=stand", "\tVERTEXES=2",
              "\t\t1.500000, 0.000000, -2.250000, 0.000000, 1.000000, 80FF00",
              "\t\t1.500000, 3.000000, -2.250000, 1.000000, 1.000000, 000000", "\tTEXTURES=1",
              "\t\tNAME=grass", "\t\t\tORDERCOUNT=3", "\t\t\tORDER=0, 1, 0", "[End of file]"}));

    LoadScene(EdgeScene());
    EXPECT_EQ(Export(31, 0), Golden("edge-mode31-decimals0.txt"));
    EXPECT_EQ(Export(31, 32), Golden("edge-mode31-decimals32.txt"));
    EXPECT_EQ(messages, Messages{});
}

// The mode chooses the fields of a vertex line; the texture section is
// written whatever the mode, with orders only under ExportOrder.
TEST_F(AsciiFilterTest, ExportModeChoosesTheFields) {
    LoadScene({.textures = {"grass"},
               .objects = {{.name = "q",
                            .vertices = {{1, 2, 3}},
                            .uvs = {{4, 5}},
                            .colours = {{1, 2, 3, 4}},
                            .textureRecords = {RavBuilder::Record(0, {9})}}}});
    const struct {
        std::uint32_t mode;
        std::string vertexLine;
        std::vector<std::string> textureLines;
    } cases[] = {
        {0, "", {"\t\tNAME=grass"}},
        {1, "\t\t1.0, 2.0, 3.0", {"\t\tNAME=grass"}},
        {2, "", {"\t\tNAME=grass"}},
        {4, ", 4.0, 5.0", {"\t\tNAME=grass"}},
        {16, ", 030201", {"\t\tNAME=grass"}},
        {20, ", 4.0, 5.0, 030201", {"\t\tNAME=grass"}},
        {8, "", {"\t\tNAME=grass", "\t\t\tORDERCOUNT=1", "\t\t\tORDER=9"}},
        {0xFFFFFFFF,
         "\t\t1.0, 2.0, 3.0, 4.0, 5.0, 030201",
         {"\t\tNAME=grass", "\t\t\tORDERCOUNT=1", "\t\t\tORDER=9"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines{"EXMODE=" +
                                           std::to_string(static_cast<std::int32_t>(c.mode)),
                                       "OBJECTS=1",
                                       "Object 0:",
                                       "\tNAME=q",
                                       "\tVERTEXES=1",
                                       c.vertexLine,
                                       "\tTEXTURES=1"};
        lines.insert(lines.end(), c.textureLines.begin(), c.textureLines.end());
        lines.push_back("[End of file]");
        EXPECT_EQ(Export(c.mode, 1), CrLf(lines)) << "mode " << c.mode;
    }

    LoadScene({});
    EXPECT_EQ(Export(3), CrLf({"EXMODE=3", "OBJECTS=0", "[End of file]"}));
}

// An object's text has no size limit: thousands of vertices at 32 decimals
// come out whole.
TEST_F(AsciiFilterTest, ExportWritesLargeObjectsWhole) {
    RavBuilder scene{.objects = {{.name = "big"}}};
    for (int k = 0; k < 3000; ++k) {
        scene.objects[0].vertices.push_back({-1234.5f - k, 1.0f / 3, static_cast<float>(k)});
    }
    LoadScene(scene);
    const std::string text = Export(1, 32);
    const std::string last = "\t\t-4233.50000000000000000000000000000000, "
                             "0.33333334326744079589843750000000, "
                             "2999.00000000000000000000000000000000\r\n\tTEXTURES=0\r\n";
    EXPECT_GT(text.size(), 300000U);
    EXPECT_NE(text.find(last), std::string::npos);
}

} // namespace
