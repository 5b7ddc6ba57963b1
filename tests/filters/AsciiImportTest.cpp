#include "filters/AsciiFilter.h"
#include "filters/FilterTestSupport.h"

#include <array>

using namespace std::string_literals;

namespace {

using AsciiImportTest = FilterTest<CAsciiFilter>;

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
TEST_F(AsciiImportTest, ImportAppliesWhatTheTextHolds) {
    const std::string warnA = "Warning! Object 0 (a) ";
    const std::string tooFew = "Warning! Textfile has to few lines. Aborting";
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
        {"more objects than the model: cropped; a NAME line without a name",
         Lf({"EXMODE=0", "OBJECTS=5", "Object 0:", "NAME=x", "VERTEXES=2", "TEXTURES=1",
             "NAME=grass", "Object 1:", "NAME=", "VERTEXES=1", "TEXTURES=1", "NAME=stand",
             "Object 2:", "NAME=z", "VERTEXES=0", "TEXTURES=0", "Object 3:", "NAME=w"}),
         {{"Warning! Textfile has 5 Objects but the Ravfile only has 3. Cropping", 1}},
         {"x | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | Grass:1,2,3,4,5",
          "b | 7,8,9 | 0,0 | 00000000 | stand:0", "z | | | |"}},
        {"numbers the line lacks keep their value; a comma must follow a number directly",
         Lf({"EXMODE=5", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", "-1.5e1, 0x1p-2",
             "7 , 8, 9, 0.1, 0.2"}),
         {{warnA + "has a 0 Textures, the ravfile has 1. Skipping textures", 1}, {tooFew, 1}},
         {"a | -15,0.25,3 7,5,6 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5"}},
        {"placements and shading without positions",
         Lf({"EXMODE=20", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", ", 0.25, 0.75, 332211",
             ", 9, 9, 665544", "TEXTURES=1", "NAME=stand"}),
         {}, {"a | 1,2,3 4,5,6 | 0.25,0.75 | 11223304 44556608 | stand:1,2,3,4,5"}},
        {"order entries: atoi rules, low 16 bits, a short line keeps the rest",
         Lf({"EXMODE=8", "OBJECTS=2", "Object 0:", "NAME=a", "VERTEXES=2", "TEXTURES=1",
             "NAME=stand", "ORDERCOUNT=5", "ORDER= 4,5x, -1", "Object 1:", "NAME=b", "VERTEXES=1",
             "TEXTURES=1", "NAME=Grass", "ORDERCOUNT=1", "ORDER=65537, 3"}),
         {{warnA + "has 3 order entries, 5 were expected. Skipping rest", 1}},
         {"a | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | stand:4,5,65535,4,5",
          "b | 7,8,9 | 0,0 | 00000000 | Grass:1"}},
        {"a vertex count that differs: the new name stays, the object is passed over",
         ThenGood1({"Object 0:", "NAME=ay", "VERTEXES=3", "1, 1, 1, 1, 1, 111111",
                    "2, 2, 2, 2, 2, 222222", "3, 3, 3, 3, 3, 333333", "TEXTURES=2", "NAME=Grass",
                    "ORDERCOUNT=1", "ORDER=5", "NAME=Grass", "ORDERCOUNT=1", "ORDER=6"}),
         {{"Warning! Object 0 (ay) has a 3 Vertexes, the ravfile has 2. Skipping Object", 1}},
         {"ay | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5", kGood1}},
        {"a texture count that differs",
         ThenGood1({"Object 0:", "NAME=a", "VERTEXES=2", "10, 10, 10, 1, 1, 111111",
                    "20, 20, 20, 2, 2, 222222", "TEXTURES=2", "NAME=Grass", "ORDERCOUNT=5",
                    "ORDER=5, 5, 5, 5, 5", "NAME=Grass", "ORDERCOUNT=1", "ORDER=6"}),
         {{warnA + "has a 2 Textures, the ravfile has 1. Skipping textures", 1}},
         {"a | 10,10,10 20,20,20 | 1,1 | 11111104 22222208 | stand:1,2,3,4,5", kGood1}},
        {"a texture missing from the table",
         ThenGood1({"Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2", "TEXTURES=1", "NAME=sky",
                    "ORDERCOUNT=5", "ORDER=9, 9, 9, 9, 9"}),
         {{warnA + "Texture sky not in ravfile. Skipping textures", 1}},
         {"a | 1,1,1 2,2,2 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5", kGood1}},
        {"an order count that differs",
         ThenGood1({"Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2", "TEXTURES=1",
                    "NAME=Grass", "ORDERCOUNT=2", "ORDER=9, 9"}),
         {{warnA + "Textfile has 2 order entries, the rav 5. Skipping order entries", 1}},
         {"a | 1,1,1 2,2,2 | 0.5,0.5 | 01020304 05060708 | Grass:1,2,3,4,5", kGood1}},
        {"a mode without vertex lines passes over none",
         Lf({"EXMODE=8", "OBJECTS=2", "Object 0:", "NAME=a", "VERTEXES=9", "TEXTURES=1",
             "NAME=Grass", "ORDERCOUNT=5", "ORDER=9, 9, 9, 9, 9", "Object 1:", "NAME=bee",
             "VERTEXES=1", "TEXTURES=1", "NAME=stand", "ORDERCOUNT=1", "ORDER=42"}),
         {{warnA + "has a 9 Vertexes, the ravfile has 2. Skipping Object", 1}},
         {"", "bee | 7,8,9 | 0,0 | 00000000 | stand:42"}},
        {"a vertex line too short for a colour, and an ORDER line the text lacks",
         Lf({"EXMODE=24", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", ", 12", "12345",
             "TEXTURES=1", "NAME=Grass", "ORDERCOUNT=5"}),
         {{tooFew, 1}}, {"a | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | Grass:1,2,3,4,5"}},
        {"a texture NAME line without a name is not the name read before it",
         Lf({"EXMODE=0", "OBJECTS=1", "Object 0:", "NAME=stand", "VERTEXES=2", "TEXTURES=1",
             "NAME=", "Object 1:"}),
         {{"Warning! Object 0 (stand) Texture  not in ravfile. Skipping textures", 1}},
         {"stand | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | stand:1,2,3,4,5"}},
        {"count lines without a number are 0, not the count read before",
         Lf({"EXMODE=1", "OBJECTS=2", "Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2",
             "TEXTURES=1", "NAME=grass", "Object 1:", "NAME=b", "VERTEXES=", "TEXTURES=1",
             "NAME=grass"}),
         {{"Warning! Object 1 (b) has a 0 Vertexes, the ravfile has 1. Skipping Object", 1}},
         {"a | 1,1,1 2,2,2 | 0.5,0.5 | 01020304 05060708 | Grass:1,2,3,4,5"}},
        {"the text ends inside a passed-over part",
         Lf({"EXMODE=1", "OBJECTS=3", "Object 0:", "NAME=a", "VERTEXES=9", "1,1,1"}),
         {{warnA + "has a 9 Vertexes, the ravfile has 2. Skipping Object", 1}, {tooFew, 1}}, {}},
        {"an overlong line is cut, and its rest is not a line",
         Lf({"EXMODE=0", "OBJECTS=1", "Object 0:", "NAME=" + std::string(20000, 'n'), "VERTEXES=2",
             "TEXTURES=1", "NAME=Grass"}),
         {},
         {std::string(1023, 'n') +
          " | 1,2,3 4,5,6 | 0.5,0.5 | 01020304 05060708 | Grass:1,2,3,4,5"}},
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

// The line source on its own: what it passes over, where it cuts, and that
// an unterminated last line is never returned.
TEST(AsciiReadLine, ReturnsTheLinesTheReaderSees) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\nc", {"a", "b"}},  {"// x\n\n \t\r\n  t w \t\r\n//", {"t w \t"}},
        {"  x // y\n", {"x // y"}}, {"0123456789\nz\n", {"0123456", "z"}},
        {"012345\r\n", {"012345"}}, {"0123456\r\n", {"0123456"}},
        {"abc\0def\n"s, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        std::array<char, 8> buffer{};
        const char* cursor = c.text.c_str();
        while ((cursor = CAsciiFilter::ReadLine(cursor, buffer.data(), buffer.size()))) {
            lines.emplace_back(buffer.data());
        }
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_EQ(buffer, (std::array<char, 8>{})) << "the buffer was not emptied";
    }
}

} // namespace
