#include "filters/FilterTestSupport.h"
#include "filters/ObjFilter.h"
#include "gamefiles/PngWriter.h"
#include "output/Format.h"
#include "support/FshBuilder.h"

#include <algorithm>
#include <array>

namespace {

using ObjTest = FilterTest<CObjFilter>;
using Xyz = std::array<float, 3>;
using Triangles = std::vector<std::array<Xyz, 3>>;
using TriangleUvs = std::vector<std::array<std::array<float, 2>, 3>>;

// Two quads sharing an edge: one with colours, uvs and a texture, one
// without any.
RavBuilder TwoQuads() {
    return {.textures = {"crw0"},
            .objects = {
                {.name = "left",
                 .vertices = {{-1, 0, 2}, {0, 0, 2}, {0, 1.5f, 2}, {-1, 1.5f, 2}},
                 .uvs = {{0, 0}, {0.5f, 0}, {0.5f, 1}, {0, 1}},
                 .colours = {{0, 128, 255, 7}, {10, 20, 30, 40}, {255, 255, 255, 255}, {}},
                 .textureRecords = {RavBuilder::Record(0, {})}},
                {.name = "right", .vertices = {{0, 0, 2}, {1, 0, 2}, {1, 1.5f, 2}, {0, 1.5f, 2}}}}};
}

TEST_F(ObjTest, ExportWritesTheGoldenFiles) {
    LoadScene(TwoQuads());
    exchange = dir.File("two-quads.obj");
    EXPECT_EQ(Export(), Golden("obj/two-quads.obj"));
    EXPECT_EQ(ReadText(dir.File("two-quads.mtl")), Golden("obj/two-quads.mtl"));
    EXPECT_EQ(messages, Messages{});
}

// Every field the filter carries comes back bit for bit into a model of the
// same layout whose values all differ.
TEST_F(ObjTest, ImportRestoresTheExportedModelExactly) {
    RavBuilder scene = TwoQuads();
    scene.textures.push_back("crw1");
    scene.objects.push_back(
        {.name = "odd",
         .vertices = {{0.1f, -1e-3f, 12345.678f},
                      {1.0f / 3, 2, -0.0f},
                      {-0.1f, 1e-30f, 0},
                      {4, -3e38f, -3}},
         .uvs = {{1.0f / 3, -2}, {1e-7f, 0.1f}, {7, 8}, {9, 10}},
         .colours = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}},
         .textureRecords = {RavBuilder::Record(1, {0, 1, 2})}});
    RavBuilder other = scene;
    for (RavBuilder::Object& object : other.objects) {
        std::ranges::for_each(object.vertices, [](auto& v) { v.y += 1; });
        std::ranges::for_each(object.uvs, [](auto& uv) { uv.u += 0.25f; });
        std::ranges::for_each(object.colours, [](auto& c) { c[1] ^= 0x55; });
        std::ranges::for_each(object.textureRecords, [](auto& t) { t.texture = 1 - *t.texture; });
    }
    LoadScene(scene);
    const std::vector<std::uint8_t> saved = Saved();
    exchange = dir.File("scene.obj");
    ASSERT_TRUE(filter.Export(exchange, &rav));
    LoadScene(other);
    ASSERT_TRUE(filter.Import(exchange, &rav));
    EXPECT_EQ(Saved(), saved);
    EXPECT_EQ(messages, Messages{});
}

// assimp reads the export with its library: the corners of each quad as
// triangles c3 c2 c1 and c3 c1 c0 (the face's fan), z negated, and its
// texture coordinates with v as glTF counts it, from the top.
TEST_F(ObjTest, AssimpSeesTheExportedQuads) {
    LoadScene(TwoQuads());
    exchange = dir.File("scene.obj");
    ASSERT_TRUE(filter.Export(exchange, &rav));
    const std::optional<nlohmann::json> seen = SeenByAssimp({exchange, dir.File("scene.mtl")}, dir);
    if (!seen) {
        GTEST_SKIP() << "node or the npm packages of tests/node are missing";
    }
    EXPECT_EQ((*seen)["materials"], nlohmann::json::array({"crw0", "(none)"}));
    Triangles triangles;
    TriangleUvs uvs;
    for (const RavBuilder::Object& object : TwoQuads().objects) {
        for (const std::array<std::size_t, 3> corners :
             {std::array<std::size_t, 3>{3, 2, 1}, {3, 1, 0}}) {
            std::array<Xyz, 3>& triangle = triangles.emplace_back();
            for (std::size_t k = 0; k < 3; ++k) {
                const RavBuilder::Vertex& v = object.vertices[corners[k]];
                triangle[k] = {v.x, v.y, -v.z};
            }
            if (!object.uvs.empty()) {
                auto& uv = uvs.emplace_back();
                for (std::size_t k = 0; k < 3; ++k) {
                    uv[k] = {object.uvs[corners[k]].u, 1 - object.uvs[corners[k]].v};
                }
            }
        }
    }
    EXPECT_EQ((*seen)["triangles"].get<Triangles>(), triangles);
    EXPECT_EQ((*seen)["uvs"].get<TriangleUvs>(), uvs);
}

// Lines "v i 10+i 20+i" for i in first..last: the RAV point (i, 10+i, -20-i).
std::string Vs(int first, int last) {
    std::string lines;
    for (int i = first; i <= last; ++i) {
        lines += Format("v %d %d %d\n", i, 10 + i, 20 + i);
    }
    return lines;
}

// Hand-made files: what each returns and reports, which v lines give the
// corners of objects 0, 2 and 3 (0: left as they were) and their textures.
TEST_F(ObjTest, ImportFindsEachFacesObject) {
    const auto at = [this](int line, const std::string& text) {
        return "Warning! " + exchange + " line " + std::to_string(line) + ": " + text;
    };
    const std::string skip = " corners, not four... skipping";
    using Corners = std::array<int, 4>;
    const Corners none{}, f1234{4, 3, 2, 1}, f5678{8, 7, 6, 5};
    const struct {
        const char* what;
        std::string file;
        std::vector<std::string> messages;
        std::array<Corners, 3> corners;
        std::string textures = "grs0 crw0 crw1";
        bool result = true;
    } cases[] = {
        // clang-format off
        {"reordered, renamed objects", Vs(1, 12) + "o 3_crowd01.001\nf 1 2 3 4\no 0 pitch\nf 5 6 7 8\n"
         "o 2-crowd_a\nf 9 10 11 12\n", {}, {f5678, Corners{12, 11, 10, 9}, f1234}},
        {"bare, relative indices, v//vn", Vs(1, 4) + "vn 0 0 1\nf -4//1 -3//1 -2//1 -1//1\n" +
         Vs(5, 8) + "f 5//1 6//1 7//1 8//1\n",
         {"Warning! " + exchange + " has fewer faces with four corners than the RAV file has "
          "four-vertex objects; object 3 (crowd01) and those after it are left as they were"},
         {f1234, f5678, none}},
        {"faces in model order", Vs(1, 8) + "v 0,5 1 2\nf 1 2 3\nf 9 2 3 4\nf 1 2 3 4 5\nf 5 6 7 8\n"
         "f 8 7 6 0\nf 1 2 3 4\n",
         {at(10, "a face with 3" + skip),
          at(11, "object 0 (pitch): the v line 9 does not hold three finite numbers... skipping"),
          at(12, "a face with 5" + skip),
          at(14, "object 3 (crowd01): the corner v index 0 does not name one of the 9 v lines "
                 "before it... skipping"),
          at(15, "a face with four corners past the last four-vertex object... skipping")},
         {none, f5678, none}},
        {"groups that find no object", Vs(1, 4) + "o 1_tri\nf 1 2 3 4\no 7_x\nf 1 2 3 4\n"
         "o 2_crowd_a\nf 1 2 3 4\nf 1 2 3\nf 4 3 2 1\no 2_again\nf 4 3 2 1\no Plane\nf 1 2 3 4\n",
         {at(5, "\"1_tri\": the RAV file has no four-vertex object 1... skipping"),
          at(7, "\"7_x\": the RAV file has no four-vertex object 7... skipping"),
          at(11, "object 2 (crowd a): a face with 3" + skip),
          at(12, "object 2 (crowd a) takes only the first face with four corners... skipping"),
          at(13, "\"2_again\": object 2 (crowd a) was set by an earlier object of the file... "
                 "skipping"),
          at(15, "\"Plane\" has no object index before its name... skipping")},
         {none, f1234, none}},
        {"textures", Vs(1, 4) + "usemtl CRW1\no 0_pitch\nf 1 2 3 4\no 2_crowd a\nusemtl (none)\n"
         "f 1 2 3 4\no 3_crowd01\nusemtl stone\nf 1 2 3 4\n",
         {at(13, "object 3 (crowd01): Texture stone not in ravfile. Keeping its texture")},
         {f1234, f1234, f1234}, "crw1 crw0 crw1"},
        {"groups only, CR LF", "g 3_crowd01\r\nv 1 11 21\r\nv 2 12 22\r\nv 3 13 23\r\nv 4 14 24\r\n"
         "f 1 2 3 4\r\ng 0_pitch\r\nf 4 3 2 1\r\n", {}, {Corners{1, 2, 3, 4}, none, f1234}},
        {"a modelling tool's style", "# Blender 4.1\nmtllib scene.mtl\no 2_crowd_a.001\n"
         "v 1.000000 11.000000 21.000000\nv 2.000000 12.000000 22.000000\n" + Vs(3, 4) +
         "vn -0.0000 1.0000 -0.0000\nvt 0.000000 0.000000\ns 0\nusemtl crw1\nf 1/1/1 2/1/1 \\\n"
         "3/1/1 4/1/1\no 3_crowd01\n" + Vs(5, 8) + "vt 0 0\nusemtl crw1\nf 5/1/1 6/1/1 7/1/1 8/1/1\n"
         "g ignored\n", {}, {none, f1234, f5678}, "grs0 crw1 crw1"},
        {"not OBJ", "Dear diary,\n", {exchange + " is not a Wavefront OBJ file"}, {}, "", false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto quad = [](float x, std::vector<RavBuilder::Uv> uvs,
                             std::vector<RavBuilder::Colour> colours, std::int32_t texture) {
            return RavBuilder::Object{.vertices = {{x, 1, 1}, {x, 2, 2}, {x, 3, 3}, {x, 4, 4}},
                                      .uvs = std::move(uvs),
                                      .colours = std::move(colours),
                                      .textureRecords = {RavBuilder::Record(texture, {})}};
        };
        RavBuilder scene{.textures = {"grs0", "crw0", "crw1"},
                         .objects = {quad(10, {{}, {}, {}, {}}, {{}, {}, {}, {}}, 0),
                                     {.vertices = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
                                     quad(20, {{}, {}, {}, {}}, {{}, {}, {}, {}}, 1),
                                     quad(30, {}, {}, 2)}};
        scene.objects[0].name = "pitch", scene.objects[2].name = "crowd a",
        scene.objects[3].name = "crowd01";
        LoadScene(scene);
        EXPECT_EQ(Import(c.file), c.result);
        Messages want;
        std::ranges::for_each(c.messages,
                              [&](const std::string& text) { want.emplace_back(text, 1); });
        EXPECT_EQ(messages, want);
        std::string textures;
        for (std::size_t i = 0; i < 3; ++i) {
            const RavObject& object = *rav.GetObject(std::array{0, 2, 3}[i]);
            for (std::size_t k = 0; k < 4; ++k) {
                const int v = c.corners[i][k];
                const RavVertex& at = object.vertices[k];
                const RavBuilder::Vertex& was = scene.objects[std::array{0, 2, 3}[i]].vertices[k];
                EXPECT_EQ((Xyz{at.x, at.y, at.z}), (v == 0 ? Xyz{was.x, was.y, was.z}
                                                           : Xyz{1.0f * v, 10.0f + v, -20.0f - v}))
                    << i << " " << k;
            }
            textures += (i == 0 ? "" : " ") +
                        std::string(rav.GetTextureName(object.textureRecords[0].textureRef));
        }
        EXPECT_EQ(textures, c.result ? c.textures : "grs0 crw0 crw1");
    }
}

// Images go beside the files under safe names, never two alike; a texture
// the archive lacks is reported. A file that cannot be written takes the
// ones written before it away.
TEST_F(ObjTest, ExportWritesTheTexturesImages) {
    const std::vector<std::uint8_t> red{0, 0, 255, 255}, blue{255, 0, 0, 128};
    dir.Write("crowd.fsh", MakeFshArchive({{MakeFshTag("a b"), MakeFshImage32(1, 1, red)},
                                           {MakeFshTag("A_b"), MakeFshImage32(1, 1, blue)}},
                                          MakeFshTag("GIMX")));
    LoadScene({.textures = {"../../x", "a b", "A_b"},
               .objects = {Quad("p", {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, 0),
                           Quad("q", {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, 1),
                           Quad("r", {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, 2)}});
    ASSERT_EQ(filter.ApplyOptions({{"--fsh", dir.File("crowd.fsh")}}), std::nullopt);
    exchange = dir.File("scene.obj");
    const std::string written = Export();
    EXPECT_NE(ReadText(dir.File("scene.mtl"))
                  .find("map_Kd -s 1 -1 1 ______x.png\n\nnewmtl a b\n"
                        "Kd 1 1 1\nmap_Kd -s 1 -1 1 a_b.png\n\nnewmtl A_b\n"
                        "Kd 1 1 1\nmap_Kd -s 1 -1 1 A_b_2.png\n"),
              std::string::npos);
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(EncodePng(1, 1, std::vector<std::uint8_t>{255, 0, 0, 255}, png));
    EXPECT_EQ(ReadBytes(dir.File("a_b.png")), png);
    ASSERT_TRUE(EncodePng(1, 1, std::vector<std::uint8_t>{0, 0, 255, 128}, png));
    EXPECT_EQ(ReadBytes(dir.File("A_b_2.png")), png);
    EXPECT_EQ(messages,
              (Messages{{"Warning! Texture a b: its name holds white space, control bytes "
                         "or bytes that are not UTF-8, which modelling tools may change; "
                         "the import matches texture names exactly",
                         1},
                        {"Warning! Texture ../../x is not an image of " + dir.File("crowd.fsh") +
                             "; " + dir.File("______x.png") + " not written",
                         1},
                        {"Written " + dir.File("a_b.png"), 0},
                        {"Written " + dir.File("A_b_2.png"), 0}}));

    std::filesystem::remove(exchange);
    std::filesystem::create_directory(exchange);
    EXPECT_FALSE(filter.Export(exchange, &rav));
    EXPECT_FALSE(std::filesystem::exists(dir.File("scene.mtl")) ||
                 std::filesystem::exists(dir.File("a_b.png")));
}

} // namespace
