#include "gamefiles/PngWriter.h"
#include "support/ImageMagick.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Another reader gets back every byte, transparent pixels' colours included,
// through rows that favour each filter.
TEST(PngWriterTest, ImageMagickReadsBackThePixels) {
    std::mt19937 random(11);
    Bytes noisy(64 * 17 * 4);
    for (std::size_t i = 0; i < noisy.size(); ++i) {
        // Smooth rows, noisy rows and flat rows.
        const std::size_t row = i / (64 * 4);
        noisy[i] = static_cast<std::uint8_t>(row % 3 == 0 ? random() : row % 3 == 1 ? i / 4 : 9);
    }
    // clang-format off
    const std::tuple<const char*, std::uint32_t, std::uint32_t, Bytes> cases[] = {
        {"one pixel", 1, 1, {0x10, 0x80, 0xF0, 0x00}},
        {"3 x 2", 3, 2, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 1,
                         1, 2, 3, 4, 200, 100, 50, 0, 9, 9, 9, 255}},
        // Grey, filtered with Paeth, whose last pixel is equally near above
        // and above left: above wins.
        {"Paeth's tie", 3, 2, {17, 17, 17, 17, 11, 11, 11, 11, 13, 13, 13, 13,
                               20, 20, 20, 20, 33, 33, 33, 33, 36, 36, 36, 36}},
        {"64 x 17", 64, 17, noisy},
    };
    // clang-format on
    const bool haveReader = ImageMagickAvailable();
    TempDir dir;
    for (const auto& [label, width, height, rgba] : cases) {
        Bytes png;
        ASSERT_TRUE(EncodePng(width, height, rgba, png)) << label;
        if (haveReader) {
            EXPECT_EQ(ReadWithImageMagick(dir.Write("image.png", png)), rgba) << label;
        }
    }
}

TEST(PngWriterTest, RefusesSizesThatDoNotMatchThePixels) {
    // clang-format off
    const std::tuple<const char*, std::uint32_t, std::uint32_t, std::size_t> cases[] = {
        {"no width", 0, 1, 0},
        {"pixel missing", 2, 2, 12},
        {"pixel too many", 2, 2, 20},
        {"side too large", 0x80000000u, 1, 0},
    };
    // clang-format on
    for (const auto& [label, width, height, size] : cases) {
        Bytes png = {1};
        EXPECT_FALSE(EncodePng(width, height, Bytes(size), png)) << label;
        EXPECT_TRUE(png.empty()) << label;
    }
}

} // namespace
