#include "cli/CliRun.h"
#include "gamefiles/RavTestSupport.h"
#include "support/FshBuilder.h"

#include <filesystem>
#include <optional>

namespace {

constexpr const char* kQuestion =
    "Warning! This option creates a new FSH name order in the ravfile. All texture associations "
    "may become invalid (wrong textures). Continue? [y/N] ";

// "@" stands for the RAV path, "#" for the archive's.
class ToolCommandsTest : public ::testing::Test {
protected:
    std::string Fill(std::string text) const {
        for (const auto& [mark, path] : {std::pair{'@', rav}, {'#', fsh}}) {
            for (std::size_t at; (at = text.find(mark)) != std::string::npos;) {
                text.replace(at, 1, path);
            }
        }
        return text;
    }

    // Runs `args` on fresh files; returns the status.
    int Run(const std::vector<std::string>& args, const std::string& out, const std::string& err,
            const std::optional<std::string>& typed = std::nullopt) {
        dir.Write("scene.rav", scene);
        std::filesystem::remove(tpl);
        std::vector<std::string> filled;
        for (const std::string& arg : args) {
            filled.push_back(Fill(arg));
        }
        std::vector<const char*> argv;
        for (const std::string& arg : filled) {
            argv.push_back(arg.c_str());
        }
        const auto [status, printed, errors] = Cli(argv, typed);
        EXPECT_EQ(printed, Fill(out));
        EXPECT_EQ(errors, Fill(err));
        return status;
    }

    TempDir dir;
    const std::vector<std::uint8_t> scene = SampleScene().Build().image.Bytes();
    const std::string rav = dir.Write("scene.rav", scene);
    // Image 1 is called "4"; two are called "dup".
    const std::string fsh = dir.Write("crowd.fsh", [] {
        std::vector<FshNamedImage> images;
        for (const char* name : {"im00", "4", "dup", "dup", "im04"}) {
            images.emplace_back(MakeFshTag(name), FshImage{.width = 8, .height = 8, .pixels = {}});
        }
        return MakeFshArchive(images, MakeFshTag("G264"));
    }());
    const std::string tpl = dir.File("crowd.tpl");
};

// Numbers are taken whole, negative ones included; the first vertex of the
// scene is (10, -5, 3).
TEST_F(ToolCommandsTest, RavToolsPrintTheLogLines) {
    const std::string written = "Successfully written 3 objects\n";
    const std::string range = "Valid Shade % is between 0 and 100, type -1 for reset the shades\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::optional<RavVertex> first; // none: the file is unchanged
    } cases[] = {
        {{"move", "@", "1", "-2", "-10"},
         0,
         "Moving all vertexes in @\n" + written,
         "",
         RavVertex{11, -7, -7}},
        {{"scale", "@", "-1", "2.5", "0x10"},
         0,
         "Scaling all vertexes in @\n" + written,
         "",
         RavVertex{-10, -12.5f, 48}},
        {{"move", "@", "--", "-.5", "0", "0"},
         0,
         "Moving all vertexes in @\n" + written,
         "",
         RavVertex{9.5f, -5, 3}},
        {{"normalize", "@"},
         0,
         "Normalizing G2 ravfile\nWarning! Object 0 is not a G2 Object. Skipping\n" + written,
         "",
         RavVertex{10, -5, 3}},
        {{"shade", "@", "-1"}, 0, "Successfully restored 3 G2 objects\n", "", RavVertex{10, -5, 3}},
        {{"shade", "@", "-10"}, 1, "", range, std::nullopt},
        {{"shade", "@", "100.5"}, 1, "", range, std::nullopt},
        {{"move", "@", "1.5abc", "0", "0"},
         2,
         "",
         "X needs a number, not '1.5abc'\n",
         std::nullopt},
        {{"scale", "@", "1", "2", " 3"}, 2, "", "Z needs a number, not ' 3'\n", std::nullopt},
        {{"shade", "@", "12%"}, 2, "", "PERCENT needs a number, not '12%'\n", std::nullopt},
        {{"shade", "@", ""}, 2, "", "PERCENT needs a number, not ''\n", std::nullopt},
        {{"normalize", "@x"}, 1, "", "Error opening @x\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(Run(c.args, c.out, c.err), c.status);
        if (!c.first) {
            EXPECT_EQ(ReadBytes(rav), scene);
            continue;
        }
        CRavFile after;
        ASSERT_TRUE(after.Load(rav));
        const RavVertex& v = after.GetObject(0)->vertices[0];
        EXPECT_EQ((std::array{v.x, v.y, v.z}), (std::array{c.first->x, c.first->y, c.first->z}));
    }
    // Missing numbers are the parser's to explain.
    EXPECT_EQ(std::get<0>(Cli({"move", rav.c_str(), "1", "2"})), 2);
    EXPECT_EQ(std::get<0>(Cli({"shade", rav.c_str()})), 2);
}

// The dialog's label is printed before the tools' lines. Names select every
// image so called and win over indices; anything the archive does not hold,
// or more images than may be chosen, is refused before anything is written.
TEST_F(ToolCommandsTest, FshToolsChooseImagesFromTheArguments) {
    const std::string tplLines = "Generating TPages...\n1 TPages required...writing file\n";
    const std::string namesWritten = "Succefully written texture data\n";
    const struct {
        std::vector<std::string> args;
        std::optional<std::string> typed;
        int status;
        std::string out, err;
        std::optional<std::vector<std::string>> textures; // none: the RAV file is unchanged
        std::optional<std::string> slots;                 // the layout's names; none: no layout
    } cases[] = {
        {{"tpl", "#"},
         {},
         0,
         "5 images of 5 selected for tpl creation\n" + tplLines,
         "",
         {},
         "im00 4 dup dup im04"},
        {{"tpl", "#", "--select", "im04,0,dup"},
         {},
         0,
         "4 images of 5 selected for tpl creation\n" + tplLines,
         "",
         {},
         "im00 dup dup im04"},
        {{"tpl", "#", "--select-none"},
         {},
         0,
         "0 images of 5 selected for tpl creation\n" + tplLines,
         "",
         {},
         ""},
        {{"tpl", "#", "--select", "nope"},
         {},
         2,
         "",
         "--select: the archive holds no image named 'nope'\n",
         {},
         {}},
        {{"tpl", "#", "--select", "5"},
         {},
         2,
         "",
         "--select: there is no image 5; the archive holds 5 images, numbered from 0\n",
         {},
         {}},
        {{"tpl", "#", "--select", "0,,1"},
         {},
         2,
         "",
         "--select needs image names or indices separated by commas, not '0,,1'\n",
         {},
         {}},
        {{"fsh-names", "@", "#", "--yes"},
         {},
         0,
         "2 images of 2 selected for import\n" + namesWritten,
         "",
         std::vector<std::string>{"im00", "4"},
         {}},
        {{"fsh-names", "@", "#", "--yes", "--select", "4"},
         {},
         0,
         "1 images of 2 selected for import\n" + namesWritten,
         "",
         std::vector<std::string>{"4", "NULL"},
         {}},
        {{"fsh-names", "@", "#", "--select", "dup"},
         "y\n",
         0,
         "2 images of 2 selected for import\n" + namesWritten,
         kQuestion,
         std::vector<std::string>{"dup", "dup"},
         {}},
        {{"fsh-names", "@", "#", "--select-none"},
         " YES \n",
         0,
         "0 images of 2 selected for import\n" + namesWritten,
         kQuestion,
         std::vector<std::string>{"NULL", "NULL"},
         {}},
        {{"fsh-names", "@", "#"},
         "n\n",
         1,
         "",
         std::string(kQuestion) + "Answered No: nothing was changed\n",
         {},
         {}},
        {{"fsh-names", "@", "#"},
         "",
         1,
         "",
         std::string(kQuestion) + "Answered No: nothing was changed\n",
         {},
         {}},
        {{"fsh-names", "@", "#"},
         {},
         2,
         "",
         "fsh-names rewrites the RAV file's texture names, which may leave objects with the "
         "wrong textures; run it on a terminal to be asked, or pass --yes\n",
         {},
         {}},
        {{"fsh-names", "@", "#", "--yes", "--select-all"},
         {},
         2,
         "",
         "--select-all chooses 5 images, but at most 2 may be chosen\n",
         {},
         {}},
        {{"fsh-names", "@", "#", "--yes", "--select", "dup,0"},
         {},
         2,
         "",
         "--select chooses 3 images, but at most 2 may be chosen\n",
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(Run(c.args, c.out, c.err, c.typed), c.status);
        if (c.textures) {
            CRavFile after;
            ASSERT_TRUE(after.Load(rav));
            EXPECT_EQ(
                (std::vector<std::string>{after.GetTexture(0)->name, after.GetTexture(1)->name}),
                *c.textures);
        } else {
            EXPECT_EQ(ReadBytes(rav), scene);
        }
        ASSERT_EQ(std::filesystem::exists(tpl), c.slots.has_value());
        if (c.slots) {
            std::string names;
            const std::string text = ReadText(tpl);
            for (std::size_t at = 0; (at = text.find("NAME=", at)) != std::string::npos;) {
                at += 5;
                names += (names.empty() ? "" : " ") + text.substr(at, text.find('\r', at) - at);
            }
            EXPECT_EQ(names, *c.slots);
        }
    }
    EXPECT_EQ(std::get<0>(Cli({"tpl", fsh.c_str(), "--select-all", "--select-none"})), 2);
}

} // namespace
