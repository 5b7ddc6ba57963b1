#include "filters/AsciiFilter.h"
#include "filters/FilterTestSupport.h"

namespace {

using AsciiImportStepTest = FilterTest<CAsciiFilter>;

// Each text imported into the same model, whose object 0 has more vertices
// than uvs and holds an order entry (9) beyond its vertices already. A text
// out of step stops the import before it has changed anything here.
TEST_F(AsciiImportStepTest, StaysInStepWithTheModelOrStops) {
    const std::string warn = "Warning! " + exchange + " line ";
    // Object 0 alone, after the EXMODE line: its next line is line 6.
    const std::string one = "\r\nOBJECTS=1\r\nObject 0:\r\nNAME=a\r\nVERTEXES=2\r\n";
    const std::string uvsColours = " | 0.5,0.5 | 01020304 05060708 | ";
    const struct {
        const char* what;
        std::string text;
        Messages messages;
        bool imported;
        std::string object0 = ""; // "": as loaded
        std::string object1 = "";
    } cases[] = {
        // clang-format off
        {"a byte-order mark, a VERTEXES count edited with its lines", "\xEF\xBB\xBF" + Join({
         "EXMODE=1", "OBJECTS=2", "Object 0:", "NAME=ay", "VERTEXES=1", "1, 1, 1", "TEXTURES=0",
         "Object 1:", "NAME=bee", "VERTEXES=1", "7, 8, 0", "TEXTURES=1", "NAME=stand"}),
         {{"Warning! Object 0 (ay) has a 1 Vertexes, the ravfile has 2. Skipping Object", 1}}, true,
         "ay | 1,2,3 4,5,6" + uvsColours + "stand:9,0,1", "bee | 7,8,0 | | | stand:0"},
        {"a VERTEXES count edited alone: no TEXTURES= where due", Join({"// edited", "EXMODE=1",
         "OBJECTS=1", "", "Object 0:", "NAME=a", "VERTEXES=3", "1, 1, 1", "2, 2, 2", "TEXTURES=1",
         "\t\tNAME=grass"}), {{"Warning! Object 0 (a) has a 3 Vertexes, the ravfile has 2. "
         "Skipping Object", 1}, {"Error! " + exchange + " line 11: expected TEXTURES= but found "
         "\"NAME=grass\". Nothing imported", 1}}, false},
        {"numbers that are not finite", "EXMODE=5" + one + Join({"nan, 20, -inf, 1e39, 0.75",
         "4, 5, 6, nan, 0", "TEXTURES=1", "NAME=stand"}),
         {{warn + "6: nan is not a finite number; the old x kept", 1}, {warn + "6: -inf is not a "
          "finite number; the old z kept", 1}, {warn + "6: 1e39 is not a finite number; the old u "
          "kept", 1}}, true, "a | 1,20,3 4,5,6 | 0.5,0.75 | 01020304 05060708 | stand:9,0,1"},
        {"order entries", "EXMODE=8" + one + Join({"TEXTURES=1", "NAME=stand", "ORDERCOUNT=3",
         "ORDER=9, -1, 5"}), {{warn + "9: order entry 5 is out of range; Object 0 (a) has 2 "
         "Vertexes", 1}}, true, "a | 1,2,3 4,5,6" + uvsColours + "stand:9,65535,5"},
        {"a decimal comma, a number missing, colours too long and too short", "EXMODE=17" + one +
         Join({"-2520,5, 20, 30, 10A0B0C", "40, 50, 0a0b0", "TEXTURES=1", "NAME=stand"}),
         {{warn + "6: EXMODE=17 writes 3 numbers, the line has 4; a decimal comma splits a "
           "number in two, write 0.5, not 0,5", 1}, {warn + "6: colour \"10A0B0C\" is not six "
           "hexadecimal digits", 1}, {warn + "7: EXMODE=17 writes 3 numbers, the line has 2", 1},
          {warn + "7: colour \"0a0b0\" is not six hexadecimal digits", 1}}, true,
         "a | -2520,5,20 40,50,0 | 0.5,0.5 | 0c0b0a04 b0a00008 | stand:9,0,1"},
    };
    const RavBuilder scene{.textures = {"grass", "stand"}, .objects = {
        {.name = "a", .vertices = {{1, 2, 3}, {4, 5, 6}}, .uvs = {{0.5f, 0.5f}}, .colours = {{1, 2,
         3, 4}, {5, 6, 7, 8}}, .textureRecords = {RavBuilder::Record(1, {9, 0, 1})}},
        {.name = "b", .vertices = {{7, 8, 9}}, .textureRecords = {RavBuilder::Record(0, {0})}}}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadScene(scene);
        const std::string loaded[] = {Summary(rav, 0), Summary(rav, 1)};
        EXPECT_EQ(Import(c.text), c.imported);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(Summary(rav, 0), c.object0.empty() ? loaded[0] : c.object0);
        EXPECT_EQ(Summary(rav, 1), c.object1.empty() ? loaded[1] : c.object1);
    }
}

} // namespace
