#include "tools/TplPages.h"

#include "gamefiles/FshFile.h"
#include "support/FshBuilder.h"

#include <gtest/gtest.h>

namespace {

// The View tab reads a layout back from its file, where anything may stand.
TEST(TplPages, ReadsALayoutBackAndRefusesWhatIsNone) {
    const std::string page0 = " TPAGE\r\n {\r\n  WIDTH=256\r\n  HEIGHT=256\r\n"
                              "  TSLOT\r\n  {\r\n   NAME=ab\r\n   WIDTH=8\r\n   HEIGHT=4\r\n"
                              "   UOFFSET=0\r\n   VOFFSET=0\r\n  }\r\n }\r\n";
    const std::string page1 = " TPAGE\r\n {\r\n  WIDTH=256\r\n  HEIGHT=256\r\n"
                              "  TSLOT\r\n  {\r\n   NAME=ab\r\n   WIDTH=8\r\n   HEIGHT=4\r\n"
                              "   UOFFSET=250\r\n   VOFFSET=-2\r\n  }\r\n }\r\n";
    const struct {
        std::string text;
        std::string problem; // empty: read
    } cases[] = {
        {"LAYOUT\r\n{\r\n" + page0 + page1 + "}\r\n", ""},
        {"LAYOUT\n{\n}\n", ""},
        {"LAYOUT\r\n{\r\n" + page0, "the layout has no end"},
        {"SHPI", "\"LAYOUT\" expected at line 1"},
        {"LAYOUT\r\n{\r\n" + page0.substr(0, page0.find("UOFFSET")) + "   UOFFSET=1e3\r\n", "line 12 is not a slot's field"},
    };
    for (const auto& c : cases) {
        std::vector<TplSlot> placed;
        std::int32_t pages = -1;
        std::string problem;
        EXPECT_EQ(ReadTplLayout(c.text, placed, pages, problem), c.problem.empty()) << c.text;
        EXPECT_EQ(problem, c.problem);
    }

    // Two slots of one name take the two entries of that name in order; a
    // slot placed partly off its page is cut at the page's edge.
    std::vector<TplSlot> placed;
    std::int32_t pages = 0;
    std::string problem;
    ASSERT_TRUE(ReadTplLayout(cases[0].text, placed, pages, problem));
    ASSERT_EQ(pages, 2);
    const FshImage red = MakeFshImage32(8, 4, std::vector<std::uint8_t>(8 * 4 * 4, 0x40));
    CFshFile archive;
    ASSERT_TRUE(archive.LoadBytes(MakeFshArchive({{MakeFshTag("ab"), red}, {MakeFshTag("ab"), red}},
                                                 MakeFshTag("GIMX")),
                                  "a.fsh", 1));
    MatchTplSlots(archive, placed);
    EXPECT_EQ(placed[0].entry, 0);
    EXPECT_EQ(placed[1].entry, 1);
    std::vector<std::string> problems;
    const auto composed = ComposeTplPages(archive, placed, pages, problems);
    ASSERT_EQ(composed.size(), 2u);
    auto alpha = [&](std::size_t page, int x, int y) { return composed[page][(y * 256 + x) * 4 + 3]; };
    EXPECT_EQ(alpha(0, 7, 3), 0x40);
    EXPECT_EQ(alpha(0, 8, 3), 0);
    EXPECT_EQ(alpha(1, 255, 0), 0x40);
    EXPECT_EQ(alpha(1, 255, 2), 0);
    EXPECT_TRUE(problems.empty());
}

} // namespace
