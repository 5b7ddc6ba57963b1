#include "filters/AsciiTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// Objects with random coordinates (0, or of a size that 32 decimals hold
// exactly), fewer uvs and colours than vertices, random orders, and an
// object of another kind; names without white space, texture names distinct.
RavBuilder RandomScene(unsigned seed) {
    std::mt19937 random(seed);
    const auto coordinate = [&] {
        if (random() % 5 == 0) {
            return 0.0f;
        }
        const float magnitude = std::ldexp(1.0f, static_cast<int>(random() % 30) - 10);
        return std::uniform_real_distribution<float>(-magnitude, magnitude)(random);
    };
    RavBuilder scene{.textures = {"grass01", "Stand_A", "roof"}};
    for (int i = 0; i < 12; ++i) {
        RavBuilder::Object object{.name = "obj_" + std::to_string(i), .kind = i == 5 ? 4 : 1};
        const int vertices = static_cast<int>(random() % 7);
        for (int k = 0; k < vertices; ++k) {
            object.vertices.push_back({coordinate(), coordinate(), coordinate()});
            if (k % 3 != 2) {
                object.uvs.push_back({coordinate(), coordinate()});
            }
            if (k % 2 == 0) {
                object.colours.push_back({static_cast<std::uint8_t>(random()),
                                          static_cast<std::uint8_t>(random()),
                                          static_cast<std::uint8_t>(random()), 0x5A});
            }
        }
        for (int t = static_cast<int>(random() % 3); t > 0; --t) {
            std::vector<std::uint16_t> orders(random() % 5);
            for (std::uint16_t& entry : orders) {
                entry = static_cast<std::uint16_t>(random());
            }
            object.textureRecords.push_back(
                RavBuilder::Record(static_cast<std::int32_t>(random() % 3), orders));
        }
        scene.objects.push_back(object);
    }
    return scene;
}

// Overwrites every value that a text in `mode` carries.
void Scramble(CRavFile& rav, std::uint32_t mode) {
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        RavObject& object = *rav.GetObject(i);
        object.name = "x";
        for (RavObjectTexture& record : object.textureRecords) {
            record.textureRef = rav.GetTexture(0)->textureRef;
        }
        for (RavVertex& v : object.vertices) {
            v = (mode & ExportVertexes) != 0 ? RavVertex{7, 7, 7} : v;
        }
        for (RavUv& uv : object.uvs) {
            uv = (mode & ExportPlacements) != 0 ? RavUv{7, 7} : uv;
        }
        for (RavColour& colour : object.colours) {
            colour = (mode & ExportShading) != 0 ? RavColour{7, 7, 7, colour[3]} : colour;
        }
        for (auto& orders : object.orders) {
            if ((mode & ExportOrder) != 0) {
                std::fill(orders.begin(), orders.end(), 7);
            }
        }
    }
}

// Export followed by import puts every value back: in every mode at 32
// decimals the saved file equals a plain load and save of the original,
// even when the model the text is read into held other values.
TEST_F(AsciiFilterTest, ExportThenImportRestoresEveryModeExactly) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        LoadScene(RandomScene(seed));
        ASSERT_TRUE(rav.Save());
        const std::vector<std::uint8_t> saved = ReadBytes(ravPath);
        for (std::uint32_t mode = 0; mode < 32; ++mode) {
            ASSERT_TRUE(rav.Load(ravPath));
            const std::string text = Export(mode, 32);
            Scramble(rav, mode);
            EXPECT_TRUE(Import(text));
            ASSERT_TRUE(rav.Save());
            EXPECT_EQ(ReadBytes(ravPath), saved) << "seed " << seed << " mode " << mode;
            dir.Write("scene.rav", saved);
        }
    }
    EXPECT_EQ(messages, Messages{});
}

// At 6 decimals each number comes back as its 6-decimal rounding, read as a
// float; nothing else changes.
TEST_F(AsciiFilterTest, ExportThenImportRoundsToTheDecimalsOnly) {
    LoadScene(RandomScene(7));
    const auto rounded = [](float value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
        return std::strtof(text, nullptr);
    };
    const std::string text = Export(31, 6);
    std::vector<RavObject> expected;
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        expected.push_back(*rav.GetObject(i));
        for (RavVertex& v : expected.back().vertices) {
            v = {rounded(v.x), rounded(v.y), rounded(v.z)};
        }
        for (RavUv& uv : expected.back().uvs) {
            uv = {rounded(uv.u), rounded(uv.v)};
        }
    }
    Scramble(rav, 31);
    EXPECT_TRUE(Import(text));
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        const RavObject& got = *rav.GetObject(i);
        const RavObject& want = expected[static_cast<std::size_t>(i)];
        EXPECT_EQ(got.name, want.name);
        for (std::size_t k = 0; k < got.vertices.size(); ++k) {
            EXPECT_EQ(got.vertices[k].x, want.vertices[k].x) << got.name << " vertex " << k;
            EXPECT_EQ(got.vertices[k].y, want.vertices[k].y) << got.name << " vertex " << k;
            EXPECT_EQ(got.vertices[k].z, want.vertices[k].z) << got.name << " vertex " << k;
        }
        for (std::size_t k = 0; k < got.uvs.size(); ++k) {
            EXPECT_EQ(got.uvs[k].u, want.uvs[k].u) << got.name << " uv " << k;
            EXPECT_EQ(got.uvs[k].v, want.uvs[k].v) << got.name << " uv " << k;
        }
        EXPECT_EQ(got.colours, want.colours);
        EXPECT_EQ(got.orders, want.orders);
    }
    EXPECT_EQ(messages, Messages{});
}

} // namespace
