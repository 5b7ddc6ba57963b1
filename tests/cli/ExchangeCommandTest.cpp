#include "cli/CliRun.h"
#include "gamefiles/RavTestSupport.h"

#include <filesystem>
#include <regex>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class ExchangeCommandTest : public ::testing::Test {
protected:
    TempDir dir;
    const ByteImage scene = SampleScene().Build().image;
    const std::string rav = dir.Write("scene.rav", scene.Bytes());
};

// Usage errors are found before any file is touched, each explained on one
// line of stderr; "@" stands for the exchange file's path.
TEST_F(ExchangeCommandTest, UsageErrorsExitWithTwoAndTouchNothing) {
    const std::string wholeNumber = "--mode needs a whole number from 0 to 4294967295, not ";
    const std::string asciiOnly =
        "--mode, --decimals and the export flags apply to the ascii filter only\n";
    const std::string byExtension =
        "Cannot choose a filter from the extension of '@'; name one with --filter\n";
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"export", "out.bin"}, byExtension},
        {{"export", "out.txt", "--filter", "xyz"}, "Unknown filter 'xyz'; use ascii, dw or lwo\n"},
        {{"export", "out.dw", "--decimals", "3"}, asciiOnly},
        {{"export", "out.txt", "--filter", "lwo", "--decimals", "3"}, asciiOnly},
        {{"export", "out.txt", "--mode", "3", "--vertexes"},
         "--mode cannot be combined with --vertexes, --textures, --placements, --order or "
         "--shading\n"},
        {{"export", "out.txt", "--mode", "-1"}, wholeNumber + "'-1'\n"},
        {{"export", "out.txt", "--mode", "0x10"}, wholeNumber + "'0x10'\n"},
        {{"export", "out.txt", "--decimals", "1.5"},
         "--decimals needs a whole number, not '1.5'\n"},
        // Caught by the parser, in its own words.
        {{"export", "out.txt", "--mode", "1", "--mode", "2"}, ""},
        {{"import", "out.txt", "--mode", "3"}, ""},
        {{"export"}, ""},
    };
    for (auto [args, message] : cases) {
        const std::string file = args.size() > 1 ? dir.File(args[1]) : "";
        if (args.size() > 1) {
            args[1] = file.c_str();
        }
        args.insert(args.begin() + 1, rav.c_str());
        const auto [status, out, err] = Cli(args);
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(status, 2);
        EXPECT_EQ(out, "");
        if (message.empty()) {
            EXPECT_NE(err, "");
        } else {
            EXPECT_EQ(err, std::regex_replace(message, std::regex("@"), file));
        }
        // Only the RAV file is there.
        const std::filesystem::directory_iterator files(dir.Path());
        EXPECT_EQ(std::distance(begin(files), end(files)), 1);
        EXPECT_EQ(ReadBytes(rav), scene.Bytes());
    }
}

// Each step prints what the window's log pane would show, split by flag;
// only the accepted import changes the RAV file.
TEST_F(ExchangeCommandTest, ExportThenImportPrintTheLogLines) {
    const std::string text = dir.File("Scene.TXT");
    const std::string absent = dir.File("absent.asc");
    // Paths are taken whole, into the messages too.
    const std::string missing = dir.File(std::string(5000, 'm') + ".rav");
    const std::string noFolder = dir.File("no/out.txt");
    const std::string lwo = dir.File("scene.LWO");
    const struct {
        std::vector<const char*> args;
        int status;
        std::string out, err;
    } steps[] = {
        {{"export", rav.c_str(), text.c_str()}, 0, "Successful exported data\n", ""},
        {{"export", missing.c_str(), text.c_str()}, 1, "", "Error opening " + missing + "\n"},
        {{"import", rav.c_str(), absent.c_str()},
         1,
         "Error while importing data\n",
         "Error opening " + absent + "\n"},
        {{"export", rav.c_str(), noFolder.c_str()},
         1,
         "Error exporting data\n",
         "Error opening " + noFolder + "\n"},
        {{"import", rav.c_str(), text.c_str(), "--filter", "ascii"},
         0,
         "Successful imported data... updating data\nSuccessful updated data\n",
         ""},
        // The same lines for a binary format, whose reader checks the file's start.
        {{"export", rav.c_str(), lwo.c_str()}, 0, "Successful exported data\n", ""},
        {{"import", rav.c_str(), lwo.c_str(), "--filter", "lwo"},
         0,
         "Successful imported data... updating data\nSuccessful updated data\n",
         ""},
        {{"import", rav.c_str(), text.c_str(), "--filter", "lwo"},
         1,
         "Error while importing data\n",
         text + " is not a valid IFF Lightwave file\n"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::PrintToString(step.args));
        if (std::string(step.args[0]) == "import" && step.status == 0 && step.args[2] == text) {
            // What a user does between the two: rename an object in place.
            EXPECT_EQ(ReadBytes(rav), scene.Bytes());
            const std::string exported = ReadText(text);
            dir.Write("Scene.TXT",
                      Bytes(std::regex_replace(exported, std::regex("NAME=Pitch"), "NAME=Field")));
        }
        const auto [status, out, err] = Cli(step.args);
        EXPECT_EQ(status, step.status);
        EXPECT_EQ(out, step.out);
        EXPECT_EQ(err, step.err);
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
    const struct {
        std::vector<const char*> options;
        const char* file;
        std::string exmode, vertex;
    } cases[] = {
        {{}, "a.txt", "EXMODE=3", "\t\t10.000000, -5.000000, 3.000000"},
        {{"--mode", "4294967295", "--decimals", "1"},
         "a.asc",
         "EXMODE=-1", // as the reader scans it back
         "\t\t10.0, -5.0, 3.0, 0.0, 0.0, 000000"},
        {{"--mode", "0", "--decimals", "2"}, "a.txt", "EXMODE=0", ""},
        {{"--placements", "--vertexes", "--decimals", "-4"},
         "a.TXT",
         "EXMODE=5",
         "\t\t10, -5, 3, 0, 0"},
        {{"--shading", "--order", "--shading", "--decimals", "+1"},
         "a.txt",
         "EXMODE=24",
         ", 000000"},
        {{"--textures"}, "a.txt", "EXMODE=2", ""},
        {{"--vertexes", "--decimals", "33"},
         "a.txt",
         "EXMODE=1",
         "\t\t10." + zeros32 + ", -5." + zeros32 + ", 3." + zeros32},
        {{"--decimals=-99999999999999999999999"}, "a.txt", "EXMODE=3", "\t\t10, -5, 3"},
        {{"--decimals", "99999999999999999999999", "--mode", "1", "--filter", "ascii"},
         "a.bin",
         "EXMODE=1",
         "\t\t10." + zeros32 + ", -5." + zeros32 + ", 3." + zeros32},
    };
    for (const auto& c : cases) {
        const std::string file = dir.File(c.file);
        std::vector<const char*> args{"export", rav.c_str(), file.c_str()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto [status, out, err] = Cli(args);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(out, "Successful exported data\n");
        EXPECT_EQ(err, "");
        const std::vector<std::string> lines = Lines(ReadText(file));
        ASSERT_GT(lines.size(), 5U);
        EXPECT_EQ(lines[0], c.exmode);
        EXPECT_EQ(lines[1], "OBJECTS=3");
        EXPECT_EQ(lines[4], "\tVERTEXES=3");
        EXPECT_EQ(lines[5], c.vertex);
        std::filesystem::remove(file);
    }
}

// The DesignWorkshop filter, chosen by extension or by key, prints the same
// summaries and exits the same way; a file with too few polylines leaves
// the RAV file as it was.
TEST_F(ExchangeCommandTest, DesignWorkshopFilterRunsEndToEnd) {
    const auto quad = [](std::int32_t texture) {
        return RavBuilder::Object{.vertices = {{1.5f, 2, -3}, {}, {}, {}},
                                  .textureRecords = {RavBuilder::Record(texture, {0, 1, 2, 3})}};
    };
    const ByteImage quads =
        RavBuilder{.textures = {"grass01", "Stand_A"}, .objects = {{.kind = 0}, quad(0), quad(1)}}
            .Build()
            .image;
    const std::string quadsRav = dir.Write("quads.rav", quads.Bytes());
    const std::string dw = dir.File("quads.DW");
    const std::string sampleDw = dir.File("sample.dw");
    const std::string exported = "Successful exported data\n";
    const struct {
        std::vector<const char*> args;
        int status;
        std::string out, err;
    } steps[] = {
        {{"export", quadsRav.c_str(), dw.c_str()}, 0, exported, ""},
        {{"export", rav.c_str(), sampleDw.c_str(), "--filter", "dw"},
         0,
         exported,
         "Error! Object 1 is not a G2 object\nError! Object 2 is not a G2 object\n"},
        {{"import", rav.c_str(), sampleDw.c_str()},
         1,
         "Error while importing data\n",
         "Fatal error - aborting\n"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::PrintToString(step.args));
        const auto [status, out, err] = Cli(step.args);
        EXPECT_EQ(status, step.status);
        EXPECT_EQ(out, step.out);
        EXPECT_EQ(err, step.err);
    }
    dir.Write("quads.DW", Bytes(std::regex_replace(ReadText(dw), std::regex("Mat: 1"), "Mat: 2")));
    const auto [status, out, err] = Cli({"import", quadsRav.c_str(), dw.c_str(), "--filter", "dw"});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "Successful imported data... updating data\nSuccessful updated data\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(ReadBytes(rav), scene.Bytes());
    CRavFile imported;
    ASSERT_TRUE(imported.Load(quadsRav));
    EXPECT_STREQ(imported.GetTextureName(imported.GetObject(1)->textureRecords[0].textureRef),
                 "Stand_A");
}

// A warning is printed on stderr and does not fail the import.
TEST_F(ExchangeCommandTest, ImportWarningsGoToStderrAndStillSucceed) {
    const std::string text = dir.File("scene.txt");
    ASSERT_EQ(std::get<0>(Cli({"export", rav.c_str(), text.c_str()})), 0);
    dir.Write("scene.txt",
              Bytes(std::regex_replace(ReadText(text), std::regex("OBJECTS=3"), "OBJECTS=5")));
    const auto [status, out, err] = Cli({"import", rav.c_str(), text.c_str()});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "Successful imported data... updating data\nSuccessful updated data\n");
    EXPECT_EQ(err, "Warning! Textfile has 5 Objects but the Ravfile only has 3. Cropping\n");
}

} // namespace
