#include "filters/AsciiFilter.h"
#include "filters/FilterTestSupport.h"

namespace {

using AsciiImportStepTest = FilterTest<CAsciiFilter>;

// Each text imported into the same model. A text out of step stops the
// import before it has changed anything here.
TEST_F(AsciiImportStepTest, StaysInStepWithTheModelOrStops) {
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
         "Skipping Object", 1}, {"Error! " + path + " line 11: expected TEXTURES= but found "
         "\"NAME=grass\". Nothing imported", 1}}, false},
        {"a random text", "Dear diary,\r\n", {{"Error! " + path + " line 1: expected EXMODE= but "
         "found \"Dear diary,\". Nothing imported", 1}}, false},
        {"comment lines only", "// one\r\n//two\r\n", {}, true},
        {"lines running out where a key is due", "EXMODE=1\r\nOBJECTS=1\r\nObject 0:\r\n",
         {{"Warning! Object 0 (a) has a 0 Vertexes, the ravfile has 2. Skipping Object", 1},
          {"Warning! Textfile has to few lines. Aborting", 1}}, true},
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
