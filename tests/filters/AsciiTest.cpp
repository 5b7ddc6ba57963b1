#include "filters/AsciiFilter.h"
#include "filters/AsciiLineReader.h"
#include "filters/FilterTestSupport.h"
#include "gamefiles/FileIo.h"
#include "support/ScriptedServices.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <tuple>

namespace {

class AsciiTest : public FilterTest<CAsciiFilter> {
protected:
    std::string Export(std::uint32_t mode, int decimals) {
        filter.SetExportMode(mode);
        filter.SetDecimals(decimals);
        return FilterTest::Export();
    }
};

// Uvs and colours running out before the vertices, a negative order entry,
// an empty order list, a record whose texture is missing from the table, an
// object of another kind; at both ends of the decimals.
TEST_F(AsciiTest, ExportWritesTheGoldensByteForByte) {
    LoadScene({.textures = {"grass", "stand"},
               .objects = {{.name = "Quad",
                            .vertices = {{0.5f, -0.125f, 1e6f},
                                         {1.0f / 3, 2.5f, -0.0f},
                                         {-7, 0.1f, 3},
                                         {123.456f, 1e-3f, -9.75f}},
                            .uvs = {{0.25f, 1}, {1, 0.75f}},
                            .colours = {{0x11, 0x22, 0x33, 0x44}},
                            .textureRecords = {RavBuilder::Record(1, {0xFFFF, 7, 0x8000}),
                                               RavBuilder::Record(0, {}), Orphan({5})}},
                           {.name = "Light", .kind = 3}}});
    EXPECT_EQ(Export(31, 0), Golden("ascii/edge-mode31-decimals0.txt"));
    EXPECT_EQ(Export(31, 32), Golden("ascii/edge-mode31-decimals32.txt"));
    EXPECT_EQ(messages, Messages{});
}

// Random objects: coordinates 0 or of a size that 32 decimals hold exactly,
// fewer uvs and colours than vertices, random orders, one object of
// another kind and, with `big`, one of 3000 vertices.
RavBuilder RandomScene(unsigned seed, bool big) {
    std::mt19937 random(seed);
    const auto number = [&] {
        const float magnitude = std::ldexp(1.0f, static_cast<int>(random() % 30) - 10);
        const float value = std::uniform_real_distribution<float>(-magnitude, magnitude)(random);
        return random() % 5 == 0 ? 0.0f : value;
    };
    const auto byte = [&] { return static_cast<std::uint8_t>(random()); };
    RavBuilder scene{.textures = {"grass01", "Stand_A", "roof"}};
    for (int i = 0; i < 12; ++i) {
        auto& object = scene.objects.emplace_back(
            RavBuilder::Object{.name = "obj_" + std::to_string(i), .kind = i == 5 ? 4 : 1});
        const int vertices = big && i == 0 ? 3000 : static_cast<int>(random() % 7);
        for (int k = 0; k < vertices; ++k) {
            object.vertices.push_back({number(), number(), number()});
            if (k % 3 != 2) {
                object.uvs.push_back({number(), number()});
            }
            if (k % 2 == 0) {
                object.colours.push_back({byte(), byte(), byte(), 0x5A});
            }
        }
        for (int t = static_cast<int>(random() % 3); t > 0; --t) {
            std::vector<std::uint16_t> orders(random() % 5);
            // Vertex indices or -1: the import warns about anything else.
            std::generate(orders.begin(), orders.end(), [&] {
                return static_cast<std::uint16_t>(static_cast<int>(random() % (vertices + 1)) - 1);
            });
            object.textureRecords.push_back(RavBuilder::Record(t - 1, orders));
        }
    }
    return scene;
}

// Export then import puts back every value the mode carries, into a model
// where those values were overwritten, and nothing else: at 32 decimals the
// saved file equals a plain save of the original. An object's text has no
// size limit.
TEST_F(AsciiTest, ExportThenImportRestoresEveryMode) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        LoadScene(RandomScene(seed, seed == 1));
        const std::vector<std::uint8_t> saved = Saved();
        for (std::uint32_t mode = 0; mode < 32; ++mode) {
            ASSERT_TRUE(rav.Load(path));
            const std::string text = Export(mode, 32);
            const auto has = [mode](std::uint32_t flag) { return (mode & flag) != 0; };
            for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
                RavObject& object = *rav.GetObject(i);
                object.name = "x";
                for (RavObjectTexture& record : object.textureRecords) {
                    record.textureRef = rav.GetTexture(2)->textureRef;
                }
                for (RavVertex& v : object.vertices) {
                    v = has(ExportVertexes) ? RavVertex{7, 7, 7} : v;
                }
                for (RavUv& uv : object.uvs) {
                    uv = has(ExportPlacements) ? RavUv{7, 7} : uv;
                }
                for (RavColour& c : object.colours) {
                    c = has(ExportShading) ? RavColour{7, 7, 7, c[3]} : c;
                }
                for (auto& orders : object.orders) {
                    if (has(ExportOrder)) {
                        std::fill(orders.begin(), orders.end(), 7);
                    }
                }
            }
            EXPECT_TRUE(Import(text));
            EXPECT_EQ(Saved(), saved) << "seed " << seed << " mode " << mode;
            dir.Write("scene.rav", saved);
        }
    }
    EXPECT_EQ(messages, Messages{});
}

// Each line followed by LF.
std::string Lf(const std::vector<std::string>& lines) {
    return Join(lines, "\n");
}

// Object 1 as mode 31 writes it, with values the scene does not hold: what
// arrives after a part of object 0 was passed over.
const std::string kGood1 = "bee | 70,80,90 | 0.25,0.75 | 0c0b0a00 | stand:42";
std::string ThenGood1(const std::vector<std::string>& object0) {
    return Lf({"EXMODE=31", "OBJECTS=2"}) + Lf(object0) +
           Lf({"Object 1:", "NAME=bee", "VERTEXES=1", "70, 80, 90, 0.25, 0.75, 0A0B0C",
               "TEXTURES=1", "NAME=stand", "ORDERCOUNT=1", "ORDER=42"});
}

// Each text imported into the same model: the messages and then each
// object's summary ("": as loaded). Object 0 has more vertices than uvs,
// object 2 is of another kind, two texture names differ only in case.
TEST_F(AsciiTest, ImportAppliesWhatTheTextHolds) {
    const std::string warnA = "Warning! Object 0 (a) ";
    const std::string tooFew = "Warning! Textfile has to few lines. Aborting";
    const std::string at = "Warning! " + exchange + " line ";
    const struct {
        const char* what;
        std::string text;
        Messages messages;
        std::array<std::string, 3> objects;
    } cases[] = {
        // clang-format off
        {"white space, comments, LF and CR LF; the last line has no line end",
         "  // header\r\nEXMODE=17\r\n\r\n \t OBJECTS=1\nObject 0:\n// between\n\t  NAME=first  "
         "second\n\t\t\nVERTEXES=2\n 9, 8,7, 0A0B0C\n6,5,4,\t0D0E0F\r\nTEXTURES=1\nNAME=STAND\n"
         "[End of file]",
         {}, {"first | 9,8,7 6,5,4 | 0.5,0.5 | 0c0b0a04 0f0e0d08 | stand:1,2,3,4,5"}},
        {"numbers the line lacks keep their value; a comma must follow a number directly",
         Lf({"EXMODE=5", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", "-1.5e1, 0x1p-2",
             "7 , 8, 9, 0.1, 0.2"}),
         {{at + "6: EXMODE=5 writes 5 numbers, the line has 2", 1},
          {at + "7: EXMODE=5 writes 5 numbers, the line has 1", 1},
          {warnA + "has a 0 Textures, the ravfile has 1. Skipping textures", 1}, {tooFew, 1}},
         {"a | -15,0.25,3 7,5,6 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5"}},
        {"a short order line keeps the rest",
         Lf({"EXMODE=8", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", "TEXTURES=1",
             "NAME=stand", "ORDERCOUNT=5", "ORDER= 4,5x, -1"}),
         {{at + "9: order entry 4 is out of range; Object 0 (a) has 2 Vertexes", 1},
          {warnA + "has 3 order entries, 5 were expected. Skipping rest", 1}},
         {"a | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | stand:4,5,65535,4,5"}},
        {"a vertex count that differs: the new name stays, the object is passed over",
         ThenGood1({"Object 0:", "NAME=ay", "VERTEXES=3", "1, 1, 1, 1, 1, 111111",
                    "2, 2, 2, 2, 2, 222222", "3, 3, 3, 3, 3, 333333", "TEXTURES=2", "NAME=Grass",
                    "ORDERCOUNT=1", "ORDER=5", "NAME=Grass", "ORDERCOUNT=1", "ORDER=6"}),
         {{"Warning! Object 0 (ay) has a 3 Vertexes, the ravfile has 2. Skipping Object", 1},
          {at + "23: order entry 42 is out of range; Object 1 (bee) has 1 Vertexes", 1}},
         {"ay | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5", kGood1}},
        {"a texture missing from the table",
         ThenGood1({"Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2", "TEXTURES=1", "NAME=sky",
                    "ORDERCOUNT=5", "ORDER=9, 9, 9, 9, 9"}),
         {{at + "6: EXMODE=31 writes 5 numbers, the line has 3", 1},
          {at + "6: colour \"1\" is not six hexadecimal digits", 1},
          {at + "7: EXMODE=31 writes 5 numbers, the line has 3", 1},
          {at + "7: colour \"2\" is not six hexadecimal digits", 1},
          {warnA + "Texture sky not in ravfile. Skipping textures", 1},
          {at + "19: order entry 42 is out of range; Object 1 (bee) has 1 Vertexes", 1}},
         {"a | 1,1,1 2,2,2 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5", kGood1}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadScene({.textures = {"Grass", "GRASS", "stand"},
                   .objects = {{.name = "a",
                                .vertices = {{1, 2, 3}, {4, 5, 6}},
                                .uvs = {{0.5f, 0.5f}},
                                .colours = {{1, 2, 3, 4}, {5, 6, 7, 8}},
                                .textureRecords = {RavBuilder::Record(2, {1, 2, 3, 4, 5})}},
                               {.name = "b",
                                .vertices = {{7, 8, 9}},
                                .uvs = {{0, 0}},
                                .colours = {{0, 0, 0, 0}},
                                .textureRecords = {RavBuilder::Record(0, {0})}},
                               {.name = "c", .kind = 2}}});
        std::array<std::string, 3> expected;
        for (std::int32_t k = 0; k < 3; ++k) {
            const std::string& given = c.objects[static_cast<std::size_t>(k)];
            expected[static_cast<std::size_t>(k)] = given.empty() ? Summary(rav, k) : given;
        }
        EXPECT_TRUE(Import(c.text));
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ((std::array{Summary(rav, 0), Summary(rav, 1), Summary(rav, 2)}), expected);
    }
}

// A file is read a piece at a time; lines, comments and CR LF pairs split
// between pieces, lines longer than a piece and zero bytes must come out as
// from the whole text in memory.
TEST(AsciiReadLine, ReadsAFileInPiecesAsTheWholeText) {
    static const char kAlphabet[] = "ab//\r\n\n \t";
    std::mt19937 random(5);
    TempDir dir;
    const auto lines = [](CAsciiLineReader& reader) {
        std::vector<std::string> read;
        for (std::string_view line = reader.Next(); !reader.RanOut(); line = reader.Next()) {
            read.emplace_back(line);
        }
        return read;
    };
    for (int n = 0; n < 50; ++n) {
        std::string text;
        for (std::size_t length = random() % 160; length > 0; --length) {
            text += random() % 300 == 0 ? '\0' : kAlphabet[random() % (sizeof kAlphabet - 1)];
        }
        const std::string path = dir.WriteText("t.txt", text);
        for (const std::size_t chunk : {9, 10, 13, 64}) {
            CAsciiLineReader whole(text.c_str(), 7);
            const FilePtr file = OpenFile(path, "rb");
            ASSERT_TRUE(file);
            CAsciiLineReader pieces(file.get(), 7, chunk);
            ASSERT_EQ(lines(pieces), lines(whole))
                << testing::PrintToString(text) << " in " << chunk;
        }
    }
}

// The dialog shows the filter's settings; on OK only the boxes checked and
// the accuracy read as atoi reads it, within 0..32, make the new ones.
// Fields: vertexes, placements, textures, order, accuracy, shading.
TEST(AsciiSettings, ConfigureMapsTheDialogToTheSettings) {
    const std::tuple<std::optional<AsciiSettingsFields>, std::uint32_t, std::int32_t> cases[] = {
        {std::nullopt, 3, 6}, // cancelled
        {AsciiSettingsFields{1, 1, 1, 1, "40", 1}, 31, 32},
        // Beyond int, not wrapped to its low bits (0).
        {AsciiSettingsFields{1, 0, 1, 0, "4294967296", 0}, 3, 32},
    };
    for (const auto& [confirmed, mode, decimals] : cases) {
        CAsciiFilter filter;
        ScriptedServices services;
        services.settingsDialog = [&](AsciiSettingsFields& fields) {
            // A cancelled dialog may have been changed before it was closed.
            fields = confirmed.value_or(AsciiSettingsFields{1, 1, 1, 1, "20", 1});
            return confirmed.has_value();
        };
        filter.SetDialogs(services);
        filter.Configure();
        EXPECT_EQ(std::pair(filter.ExportMode(), filter.Decimals()), std::pair(mode, decimals));
        ASSERT_EQ(services.shownSettings.size(), 1U);
        EXPECT_EQ(services.shownSettings[0].m_accuracy, "6"); // the defaults are shown
    }
}

} // namespace
