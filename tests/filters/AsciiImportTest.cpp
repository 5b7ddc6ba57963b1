#include "filters/AsciiTestSupport.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Lf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Object 0 with more vertices than uvs, object 1 with one of each, object 2
// of another kind; two texture names that differ only in case.
RavBuilder ImportScene() {
    return {.textures = {"Grass", "GRASS", "stand"},
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
                        {.name = "c", .kind = 2}}};
}

// Object 1 as mode 31 writes it, with values the scene does not hold: what
// a test expects to arrive after a part of object 0 was passed over.
const std::vector<std::string> kGoodObject1 = {
    "Object 1:",  "NAME=bee",   "VERTEXES=1",   "70, 80, 90, 0.25, 0.75, 0A0B0C",
    "TEXTURES=1", "NAME=stand", "ORDERCOUNT=1", "ORDER=42"};

void ExpectGoodObject1(CRavFile& rav) {
    const RavObject& b = *rav.GetObject(1);
    EXPECT_EQ(b.name, "bee");
    EXPECT_EQ(b.vertices[0].x, 70);
    EXPECT_EQ(b.vertices[0].z, 90);
    EXPECT_EQ(b.uvs[0].v, 0.75f);
    EXPECT_EQ(b.colours[0], (RavColour{0x0C, 0x0B, 0x0A, 0}));
    EXPECT_EQ(b.textureRecords[0].textureRef, rav.GetTexture(2)->textureRef);
    EXPECT_EQ(b.orders[0], std::vector<std::uint16_t>{42});
}

// Object 0 of a mode-31 text up to its texture section, as given, followed
// by the good object 1.
std::string WithGoodObject1(const std::vector<std::string>& object0) {
    std::vector<std::string> lines{"EXMODE=31", "OBJECTS=2"};
    lines.insert(lines.end(), object0.begin(), object0.end());
    lines.insert(lines.end(), kGoodObject1.begin(), kGoodObject1.end());
    return Lf(lines);
}

const std::string kWarnA = "Warning! Object 0 (a) ";

struct ImportCase {
    const char* what;
    std::string text;
    Messages messages;
    std::function<void(CRavFile&)> check;
};

TEST_F(AsciiFilterTest, ImportAppliesWhatTheTextHolds) {
    const auto a = [](CRavFile& rav) -> RavObject& { return *rav.GetObject(0); };
    const ImportCase cases[] = {
        {"comments only",
         "// one\n//two\n\n",
         {},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).name, "a");
             EXPECT_EQ(a(rav).vertices[0].x, 1);
         }},
        {"white space, comments, LF and CR LF; the last line has no line end",
         "  // header\r\nEXMODE=17\r\n\r\n \t OBJECTS=1\nObject 0:\n// between\n\t  NAME=first  "
         "second\n\t\t\nVERTEXES=2\n 9, 8,7, 0A0B0C\n6,5,4,\t0D0E0F\r\nTEXTURES=1\nNAME=STAND\n"
         "[End of file]",
         {},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).name, "first");
             EXPECT_EQ(a(rav).vertices[0].x, 9);
             EXPECT_EQ(a(rav).vertices[1].z, 4);
             EXPECT_EQ(a(rav).colours[0], (RavColour{0x0C, 0x0B, 0x0A, 4}));
             EXPECT_EQ(a(rav).colours[1], (RavColour{0x0F, 0x0E, 0x0D, 8}));
             EXPECT_EQ(a(rav).textureRecords[0].textureRef, rav.GetTexture(2)->textureRef);
         }},
        {"more objects than the model: cropped",
         Lf({"EXMODE=0", "OBJECTS=5", "Object 0:", "NAME=x", "VERTEXES=2", "TEXTURES=1",
             "NAME=grass", "Object 1:", "NAME=y", "VERTEXES=1", "TEXTURES=1", "NAME=gRaSs",
             "Object 2:", "NAME=z", "VERTEXES=0", "TEXTURES=0", "Object 3:", "NAME=w"}),
         {{"Warning! Textfile has 5 Objects but the Ravfile only has 3. Cropping", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(rav.GetObject(2)->name, "z");
             // The first of the names that differ only in case.
             EXPECT_EQ(a(rav).textureRecords[0].textureRef, rav.GetTexture(0)->textureRef);
         }},
        {"numbers the line lacks keep their value; a comma must follow a number directly",
         Lf({"EXMODE=5", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", "-1.5e1, 0x1p-2",
             "7 , 8, 9, 0.1, 0.2"}),
         {{kWarnA + "has a 0 Textures, the ravfile has 1. Skipping textures", 1},
          {"Warning! Textfile has to few lines. Aborting", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).vertices[0].x, -15);
             EXPECT_EQ(a(rav).vertices[0].y, 0.25f);
             EXPECT_EQ(a(rav).vertices[0].z, 3);
             EXPECT_EQ(a(rav).uvs[0].u, 0.5f);
             EXPECT_EQ(a(rav).vertices[1].x, 7);
             EXPECT_EQ(a(rav).vertices[1].y, 5);
         }},
        {"placements and shading without positions",
         Lf({"EXMODE=20", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", ", 0.25, 0.75, 332211",
             ", 9, 9, 665544", "TEXTURES=1", "NAME=stand"}),
         {},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).vertices[0].x, 1);
             EXPECT_EQ(a(rav).uvs[0].u, 0.25f);
             EXPECT_EQ(a(rav).uvs[0].v, 0.75f);
             EXPECT_EQ(a(rav).colours[0], (RavColour{0x11, 0x22, 0x33, 4}));
             EXPECT_EQ(a(rav).colours[1], (RavColour{0x44, 0x55, 0x66, 8}));
         }},
        {"order entries: atoi rules, low 16 bits, a short line keeps the rest",
         Lf({"EXMODE=8", "OBJECTS=2", "Object 0:", "NAME=a", "VERTEXES=2", "TEXTURES=1",
             "NAME=stand", "ORDERCOUNT=5", "ORDER= 4,5x, -1", "Object 1:", "NAME=b", "VERTEXES=1",
             "TEXTURES=1", "NAME=Grass", "ORDERCOUNT=1", "ORDER=65537, 3"}),
         {{kWarnA + "has 3 order entries, 5 were expected. Skipping rest", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).orders[0], (std::vector<std::uint16_t>{4, 5, 0xFFFF, 4, 5}));
             EXPECT_EQ(rav.GetObject(1)->orders[0], std::vector<std::uint16_t>{1});
         }},
        {"a vertex count that differs: the new name stays, the object is passed over",
         WithGoodObject1({"Object 0:", "NAME=ay", "VERTEXES=3", "1, 1, 1, 1, 1, 111111",
                          "2, 2, 2, 2, 2, 222222", "3, 3, 3, 3, 3, 333333", "TEXTURES=2",
                          "NAME=Grass", "ORDERCOUNT=1", "ORDER=5", "NAME=Grass", "ORDERCOUNT=1",
                          "ORDER=6"}),
         {{"Warning! Object 0 (ay) has a 3 Vertexes, the ravfile has 2. Skipping Object", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).name, "ay");
             EXPECT_EQ(a(rav).vertices[0].x, 1);
             ExpectGoodObject1(rav);
         }},
        {"a texture count that differs",
         WithGoodObject1({"Object 0:", "NAME=a", "VERTEXES=2", "10, 10, 10, 1, 1, 111111",
                          "20, 20, 20, 2, 2, 222222", "TEXTURES=2", "NAME=Grass", "ORDERCOUNT=5",
                          "ORDER=5, 5, 5, 5, 5", "NAME=Grass", "ORDERCOUNT=1", "ORDER=6"}),
         {{kWarnA + "has a 2 Textures, the ravfile has 1. Skipping textures", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).vertices[1].x, 20);
             EXPECT_EQ(a(rav).orders[0], (std::vector<std::uint16_t>{1, 2, 3, 4, 5}));
             ExpectGoodObject1(rav);
         }},
        {"a texture missing from the table, and the empty name of a missing texture",
         WithGoodObject1({"Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2", "TEXTURES=1",
                          "NAME=sky", "ORDERCOUNT=5", "ORDER=9, 9, 9, 9, 9"}),
         {{kWarnA + "Texture sky not in ravfile. Skipping textures", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).orders[0], (std::vector<std::uint16_t>{1, 2, 3, 4, 5}));
             EXPECT_EQ(a(rav).textureRecords[0].textureRef, rav.GetTexture(2)->textureRef);
             ExpectGoodObject1(rav);
         }},
        {"a NAME line without a name leaves the name alone",
         Lf({"EXMODE=0", "OBJECTS=1", "Object 0:", "NAME=", "VERTEXES=2", "TEXTURES=1",
             "NAME=Grass"}),
         {},
         [&](CRavFile& rav) { EXPECT_EQ(a(rav).name, "a"); }},
        {"a mode without vertex lines passes over none",
         Lf({"EXMODE=8", "OBJECTS=2", "Object 0:", "NAME=a", "VERTEXES=9", "TEXTURES=1",
             "NAME=Grass", "ORDERCOUNT=5", "ORDER=9, 9, 9, 9, 9", "Object 1:", "NAME=bee",
             "VERTEXES=1", "TEXTURES=1", "NAME=stand", "ORDERCOUNT=1", "ORDER=42"}),
         {{"Warning! Object 0 (a) has a 9 Vertexes, the ravfile has 2. Skipping Object", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(rav.GetObject(1)->name, "bee");
             EXPECT_EQ(rav.GetObject(1)->orders[0], std::vector<std::uint16_t>{42});
         }},
        {"a vertex line too short for a colour, and an ORDER line the text lacks",
         Lf({"EXMODE=24", "OBJECTS=1", "Object 0:", "NAME=a", "VERTEXES=2", ", 12", "12345",
             "TEXTURES=1", "NAME=Grass", "ORDERCOUNT=5"}),
         {{"Warning! Textfile has to few lines. Aborting", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).colours[0], (RavColour{1, 2, 3, 4}));
             EXPECT_EQ(a(rav).colours[1], (RavColour{5, 6, 7, 8}));
             EXPECT_EQ(a(rav).orders[0], (std::vector<std::uint16_t>{1, 2, 3, 4, 5}));
         }},
        {"an order count that differs",
         WithGoodObject1({"Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2", "TEXTURES=1",
                          "NAME=Grass", "ORDERCOUNT=2", "ORDER=9, 9"}),
         {{kWarnA + "Textfile has 2 order entries, the rav 5. Skipping order entries", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).textureRecords[0].textureRef, rav.GetTexture(0)->textureRef);
             EXPECT_EQ(a(rav).orders[0], (std::vector<std::uint16_t>{1, 2, 3, 4, 5}));
             ExpectGoodObject1(rav);
         }},
        {"a texture NAME line without a name is not the name read before it",
         Lf({"EXMODE=0", "OBJECTS=1", "Object 0:", "NAME=stand", "VERTEXES=2", "TEXTURES=1",
             "NAME=", "Object 1:"}),
         {{"Warning! Object 0 (stand) Texture  not in ravfile. Skipping textures", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).textureRecords[0].textureRef, rav.GetTexture(2)->textureRef);
         }},
        {"count lines without a number are 0, not the count read before",
         Lf({"EXMODE=1", "OBJECTS=2", "Object 0:", "NAME=a", "VERTEXES=2", "1,1,1", "2,2,2",
             "TEXTURES=1", "NAME=grass", "Object 1:", "NAME=b", "VERTEXES=", "TEXTURES=1",
             "NAME=grass"}),
         {{"Warning! Object 1 (b) has a 0 Vertexes, the ravfile has 1. Skipping Object", 1}},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).vertices[1].x, 2);
             EXPECT_EQ(rav.GetObject(1)->vertices[0].x, 7);
         }},
        {"the text ends inside a passed-over part",
         Lf({"EXMODE=1", "OBJECTS=3", "Object 0:", "NAME=a", "VERTEXES=9", "1,1,1"}),
         {{"Warning! Object 0 (a) has a 9 Vertexes, the ravfile has 2. Skipping Object", 1},
          {"Warning! Textfile has to few lines. Aborting", 1}},
         [&](CRavFile& rav) { EXPECT_EQ(rav.GetObject(1)->name, "b"); }},
        {"an overlong line is cut, and its rest is not a line",
         Lf({"EXMODE=0", "OBJECTS=1", "Object 0:", "NAME=" + std::string(20000, 'n'), "VERTEXES=2",
             "TEXTURES=1", "NAME=Grass"}),
         {},
         [&](CRavFile& rav) {
             EXPECT_EQ(a(rav).name, std::string(1023, 'n'));
             EXPECT_EQ(a(rav).textureRecords[0].textureRef, rav.GetTexture(0)->textureRef);
         }},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.what);
        LoadScene(ImportScene());
        EXPECT_TRUE(Import(c.text));
        EXPECT_EQ(messages, c.messages);
        c.check(rav);
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
