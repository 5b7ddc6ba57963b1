#include "cli/CliRun.h"
#include "gamefiles/RavTestSupport.h"

#include <filesystem>
#include <regex>

namespace {

using Strings = std::vector<std::string>;

// In the arguments and the expected output "@" stands for the RAV path and
// "#" for the test's folder.
class ExchangeCommandTest : public ::testing::Test {
protected:
    std::tuple<int, std::string, std::string> Run(const Strings& args) {
        return CliMarked(args, rav, dir.File(""));
    }
    std::string Fill(const std::string& text) const { return FillPaths(text, rav, dir.File("")); }

    TempDir dir;
    const ByteImage scene = SampleScene().Build().image;
    const std::string rav = dir.Write("scene.rav", scene.Bytes());
};

// Usage errors are found before any file is touched, each explained on one
// line of stderr; those the parser finds in its own words. Help is no error.
TEST_F(ExchangeCommandTest, UsageErrorsExitWithTwoAndTouchNothing) {
    const std::string wholeNumber = "--mode needs a whole number from 0 to 4294967295, not ";
    const std::pair<Strings, std::string> cases[] = {
        {{"export", "@", "#a.bin"},
         "Cannot choose a filter from the extension of '#a.bin'; name one with --filter\n"},
        {{"export", "@", "#a.txt", "--filter", "xyz"},
         "Unknown filter 'xyz'; use ascii, dw or lwo\n"},
        {{"export", "@", "#a.dw", "--decimals", "3"},
         "--mode, --decimals and the export flags apply to the ascii filter only\n"},
        {{"export", "@", "#a.txt", "--mode", "3", "--vertexes"},
         "--mode cannot be combined with --vertexes, --textures, --placements, --order or "
         "--shading\n"},
        {{"export", "@", "#a.txt", "--mode", "-1"}, wholeNumber + "'-1'\n"},
        {{"export", "@", "#a.txt", "--mode", "0x10"}, wholeNumber + "'0x10'\n"},
        {{"export", "@", "#a.txt", "--decimals", "1.5"},
         "--decimals needs a whole number, not '1.5'\n"},
        {{"import", "@", "#a.txt", "--mode", "3"}, ""},
        {{}, ""},
        {{"info"}, ""},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto [status, out, err] = Run(args);
        EXPECT_EQ(status, 2);
        EXPECT_EQ(out, "");
        EXPECT_TRUE(message.empty() ? !err.empty() : err == Fill(message)) << err;
        // Only the RAV file is there.
        const std::filesystem::directory_iterator files(dir.Path());
        EXPECT_EQ(std::distance(begin(files), end(files)), 1);
        EXPECT_EQ(ReadBytes(rav), scene.Bytes());
    }
    for (const Strings& args : {Strings{"--help"}, Strings{"info", "--help"}}) {
        EXPECT_EQ(std::get<0>(Cli(args)), 0);
        EXPECT_EQ(std::get<2>(Cli(args)), "");
    }
}

// Each step prints what the window's log pane would show, split by flag, and
// exits with 1 when the command failed: a warning does not fail it. Paths are
// taken whole, into the messages too. Only the accepted import changes the
// RAV file.
TEST_F(ExchangeCommandTest, ExportThenImportPrintTheLogLines) {
    const std::string missing = "#" + std::string(5000, 'm') + ".rav";
    const struct {
        Strings args;
        int status;
        std::string out, err;
    } steps[] = {
        {{"export", "@", "#Scene.TXT"}, 0, "Successful exported data\n", ""},
        {{"export", missing, "#Scene.TXT"}, 1, "", "Error opening " + missing + "\n"},
        {{"import", "@", "#absent.asc"},
         1,
         "Error while importing data\n",
         "Error opening #absent.asc\n"},
        {{"import", "@", "#Scene.TXT", "--filter", "ascii"},
         0,
         "Successful imported data... updating data\nSuccessful updated data\n",
         "Warning! Textfile has 5 Objects but the Ravfile only has 3. Cropping\n"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::PrintToString(step.args));
        if (step.status == 0 && step.args[0] == "import") {
            // What a user does between the two: rename an object in place.
            EXPECT_EQ(ReadBytes(rav), scene.Bytes());
            const std::string text = ReadText(dir.File("Scene.TXT"));
            dir.WriteText(
                "Scene.TXT",
                std::regex_replace(std::regex_replace(text, std::regex("NAME=Pitch"), "NAME=Field"),
                                   std::regex("OBJECTS=3"), "OBJECTS=5"));
        }
        EXPECT_EQ(Run(step.args), std::tuple(step.status, Fill(step.out), Fill(step.err)));
    }
    CRavFile imported;
    ASSERT_TRUE(imported.Load(rav));
    EXPECT_EQ(imported.GetObject(0)->name, "Field");
    EXPECT_EQ(imported.GetObject(2)->name, "Stand");
}

// The mode is written as given into EXMODE and decides the vertex line; the
// decimals are clamped to 0..32. The first vertex of the scene is
// (10, -5, 3), without texture coordinates or colour.
TEST_F(ExchangeCommandTest, ModeAndDecimalsReachTheText) {
    const std::string zeros32(32, '0');
    // clang-format off
    const struct {
        Strings args; // after the RAV file; each row writes a file of its own
        std::string exmode, vertex;
    } cases[] = {
        {{"#1.txt"}, "EXMODE=3", "\t\t10.000000, -5.000000, 3.000000"},
        {{"#2.asc", "--mode", "4294967295", "--decimals", "1"}, "EXMODE=-1", // as scanned back
         "\t\t10.0, -5.0, 3.0, 0.0, 0.0, 000000"},
        {{"#3.txt", "--mode", "0", "--decimals", "2"}, "EXMODE=0", ""},
        {{"#4.TXT", "--placements", "--vertexes", "--decimals", "-4"}, "EXMODE=5",
         "\t\t10, -5, 3, 0, 0"},
        {{"#5.txt", "--shading", "--order", "--textures", "--shading", "--decimals", "+1"},
         "EXMODE=26", ", 000000"},
        {{"#6.bin", "--decimals", "99999999999999999999999", "--mode", "1", "--filter", "ascii"},
         "EXMODE=1", "\t\t10." + zeros32 + ", -5." + zeros32 + ", 3." + zeros32},
    };
    // clang-format on
    for (const auto& c : cases) {
        Strings args{"export", "@"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(Run(args), std::tuple(0, "Successful exported data\n", ""));
        const std::string text = ReadText(Fill(c.args[0]));
        EXPECT_TRUE(text.starts_with(c.exmode + "\r\nOBJECTS=3\r\nObject 0:\r\n\tNAME=Pitch\r\n" +
                                     "\tVERTEXES=3\r\n" + c.vertex + "\r\n"))
            << text;
    }
}

} // namespace
