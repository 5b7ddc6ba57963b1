#include "filters/LightwaveTestSupport.h"

namespace {

std::vector<std::uint8_t> Golden(const std::string& name) {
    return ReadBytes(std::string(POLYPORT_TEST_DATA) + "/lwo/" + name);
}

// Only four-vertex objects with a coordinate other than 0 are written, each
// corner shared with the first equal point; the files are checked against
// goldens composed from the layout alone.
TEST_F(LightwaveFilterTest, ExportWritesTheLayoutByteForByte) {
    const std::pair<RavBuilder, std::string> cases[] = {{TwoRectangles(), "two-rectangles.lwo"},
                                                        {{}, "empty.lwo"}};
    for (const auto& [scene, golden] : cases) {
        LoadScene(scene);
        EXPECT_TRUE(filter.Export(lwoPath, &rav)) << golden;
        EXPECT_EQ(ReadBytes(lwoPath), Golden(golden)) << golden;
    }

    // One coordinate other than 0, even in the last corner, is enough; the
    // other three corners share a point.
    LoadScene({.objects = {{.vertices = {{}, {}, {}, {0, 0, -1e-30f}}}}});
    EXPECT_TRUE(filter.Export(lwoPath, &rav));
    const std::vector<std::uint8_t> bytes = ReadBytes(lwoPath);
    ASSERT_EQ(bytes.size(), 192U + 2 * 12 + 12);
    EXPECT_EQ(std::vector(bytes.begin() + 80, bytes.begin() + 92),
              (std::vector<std::uint8_t>{0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(messages, Messages{});
}

// Indices are 16 bits: 65536 distinct points are written (the last index
// FF FF); one more is refused before the file is touched.
TEST_F(LightwaveFilterTest, ExportRefusesMorePointsThanIndicesReach) {
    RavBuilder scene;
    for (int i = 0; i < 16384; ++i) {
        const float x = static_cast<float>(i + 1);
        scene.objects.push_back({.vertices = {{x, 0, 0}, {x, 1, 0}, {x, 2, 0}, {x, 3, 0}}});
    }
    LoadScene(scene);
    ASSERT_TRUE(filter.Export(lwoPath, &rav));
    const std::vector<std::uint8_t> written = ReadBytes(lwoPath);
    ASSERT_EQ(written.size(), 192U + 12 * 65536 + 12 * 16384);
    const std::size_t lastQuad = 56 + 12 * 65536 + 12 * 16383;
    EXPECT_EQ(
        std::vector(written.begin() + lastQuad, written.begin() + lastQuad + 12),
        (std::vector<std::uint8_t>{0, 4, 0xFF, 0xFC, 0xFF, 0xFD, 0xFF, 0xFE, 0xFF, 0xFF, 0, 1}));

    scene.objects.push_back({.vertices = {{1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 4, 0}}});
    LoadScene(scene);
    EXPECT_FALSE(filter.Export(lwoPath, &rav));
    EXPECT_EQ(messages, (Messages{{"Error! The objects have more than 65536 distinct corner "
                                   "points, more than a Lightwave object file can index. Nothing "
                                   "written to " +
                                       lwoPath,
                                   1}}));
    EXPECT_EQ(ReadBytes(lwoPath), written);
}

} // namespace
