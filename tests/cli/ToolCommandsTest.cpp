#include "cli/CliRun.h"
#include "gamefiles/RavTestSupport.h"
#include "support/FshBuilder.h"

#include <filesystem>
#include <optional>

namespace {

using Strings = std::vector<std::string>;

// Each row runs on fresh files; in the arguments and the expected output "@"
// stands for the RAV path and "#" for the archive's. The scene's first
// vertex is (10, -5, 3); its two textures are grass01 and Stand_A. Image 1
// of the archive is called "4", images 2 and 3 "dup".
class ToolCommandsTest : public ::testing::Test {
protected:
    struct Row {
        Strings args;
        std::optional<std::string> typed; // on a terminal
        int status;
        std::string out, err;
    };

    void Run(const Row& row) {
        dir.Write("scene.rav", scene);
        std::filesystem::remove(tpl);
        EXPECT_EQ(
            CliMarked(row.args, rav, fsh, row.typed),
            std::tuple(row.status, FillPaths(row.out, rav, fsh), FillPaths(row.err, rav, fsh)));
    }

    TempDir dir;
    const std::vector<std::uint8_t> scene = SampleScene().Build().image.Bytes();
    const std::string rav = dir.Write("scene.rav", scene);
    const std::string fsh =
        dir.Write("crowd.fsh", MakeFshOfSizes({{"im00"}, {"4"}, {"dup"}, {"dup"}, {"im04"}}));
    const std::string tpl = dir.File("crowd.tpl");
};

// Numbers are taken whole, negative ones included; one the parser takes for
// an option is explained.
TEST_F(ToolCommandsTest, RavToolsTakeTheirNumbers) {
    const std::string range = "Valid Shade % is between 0 and 100, type -1 for reset the shades\n";
    // clang-format off
    const std::pair<Row, std::optional<float>> cases[] = { // the first x; none: file unchanged
        {{{"move", "@", "-1", "-2", "-10"}, {}, 0,
          "Moving all vertexes in @\nSuccessfully written 3 objects\n", ""}, 9},
        {{{"scale", "@", "--", "-.5", "0", "0"}, {}, 0,
          "Scaling all vertexes in @\nSuccessfully written 3 objects\n", ""}, -5},
        {{{"shade", "@", "-1"}, {}, 0, "Successfully restored 3 G2 objects\n", ""}, 10},
        {{{"shade", "@", "-10"}, {}, 1, "", range}, {}},
        {{{"move", "@", "1.5abc", "0", "0"}, {}, 2, "", "X needs a number, not '1.5abc'\n"}, {}},
        {{{"scale", "@", "1", "2", " 3"}, {}, 2, "", "Z needs a number, not ' 3'\n"}, {}},
        {{{"shade", "@", "12%"}, {}, 2, "", "PERCENT needs a number, not '12%'\n"}, {}},
        {{{"scale", "@", "-.5", "0", "0"}, {}, 2, "",
          "Z is required\nRun with --help for more information.\n"
          "'-.5' was taken for an option: put -- before the numbers\n"}, {}},
        // Neither "-1" nor what follows "--" is taken for an option.
        {{{"move", "@", "-1", "--", "-.5"}, {}, 2, "",
          "Z is required\nRun with --help for more information.\n"}, {}},
    };
    // clang-format on
    for (const auto& [row, x] : cases) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        Run(row);
        CRavFile after;
        ASSERT_TRUE(after.Load(rav));
        EXPECT_EQ(after.GetObject(0)->vertices[0].x, x.value_or(10));
        EXPECT_EQ(ReadBytes(rav) == scene, !x.has_value());
    }
}

// The dialog's count label comes first. Names select every image so called
// and win over indices; anything the archive does not hold, or more images
// than may be chosen, is refused before anything is written.
TEST_F(ToolCommandsTest, FshToolsChooseImagesFromTheArguments) {
    const std::string tplDone = "Generating TPages...\n1 TPages required...writing file\n";
    const std::string namesDone = "Succefully written texture data\n";
    const std::string question =
        "Warning! This option creates a new FSH name order in the ravfile. All texture "
        "associations may become invalid (wrong textures). Continue? [y/N] ";
    const std::string no = question + "Answered No: nothing was changed\n";
    const Strings kept{"grass01", "Stand_A"};
    // clang-format off
    const std::tuple<Row, Strings, std::optional<std::string>> cases[] = { // textures, layout names
        {{{"tpl", "#"}, {}, 0, "5 images of 5 selected for tpl creation\n" + tplDone, ""},
         kept, "im00 4 dup dup im04"},
        {{{"tpl", "#", "--select", "im04,0,dup"}, {}, 0,
          "4 images of 5 selected for tpl creation\n" + tplDone, ""}, kept, "im00 dup dup im04"},
        {{{"tpl", "#", "--select", "nope"}, {}, 2, "",
          "--select: the archive holds no image named 'nope'\n"}, kept, {}},
        {{{"tpl", "#", "--select", "5"}, {}, 2, "",
          "--select: there is no image 5; the archive holds 5 images, numbered from 0\n"},
         kept, {}},
        {{{"tpl", "#", "--select", "0,,1"}, {}, 2, "",
          "--select needs image names or indices separated by commas, not '0,,1'\n"}, kept, {}},
        {{{"fsh-names", "@", "#", "--yes", "--select", "4"}, {}, 0,
          "1 images of 2 selected for import\n" + namesDone, ""}, {"4", "NULL"}, {}},
        {{{"fsh-names", "@", "#", "--select", "dup"}, " YES \n", 0,
          "2 images of 2 selected for import\n" + namesDone, question}, {"dup", "dup"}, {}},
        {{{"fsh-names", "@", "#"}, "n\n", 1, "", no}, kept, {}},
        {{{"fsh-names", "@", "#"}, {}, 2, "",
          "fsh-names rewrites the RAV file's texture names, which may leave objects with the "
          "wrong textures; run it on a terminal to be asked, or pass --yes\n"}, kept, {}},
        {{{"fsh-names", "@", "#", "--yes", "--select-all"}, {}, 2, "",
          "--select-all chooses 5 images, but at most 2 may be chosen\n"}, kept, {}},
    };
    // clang-format on
    for (const auto& [row, textures, slots] : cases) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        Run(row);
        CRavFile after;
        ASSERT_TRUE(after.Load(rav));
        EXPECT_EQ((Strings{after.GetTexture(0)->name, after.GetTexture(1)->name}), textures);
        ASSERT_EQ(std::filesystem::exists(tpl), slots.has_value());
        std::string names;
        const std::string text = slots ? ReadText(tpl) : "";
        for (std::size_t at = 0; (at = text.find("NAME=", at)) != std::string::npos;) {
            at += 5;
            names += (names.empty() ? "" : " ") + text.substr(at, text.find('\r', at) - at);
        }
        EXPECT_EQ(names, slots.value_or(""));
    }
}

} // namespace
