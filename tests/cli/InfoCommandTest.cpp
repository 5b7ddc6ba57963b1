#include "cli/CliApp.h"
#include "support/FshBuilder.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Json = nlohmann::json;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
    std::vector<const char*> argv{"polyport-cli"};
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// Parses the whole output as one document; a failure shows the text.
Json ParseJson(const std::string& text) {
    const Json doc = Json::parse(text, nullptr, false);
    EXPECT_FALSE(doc.is_discarded()) << text;
    return doc;
}

std::set<std::string> Keys(const Json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) {
        keys.insert(item.key());
    }
    return keys;
}

// True when one line of `text` holds every piece, so facts that belong
// together are printed together.
bool HasLineWith(const std::string& text, const std::vector<std::string>& pieces) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        bool all = true;
        for (const std::string& piece : pieces) {
            all = all && line.find(piece) != std::string::npos;
        }
        if (all) {
            return true;
        }
    }
    return false;
}

std::string DataFile(const std::string& name) {
    return std::string(POLYPORT_TEST_DATA) + "/fsh/" + name;
}

FshImage SizedImage(std::uint16_t width, std::uint16_t height) {
    FshImage image;
    image.width = width;
    image.height = height;
    return image;
}

// Entries: a normal record, a duplicate name for it, a short name, and one
// whose offset lies beyond the file (its size reads as 0 x 0).
std::vector<std::uint8_t> MixedArchive() {
    FshBuilder builder;
    builder.Header(MakeFshTag("SHPI"), 0, 4, MakeFshTag("G264"))
        .Entry(MakeFshTag("tex1"), 48)
        .Entry(MakeFshTag("tex1"), 48)
        .Entry(MakeFshTag("ab"), 64)
        .Entry(MakeFshTag("far"), 0xFFFFFFFF)
        .ImageAt(48, SizedImage(256, 128))
        .ImageAt(64, SizedImage(0xFFFF, 1));
    return builder.Bytes();
}

// Two named textures (behind two skipped records), a mesh whose second
// texture record names no texture, and an object of another kind.
RavBuilder SampleRav() {
    RavBuilder rav;
    rav.textures = {"grass", "stand"};
    rav.offset00 = 36;
    rav.value0C = -7;
    rav.offset10 = 8;
    rav.recordSkip = 2;

    RavBuilder::Object pitch;
    pitch.name = "pitch";
    pitch.vertices = {{1.5f, -2.0f, 0.25f}, {3, 4, 5}, {-1, 0, 8}};
    pitch.uvs = {{0, 1}, {0.5f, 0.25f}, {1, 0}};
    pitch.colours = {{1, 2, 3, 4}, {10, 20, 30, 255}, {0, 0, 0, 0}};
    RavBuilder::TextureRecord named;
    named.orders = {0, 1, 2};
    named.texture = 1;
    RavBuilder::TextureRecord unnamed;
    unnamed.orders = {2, 1};
    unnamed.textureRef = 0x7777;
    pitch.textureRecords = {named, unnamed};
    pitch.boxMin = {-1, -2, 0};
    pitch.boxMax = {3, 4, 8};

    RavBuilder::Object marker;
    marker.name = "marker";
    marker.kind = 2;
    rav.objects = {pitch, marker};
    return rav;
}

TEST(InfoCommand, FshJsonDescribesArchivesWrittenByOtherPrograms) {
    struct Case {
        const char* file;
        const char* name;
        int offset;
        int width;
        int height;
    };
    const Case cases[] = {
        {"sc4_g231_pal8_0x7b.fsh", "0000", 112, 64, 64},
        {"sc4_g264_argb8888_0x7d.fsh", "28FE", 32, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = DataFile(c.file);
        const CliRun run = Cli({"info", path, "--json"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        const Json expected = {{"type", "fsh"},
                               {"path", path},
                               {"entryCount", 1},
                               {"entries",
                                {{{"index", 0},
                                  {"name", c.name},
                                  {"offset", c.offset},
                                  {"width", c.width},
                                  {"height", c.height}}}}};
        EXPECT_EQ(ParseJson(run.out), expected);
    }
}

TEST(InfoCommand, FshJsonTrustsOnlyTheStoredOffsets) {
    TempDir dir;
    const std::string path = dir.Write("mixed.fsh", MixedArchive());
    const CliRun run = Cli({"info", "--json", path});
    ASSERT_EQ(run.status, 0);
    const Json doc = ParseJson(run.out);
    EXPECT_EQ(Keys(doc), (std::set<std::string>{"type", "path", "entryCount", "entries"}));
    EXPECT_EQ(doc["entryCount"], 4);
    const Json expected = Json::array({
        {{"index", 0}, {"name", "tex1"}, {"offset", 48}, {"width", 256}, {"height", 128}},
        {{"index", 1}, {"name", "tex1"}, {"offset", 48}, {"width", 256}, {"height", 128}},
        {{"index", 2}, {"name", "ab"}, {"offset", 64}, {"width", 65535}, {"height", 1}},
        {{"index", 3}, {"name", "far"}, {"offset", 4294967295u}, {"width", 0}, {"height", 0}},
    });
    EXPECT_EQ(doc["entries"], expected);
}

TEST(InfoCommand, FshTextListsEveryEntry) {
    TempDir dir;
    const std::string path = dir.Write("mixed.fsh", MixedArchive());
    const CliRun run = Cli({"info", path});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(HasLineWith(run.out, {path}));
    EXPECT_TRUE(HasLineWith(run.out, {"Entries (4)"}));
    EXPECT_TRUE(HasLineWith(run.out, {" 0 ", "tex1", " 48 ", "256 x 128"})) << run.out;
    EXPECT_TRUE(HasLineWith(run.out, {" 1 ", "tex1", " 48 ", "256 x 128"})) << run.out;
    EXPECT_TRUE(HasLineWith(run.out, {" 2 ", "ab", " 64 ", "65535 x 1"})) << run.out;
    EXPECT_TRUE(HasLineWith(run.out, {" 3 ", "far", "4294967295", "0 x 0"})) << run.out;
}

TEST(InfoCommand, RavJsonHoldsTheWholeModel) {
    TempDir dir;
    const RavBuilder::Result built = SampleRav().Build();
    const RavBuilder::Layout& at = built.layout;
    const std::string path = dir.Write("scene.rav", built.image.Bytes());
    const CliRun run = Cli({"info", path, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const Json pitch = {{"index", 0},
                        {"name", "pitch"},
                        {"nameOffset", at.objects[0].name},
                        {"kind", 1},
                        {"detailOffset", at.objects[0].detail},
                        {"vertexCount", 3},
                        {"colourCount", 3},
                        {"uvCount", 3},
                        {"boxMin", {-1, -2, 0}},
                        {"boxMax", {3, 4, 8}},
                        {"vertices", {{1.5, -2, 0.25}, {3, 4, 5}, {-1, 0, 8}}},
                        {"uvs", {{0, 1}, {0.5, 0.25}, {1, 0}}},
                        {"colours", {{1, 2, 3, 4}, {10, 20, 30, 255}, {0, 0, 0, 0}}},
                        {"textureRecords",
                         {{{"textureRef", at.textureRefs[1]},
                           {"textureName", "stand"},
                           {"orderCount", 3},
                           {"order", {0, 1, 2}}},
                          {{"textureRef", 0x7777},
                           {"textureName", nullptr},
                           {"orderCount", 2},
                           {"order", {2, 1}}}}}};
    // Blocks of other kinds are not read, whatever the file holds there.
    const Json marker = {{"index", 1},
                         {"name", "marker"},
                         {"nameOffset", at.objects[1].name},
                         {"kind", 2},
                         {"detailOffset", 0},
                         {"vertexCount", 0},
                         {"colourCount", 0},
                         {"uvCount", 0},
                         {"boxMin", {0, 0, 0}},
                         {"boxMax", {0, 0, 0}},
                         {"vertices", Json::array()},
                         {"uvs", Json::array()},
                         {"colours", Json::array()},
                         {"textureRecords", Json::array()}};
    const Json expected = {{"type", "rav"},
                           {"path", path},
                           {"header",
                            {{"offset00", 36},
                             {"textureCount", 2},
                             {"textureTableOffset", at.textureTable},
                             {"value0C", -7},
                             {"offset10", 8},
                             {"recordSkip", 2},
                             {"recordTableOffset", at.recordTable},
                             {"objectCount", 2},
                             {"objectTableOffset", at.objectTable}}},
                           {"textures",
                            {{{"index", 0},
                              {"name", "grass"},
                              {"nameOffset", at.textureNames[0]},
                              {"textureRef", at.textureRefs[0]}},
                             {{"index", 1},
                              {"name", "stand"},
                              {"nameOffset", at.textureNames[1]},
                              {"textureRef", at.textureRefs[1]}}}},
                           {"objects", {pitch, marker}}};
    EXPECT_EQ(ParseJson(run.out), expected);
}

TEST(InfoCommand, RavTextGivesTheKeyFacts) {
    TempDir dir;
    const RavBuilder::Result built = SampleRav().Build();
    const std::string path = dir.Write("scene.rav", built.image.Bytes());
    const CliRun run = Cli({"info", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string& out = run.out;
    char ref0[16];
    char ref1[16];
    std::snprintf(ref0, sizeof ref0, "0x%08X", static_cast<unsigned>(built.layout.textureRefs[0]));
    std::snprintf(ref1, sizeof ref1, "0x%08X", static_cast<unsigned>(built.layout.textureRefs[1]));

    EXPECT_TRUE(HasLineWith(out, {path})) << out;
    EXPECT_TRUE(HasLineWith(out, {"recordSkip", " 2 "})) << out;
    EXPECT_TRUE(HasLineWith(out, {"value0C", "-7", "0xFFFFFFF9"})) << out;
    EXPECT_TRUE(HasLineWith(out, {"objectCount", " 2 "})) << out;
    EXPECT_TRUE(HasLineWith(out, {"Textures (2)"})) << out;
    EXPECT_TRUE(HasLineWith(out, {" 0 ", "grass", ref0})) << out;
    EXPECT_TRUE(HasLineWith(out, {" 1 ", "stand", ref1})) << out;
    EXPECT_TRUE(HasLineWith(out, {"Objects (2)"})) << out;
    EXPECT_TRUE(HasLineWith(out, {" 0 ", "pitch", "kind 1", "vertices 3", "colours 3", "uvs 3",
                                  "texture records 2", "stand", "0x00007777"}))
        << out;
    EXPECT_TRUE(HasLineWith(out, {" 1 ", "marker", "kind 2"})) << out;
}

// Names are 8-bit strings from the game files; bytes that are not UTF-8 must
// not make the document invalid, and the readable part must survive.
TEST(InfoCommand, JsonSurvivesNamesThatAreNotUtf8) {
    const std::string replacement = "\xEF\xBF\xBD"; // U+FFFD
    TempDir dir;

    RavBuilder rav = SampleRav();
    rav.textures[0] = "gr\xE4s";
    rav.objects[0].name = "pitch\xFF";
    const std::string ravPath = dir.Write("names.rav", rav.Build().image.Bytes());
    const CliRun ravRun = Cli({"info", ravPath, "--json"});
    ASSERT_EQ(ravRun.status, 0);
    const Json ravDoc = ParseJson(ravRun.out);
    EXPECT_EQ(ravDoc["textures"][0]["name"], "gr" + replacement + "s");
    EXPECT_EQ(ravDoc["objects"][0]["name"], "pitch" + replacement);
    EXPECT_EQ(ravDoc["objects"][1]["name"], "marker");

    FshBuilder fsh;
    fsh.Header(MakeFshTag("SHPI"), 0, 1, MakeFshTag("G264"))
        .Entry({'A', 0xE4, 0x01, 'Z'}, 32)
        .ImageAt(32, SizedImage(4, 4));
    const std::string fshPath = dir.Write("names.fsh", fsh.Bytes());
    const CliRun fshRun = Cli({"info", fshPath, "--json"});
    ASSERT_EQ(fshRun.status, 0);
    const Json fshDoc = ParseJson(fshRun.out);
    EXPECT_EQ(fshDoc["entries"][0]["name"], "A" + replacement + "\x01Z");
    EXPECT_EQ(fshDoc["entries"][0]["width"], 4);
}

// Only the first bytes decide which reader runs, never the file name.
TEST(InfoCommand, ContentNotNameChoosesTheReader) {
    TempDir dir;
    const std::string path = dir.Write("looks-like.fsh", SampleRav().Build().image.Bytes());
    const CliRun run = Cli({"info", path, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ParseJson(run.out)["type"], "rav");

    const std::string archive = dir.Write("archive.rav", MixedArchive());
    const CliRun fshRun = Cli({"info", archive, "--json"});
    ASSERT_EQ(fshRun.status, 0) << fshRun.err;
    EXPECT_EQ(ParseJson(fshRun.out)["type"], "fsh");
}

// Loader messages reach the terminal verbatim: RAV ones (flag 1) on stderr,
// FSH ones (flag 0) on stdout; the rerouting notice never shows.
TEST(InfoCommand, FailuresPrintTheLoaderMessagesAndExitWithOne) {
    TempDir dir;
    const std::vector<std::uint8_t> rav = SampleRav().Build().image.Bytes();
    std::vector<std::uint8_t> badTable = rav;
    badTable[0x08 + 3] = 0x7F; // the texture table offset
    const auto refPack = [](std::uint8_t flags, std::size_t size) {
        std::vector<std::uint8_t> bytes(size, 0);
        bytes[0] = flags;
        bytes[1] = 0xFB;
        return bytes;
    };
    const std::vector<std::uint8_t> badCount =
        FshBuilder().Header(MakeFshTag("SHPI"), 0, 3, MakeFshTag("G264")).Bytes();

    const auto notRav = [](const std::string& path, const char* section) {
        return path + " is not a valid RAV file (or a new format) [Section: " + section + "]\n";
    };
    const auto notFsh = [](const std::string& path) { return path + " is not a valid FSH file\n"; };
    const auto compressed = [&](const std::string& path) {
        return notFsh(path) + path +
               " is compressed (RefPack); compressed FSH archives are not supported yet - "
               "unpack it first\n";
    };

    struct Case {
        const char* label;
        std::string path;
        std::string out;
        std::string err;
    };
    const std::string missing = dir.File("missing.rav");
    const std::string folder = dir.Path().string();
    const std::string tableBeyond = dir.Write("table.rav", badTable);
    const std::string count = dir.Write("count.fsh", badCount);
    const std::string noFlags = dir.Write("noflags.fsh", refPack(0x12, 16));
    std::vector<Case> cases = {
        {"missing file", missing, "", "Error opening " + missing + "\n"},
        {"directory", folder, "", "Error opening " + folder + "\n"},
        {"texture table beyond the end", tableBeyond, "", notRav(tableBeyond, "Start")},
        {"archive directory cut short", count, notFsh(count), ""},
        {"0xFB after unknown flags is no archive", noFlags, "", notRav(noFlags, "Start")},
    };
    for (const std::uint8_t flags : std::initializer_list<std::uint8_t>{0x10, 0x11, 0x90, 0x91}) {
        const std::string path =
            dir.Write("packed" + std::to_string(flags) + ".dat", refPack(flags, 16));
        cases.push_back({"refpack", path, compressed(path), ""});
    }
    // A file too short for the whole magic still starts like a packed one.
    const std::string tiny = dir.Write("tiny.dat", refPack(0x10, 2));
    cases.push_back({"refpack signature only", tiny, compressed(tiny), ""});

    for (const Case& c : cases) {
        for (const bool json : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (json ? " --json" : ""));
            std::vector<std::string> args = {"info", c.path};
            if (json) {
                args.push_back("--json");
            }
            const CliRun run = Cli(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, c.out);
            EXPECT_EQ(run.err, c.err);
            EXPECT_EQ((run.out + run.err).find("rerooted"), std::string::npos);
        }
    }
}

// Each message line is flushed as it ends, so stdout and stderr interleave in
// order on a terminal.
TEST(InfoCommand, FlushesEveryMessageLine) {
    class SyncLog : public std::stringbuf {
    public:
        std::vector<std::string> synced;

    protected:
        int sync() override {
            synced.push_back(str());
            return 0;
        }
    };
    TempDir dir;
    std::vector<std::uint8_t> packed(8, 0);
    packed[0] = 0x10;
    packed[1] = 0xFB;
    const std::string path = dir.Write("packed.fsh", packed);
    SyncLog outBuf;
    std::ostream out(&outBuf);
    std::ostringstream err;
    const char* argv[] = {"polyport-cli", "info", path.c_str()};
    EXPECT_EQ(RunCli(3, argv, out, err), 1);

    const std::string first = path + " is not a valid FSH file\n";
    ASSERT_GE(outBuf.synced.size(), 2u);
    EXPECT_EQ(outBuf.synced[0], first);
    EXPECT_EQ(outBuf.synced[1], outBuf.str());
}

TEST(InfoCommand, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"bogus", "file.rav"},
        {"info"},
        {"info", "--json"},
        {"info", "file.rav", "--bogus"},
        {"info", "file.rav", "other.rav"},
        {"--json", "info", "file.rav"},
    };
    for (const auto& args : cases) {
        std::string label;
        for (const std::string& arg : args) {
            label += arg + " ";
        }
        SCOPED_TRACE(label);
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

TEST(InfoCommand, HelpExitsWithZero) {
    const std::vector<std::vector<std::string>> cases = {{"--help"}, {"-h"}, {"info", "--help"}};
    for (const auto& args : cases) {
        SCOPED_TRACE(args.back());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(HasLineWith(run.out, {"info"})) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

} // namespace
