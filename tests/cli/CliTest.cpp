#include "cli/CliRun.h"
#include "gamefiles/RavTestSupport.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/RefPackEncoder.h"
#include "output/Format.h"
#include "support/FshBuilder.h"
#include "support/ImageMagick.h"

#include <filesystem>
#include <optional>

namespace {

using Strings = std::vector<std::string>;

// Each row runs on fresh files; in the arguments and the expected output "@"
// stands for the RAV path and "#" for the archive's. The scene's first
// vertex is (10, -5, 3), the v of object 2's second uv is 1; its two textures
// are grass01 and Stand_A. The archive is RefPack-compressed, which no
// command may notice; its image 1 is called "4", images 2 and 3 "dup".
class CliTest : public ::testing::Test {
protected:
    static constexpr char kUnchanged[] = "10,1 grass01 Stand_A |";
    struct Row {
        Strings args;
        int status;
        std::string out, err;
        // The first x, that v and the texture names on disk, then the layout's names.
        std::string after = kUnchanged;
        std::optional<std::string> typed{}; // on a terminal
    };

    void Run(const Row& row) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        dir.Write("scene.rav", scene);
        std::filesystem::remove(tpl);
        EXPECT_EQ(
            CliMarked(row.args, rav, fsh, row.typed),
            std::tuple(row.status, FillPaths(row.out, rav, fsh), FillPaths(row.err, rav, fsh)));
        CRavFile after;
        ASSERT_TRUE(after.Load(rav));
        std::string state =
            Format("%g,%g %s %s |", after.GetObject(0)->vertices[0].x, after.GetObject(2)->uvs[1].v,
                   after.GetTexture(0)->name.c_str(), after.GetTexture(1)->name.c_str());
        const std::string text = std::filesystem::exists(tpl) ? ReadText(tpl) : "";
        for (std::size_t at = 0; (at = text.find("NAME=", at)) != std::string::npos;) {
            at += 5;
            state += " " + text.substr(at, text.find('\r', at) - at);
        }
        EXPECT_EQ(state, row.after);
        EXPECT_EQ(ReadBytes(rav) == scene, row.after.starts_with(kUnchanged));
    }

    TempDir dir;
    const std::vector<std::uint8_t> scene = SampleScene().Build().image.Bytes();
    const std::string rav = dir.Write("scene.rav", scene);
    const std::string fsh =
        dir.Write("crowd.qfs", PackRefPack(MakeFshOfSizes({{"im00"}, {"4"}, {"dup"}, {"dup"}, {"im04"}})));
    const std::string tpl = dir.File("crowd.tpl");
};

// Usage errors are found before any file is touched, each explained on one
// line of stderr; those the parser finds in its own words.
TEST_F(CliTest, UsageErrorsExitWithTwoAndTouchNothing) {
    // clang-format off
    const Row rows[] = {
        {{"export", "@", "#.bin"}, 2, "",
         "Cannot choose a filter from the extension of '#.bin'; name one with --filter\n"},
        {{"export", "@", "#.txt", "--filter", "xyz"}, 2, "",
         "Unknown filter 'xyz'; use ascii, dw, lwo or obj\n"},
        {{"mvoe", "@", "1", "0", "0"}, 2, "",
         "Unknown command 'mvoe'; did you mean 'move'? (polyport-cli --help lists the commands)\n"},
        {{"move", "@", "1e", "0", "0"}, 2, "", "X needs a number, not '1e'\n"},
        {{"export", "@", "#.dw", "--decimals", "3"}, 2, "",
         "--mode, --decimals and the export flags apply to the ascii filter only\n"},
        {{"export", "@", "#.txt", "--mode", "3", "--vertexes"}, 2, "",
         "--mode cannot be combined with --vertexes, --textures, --placements, --order or "
         "--shading\n"},
        {{"export", "@", "#.txt", "--decimals", "1.5"}, 2, "",
         "--decimals needs a whole number, not '1.5'\n"},
        {{"move", "@", "1.5abc", "0", "0"}, 2, "", "X needs a number, not '1.5abc'\n"},
        {{"scale", "@", "-.5", "0", "0"}, 2, "", "Z is required\nRun with --help for more "
         "information.\n'-.5' was taken for an option: put -- before the numbers\n"},
        {{"tpl", "#", "--select", "5"}, 2, "",
         "--select: there is no image 5; the archive holds 5 images, numbered from 0\n"},
        {{"fsh-names", "@", "#"}, 2, "",
         "fsh-names rewrites the RAV file's texture names, which may leave objects with the "
         "wrong textures; run it on a terminal to be asked, or pass --yes\n"},
        {{"fsh-names", "@", "#", "--yes", "--select-all"}, 2, "",
         "--select-all chooses 5 images, but at most 2 may be chosen\n"},
    };
    // clang-format on
    for (const Row& row : rows) {
        Run(row);
    }
    EXPECT_EQ(std::get<0>(Cli({})), 2);
    EXPECT_EQ(std::get<0>(Cli({"info", "--help"})), 0);
    EXPECT_EQ(Cli({"--version"}), std::tuple(0, "polyport-cli " POLYPORT_VERSION "\n", ""));
}

// Each command prints what the window's log pane would show, split by flag,
// and exits with 1 when it failed; warnings do not fail it. Numbers are taken
// whole, negative ones included. For the FSH tools the dialog's count label
// comes first; names select every image so called and win over indices.
TEST_F(CliTest, CommandsPrintTheLogAndExitWithTheirResult) {
    const std::string written = "Successfully written 3 objects\n";
    const std::string question =
        "Warning! This option creates a new FSH name order in the ravfile. All texture "
        "associations may become invalid (wrong textures). Continue? [y/N] ";
    // Object 0 moved, then a text shorter than it says.
    dir.WriteText("crowd.qfs.TXT", "EXMODE=1\nOBJECTS=5\nObject 0:\nNAME=Pitch\nVERTEXES=3\n"
                                   "7, -5, 3\n-1, 7, 0\n4.5, 0.25, -8\nTEXTURES=1\nNAME=grass01\n");
    // clang-format off
    const Row rows[] = {
        {{"export", "@", "#.lwo", "--filter", "LWO"}, 0, "Successful exported data\n", ""},
        // A strict import refuses what an ordinary one takes with a warning.
        {{"import", "@", "#.TXT", "--strict"}, 1,
         "Successful imported data... updating data\n",
         "Warning! Textfile has 5 Objects but the Ravfile only has 3. Cropping\n"
         "Warning! Textfile has to few lines. Aborting\n"
         "Error! 2 warnings in a strict run: nothing written to @\nError updating data\n"},
        {{"import", "@", "#.TXT"}, 0,
         "Successful imported data... updating data\nSuccessful updated data\n"
         "2 objects changed: 1 vertex moved up to 3 units, 2 bounding boxes\n",
         "Warning! Textfile has 5 Objects but the Ravfile only has 3. Cropping\n"
         "Warning! Textfile has to few lines. Aborting\n", "7,1 grass01 Stand_A |"},
        {{"move", "@", "-1", "-2", "-10"}, 0, "Moving all vertexes in @\n" + written +
         "2 objects changed: 7 vertices moved up to 10.247 units, 2 bounding boxes\n", "",
         "9,1 grass01 Stand_A |"},
        {{"scale", "@", "--", "-.5", "0", "0"}, 0, "Scaling all vertexes in @\n" + written +
         "2 objects changed: 7 vertices moved up to 18.028 units, 2 bounding boxes\n", "",
         "-5,1 grass01 Stand_A |"},
        {{"normalize", "@"}, 0, "Normalizing G2 ravfile\nWarning! Object 0 is not a G2 Object. "
         "Skipping\n" + written + "2 objects changed: 3 texture coordinates, 2 bounding boxes\n",
         "", "10,0 grass01 Stand_A |"},
        {{"shade", "@", "-10"}, 1, "",
         "Valid Shade % is between 0 and 100, type -1 for reset the shades\n"},
        {{"tpl", "#", "--select", "im04,0,dup"}, 0, "4 images of 5 selected for tpl creation\n"
         "Generating TPages...\n1 TPages required...writing file\nTPL layout written to " +
         tpl + "\n", "",
         "10,1 grass01 Stand_A | im00 dup dup im04"},
        {{"fsh-names", "@", "#", "--select", "dup"}, 0,
         "2 images of 2 selected for import\nSuccefully written texture data\n2 textures renamed\n",
         question,
         "10,1 dup dup |", " YES \n"},
    };
    // clang-format on
    for (const Row& row : rows) {
        Run(row);
    }
}

// diff exits as cmp does; a dry run prints the report and writes nothing;
// backups are numbered and never written over, and a backup that cannot be
// written stops the command before the RAV file is touched.
TEST_F(CliTest, DiffDryRunAndBackups) {
    dir.Write("copy.rav", scene);
    // clang-format off
    const Row rows[] = {
        {{"diff", "@", "@"}, 0, "The files are identical\n", ""},
        {{"diff", "@", "#"}, 2, "", "# is not a valid RAV file (or a new format) [Section: Start]\n"},
        {{"move", "@", "1", "0", "0", "--dry-run", "--strict"}, 0, "Moving all vertexes in @\n"
         "Successfully written 3 objects\nObject 0 (Pitch): 3 vertices moved up to 1 units, 1 "
         "bounding box\nObject 2 (Stand): 4 vertices moved up to 1 units, 1 bounding box\n"
         "2 objects changed: 7 vertices moved up to 1 units, 2 bounding boxes\n"
         "Dry run: nothing written to @\n", ""},
        {{"fsh-names", "@", "#", "--dry-run", "--select", "4"}, 0, "1 images of 2 selected for "
         "import\nSuccefully written texture data\nTexture 0: grass01 -> 4\nTexture 1: Stand_A -> "
         "NULL\n2 textures renamed\nDry run: nothing written to @\n", ""},
    };
    // clang-format on
    for (const Row& row : rows) {
        Run(row);
    }
    const std::string copy = dir.File("copy.rav");
    ASSERT_EQ(std::get<0>(Cli({"shade", copy, "-1"})), 0);
    const auto [status, out, err] = Cli({"diff", rav, copy});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(out.ends_with("2 objects changed: 2 bounding boxes\nOnly bytes of the model differ\n"))
        << out;

    Run({{"move", "@", "1", "0", "0", "--backup"}, 0, "Moving all vertexes in @\nBackup of the "
         "previous content written to @.bak\nSuccessfully written 3 objects\n2 objects changed: 7 "
         "vertices moved up to 1 units, 2 bounding boxes\n", "", "11,1 grass01 Stand_A |"});
    EXPECT_EQ(ReadBytes(rav + ".bak"), scene);
    std::filesystem::create_directory(rav + ".bak2");
    const std::vector<std::uint8_t> second = ReadBytes(rav);
    ASSERT_EQ(std::get<0>(Cli({"move", rav, "1", "0", "0", "--backup"})), 0);
    EXPECT_EQ(ReadBytes(rav + ".bak3"), second);
    EXPECT_EQ(ReadBytes(rav + ".bak"), scene);
    // A name one byte too long for the folder once ".bak" is added.
    const std::string longest = dir.Write(std::string(251, 'r') + ".rav", scene);
    EXPECT_EQ(Cli({"move", longest, "1", "0", "0", "--backup"}),
              std::tuple(1, "Moving all vertexes in " + longest + "\n", "Error! The backup " + longest + ".bak could not be written. Nothing "
                         "written to " + longest + "\nReason: File name too long\n"));
    EXPECT_EQ(ReadBytes(longest), scene);
}

// The mode is written as given into EXMODE and decides the vertex line; the
// decimals are clamped to 0..32.
TEST_F(CliTest, ModeAndDecimalsReachTheText) {
    const std::string zeros32(32, '0');
    // clang-format off
    const std::tuple<Strings, std::string, std::string> cases[] = { // after the RAV file
        {{"#2.asc", "--mode", "4294967295", "--decimals", "1"}, "-1", // as scanned back
         "\t\t10.0, -5.0, 3.0, 0.0, 0.0, 000000"},
        {{"#6.bin", "--decimals", "99999999999999999999999", "--mode", "1", "--filter", "ascii"},
         "1", "\t\t10." + zeros32 + ", -5." + zeros32 + ", 3." + zeros32},
    };
    // clang-format on
    for (const auto& [tail, exmode, vertex] : cases) {
        Strings args{"export", "@"};
        args.insert(args.end(), tail.begin(), tail.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(CliMarked(args, rav, dir.File("")),
                  std::tuple(0, "Successful exported data\n", ""));
        const std::string text = ReadText(FillPaths(tail[0], rav, dir.File("")));
        EXPECT_TRUE(text.starts_with("EXMODE=" + exmode + "\r\nOBJECTS=3\r\nObject 0:\r\n\tNAME=" +
                                     "Pitch\r\n\tVERTEXES=3\r\n" + vertex + "\r\n"))
            << text;
    }
}

// fsh-extract writes each chosen image of a compressed archive, every pixel
// format of the sample among them, as a PNG file that another program reads
// back to the decoded pixels, named by its index and a safe form of its
// name. An image it cannot decode is reported, the others are written, and
// the exit status is 1.
TEST_F(CliTest, ExtractWritesPngFilesOtherProgramsRead) {
    const std::string sample = POLYPORT_EXAMPLES "/sample-packed.fsh";
    ASSERT_EQ(std::get<0>(Cli({"fsh-extract", sample, dir.File("all")})), 0);
    CFshFile archive;
    ASSERT_TRUE(archive.Load(sample, 1));
    CFshImage image;
    std::string problem;
    for (std::int32_t i = 0; ImageMagickAvailable() && i < archive.header.entryCount; ++i) {
        ASSERT_TRUE(archive.DecodeImage(i, image, problem));
        const std::string png =
            dir.File(Format("all/%03d_%s.png", i, archive.GetEntry(i)->name.data()));
        EXPECT_EQ(ReadWithImageMagick(png), image.rgba) << png;
    }

    std::vector<FshNamedImage> images(11, {MakeFshTag("img"), MakeFshImage32(1, 1, {1, 2, 3, 4})});
    images[7].first = MakeFshTag("ab/c");
    images[10] = {MakeFshTag("pal"), FshImage{.recordId = 0x24, .width = 1, .height = 1,
                                              .pixels = {1, 2, 3}}};
    const std::string odd = dir.Write("odd.fsh", MakeFshArchive(images, MakeFshTag("G264")));
    EXPECT_EQ(Cli({"fsh-extract", odd, dir.File("some"), "--select", "7,10"}),
              std::tuple(1,
                         "2 images of 11 selected for extraction\nWritten " +
                             dir.File("some/007_ab_c.png") + "\n",
                         "Error! Image 10 (pal) has record id 0x24, which is no image\n"));
}

} // namespace
