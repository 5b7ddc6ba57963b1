#include "cli/CliRun.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/ImageMagick.h"

#include <filesystem>
#include <sstream>

namespace {

// The width and height a PNG file's header states.
std::pair<std::uint32_t, std::uint32_t> PngSize(const std::string& path) {
    if (!std::filesystem::exists(path)) {
        return {0, 0};
    }
    const std::vector<std::uint8_t> png = ReadBytes(path);
    auto word = [&png](std::size_t at) {
        return png.size() < at + 4 ? 0u
                                   : std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 |
                                         std::uint32_t(png[at + 2]) << 8 | png[at + 3];
    };
    return {word(16), word(20)};
}

TEST(PictureCommands, RenderWritesThePictureOfTheSizeAskedFor) {
    TempDir dir;
    const std::string rav = dir.Write("scene.rav", SampleScene().Build().image.Bytes());
    const std::string png = dir.File("scene.png");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::uint32_t side; // of the picture written, 0 for none
    } rows[] = {
        {{"render", rav, png, "--size", "64", "--view", "front"}, 0,
         "Written " + png + " (64 x 64, front view)\n", "", 64},
        {{"render", rav, png}, 0, "Written " + png + " (1024 x 1024, top view)\n", "", 1024},
        {{"render", rav, png, "--size", "15"}, 2, "",
         "--size: Value 15 not in range 16 to 8192\nRun with --help for more information.\n", 0},
        {{"render", rav, png, "--view", "side"}, 2, "",
         "--view: side not in {top,front}\nRun with --help for more information.\n", 0},
        {{"render", dir.File("none.rav"), png}, 1, "",
         "Error opening " + dir.File("none.rav") + "\nReason: No such file or directory\n", 0},
        {{"render", rav, dir.File("no/folder.png")}, 1, "",
         "Error opening " + dir.File("no/folder.png") + " for writing\nReason: No such file or directory\n", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back());
        std::filesystem::remove(png);
        EXPECT_EQ(Cli(row.args), std::tuple(row.status, row.out, row.err));
        EXPECT_EQ(PngSize(png), std::pair(row.side, row.side));
    }
}

// Each page PNG holds every image of its page at its place in the layout,
// and nothing elsewhere.
TEST(PictureCommands, TplPicturesMatchTheLayout) {
    TempDir dir;
    // Images of sizes that fill more than one page, each of its own colour.
    const std::uint16_t sides[][2] = {{256, 128}, {128, 128}, {256, 256}, {64, 32}, {200, 8}};
    std::vector<FshNamedImage> images;
    for (std::size_t i = 0; i < std::size(sides); ++i) {
        const auto [w, h] = sides[i];
        std::vector<std::uint8_t> bgra;
        for (int p = 0; p < w * h; ++p) {
            bgra.insert(bgra.end(), {std::uint8_t(40 * i), std::uint8_t(p), 200, 255});
        }
        images.emplace_back(MakeFshTag(Format("im%02zu", i)), MakeFshImage32(w, h, bgra));
    }
    const std::string fsh = dir.Write("crowd.fsh", MakeFshArchive(images, MakeFshTag("GIMX")));
    ASSERT_EQ(std::get<0>(Cli({"tpl", fsh, "--select-all", "--pictures"})), 0);

    // The expected pages, from the layout text and the images' own pixels.
    std::vector<std::vector<std::uint8_t>> pages;
    std::istringstream layout(ReadText(dir.File("crowd.tpl")));
    std::size_t image = 0;
    int u = 0;
    for (std::string line; std::getline(layout, line);) {
        if (line.starts_with(" TPAGE")) {
            pages.emplace_back(256 * 256 * 4, 0);
        } else if (line.starts_with("   NAME=im")) {
            image = std::stoul(line.substr(10));
        } else if (line.starts_with("   UOFFSET=")) {
            u = std::stoi(line.substr(11));
        } else if (line.starts_with("   VOFFSET=")) {
            const int v = std::stoi(line.substr(11));
            const auto [w, h] = sides[image];
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    std::uint8_t* at = pages.back().data() + ((v + y) * 256 + u + x) * 4;
                    const std::uint8_t rgba[] = {200, std::uint8_t(y * w + x), std::uint8_t(40 * image), 255};
                    std::copy(std::begin(rgba), std::end(rgba), at);
                }
            }
        }
    }
    ASSERT_EQ(pages.size(), 3u);
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const std::string png = dir.File(Format("crowd-page%zu.png", page));
        EXPECT_EQ(PngSize(png), std::pair(256u, 256u));
        if (ImageMagickAvailable()) {
            EXPECT_EQ(ReadWithImageMagick(png), pages[page]) << png;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("crowd-page3.png")));
}

} // namespace
