#include "filters/FilterTable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Each filter announces itself with its own name when its output is
// installed; names and file-dialog texts are fixed; the spare operations
// refuse.
TEST(FilterTable, FiltersAnnounceThemselvesInTableOrder) {
    CFilterTable table;
    std::vector<std::pair<std::string, int>> lines;
    for (std::size_t i = 0; i < table.Count(); ++i) {
        table.Get(i)->SetOutput(
            [&](const char* text, int flag) { lines.emplace_back(text, flag); });
    }
    ASSERT_GE(table.Count(), 2U);
    EXPECT_EQ(lines[0], (std::pair<std::string, int>{
                            "Output from ASCII Text filter rerooted to this output", 0}));
    EXPECT_EQ(lines[1], (std::pair<std::string, int>{
                            "Output from G2 DesignWorkshop filter rerooted to this output", 0}));
    EXPECT_STREQ(table.Get(0)->GetFileFilter(), "ASCII files (*.txt, *.asc)|*.txt;*.asc|");
    EXPECT_STREQ(table.Get(1)->GetFileFilter(), "DesignWorkshop files (*.dw)|*.dw|");
    for (std::size_t i = 0; i < table.Count(); ++i) {
        EXPECT_FALSE(table.Get(i)->Reserved1(1));
        EXPECT_FALSE(table.Get(i)->Reserved2(0));
    }
    EXPECT_EQ(table.Get(CFilterTable::kSlots - 1), nullptr);
    EXPECT_EQ(table.Get(99), nullptr);
}

TEST(FilterTable, FindsFiltersByKeyAndExtension) {
    const CFilterTable table;
    const std::vector<std::pair<std::string, int>> paths = {
        {"a.txt", 0}, {"dir.txt/B.ASC", 0}, {"x.TxT", 0},   {"txt", -1}, {"a.txt.bak", -1},
        {"", -1},     {"scene.DW", 1},      {"a.dw.txt", 0}};
    for (const auto& [path, index] : paths) {
        EXPECT_EQ(table.IndexForPath(path), index) << path;
    }
    EXPECT_EQ(table.IndexForKey("ascii"), 0);
    EXPECT_EQ(table.IndexForKey("dw"), 1);
    EXPECT_EQ(table.IndexForKey("ASCII"), -1);
}

} // namespace
