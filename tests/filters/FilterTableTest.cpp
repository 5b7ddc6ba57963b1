#include "filters/FilterTable.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Each filter announces itself with its own name when its output is
// installed; names and file-dialog texts are fixed; the spare operations
// refuse; the filters without settings say so in a message box, even while
// their output goes to a log.
TEST(FilterTable, FiltersAnnounceThemselvesInTableOrder) {
    const struct {
        const char* name;
        const char* fileFilter;
        bool configurable;
    } filters[] = {
        {"ASCII Text filter", "ASCII files (*.txt, *.asc)|*.txt;*.asc|", true},
        {"G2 DesignWorkshop filter", "DesignWorkshop files (*.dw)|*.dw|", false},
        {"G2 Lightwave filter", "Lightwave (*.lwo)|*.lwo|", false},
    };
    CFilterTable table;
    ASSERT_EQ(table.Count(), std::size(filters));
    for (std::size_t i = 0; i < std::size(filters); ++i) {
        SCOPED_TRACE(filters[i].name);
        CFilter& filter = *table.Get(i);
        ScriptedServices services;
        std::vector<std::pair<std::string, int>> lines;
        filter.SetServices(services);
        filter.SetOutput([&](const char* text, int flag) { lines.emplace_back(text, flag); });
        EXPECT_EQ(
            lines,
            (std::vector<std::pair<std::string, int>>{
                {"Output from " + std::string(filters[i].name) + " rerooted to this output", 0}}));
        EXPECT_STREQ(filter.GetName(), filters[i].name);
        EXPECT_STREQ(filter.GetFileFilter(), filters[i].fileFilter);
        EXPECT_FALSE(filter.Reserved1(1));
        EXPECT_FALSE(filter.Reserved2(0));
        if (!filters[i].configurable) {
            filter.Configure();
            EXPECT_EQ(services.boxes, std::vector<std::string>{"No configuration"});
            EXPECT_EQ(lines.size(), 1U);
        }
    }
    EXPECT_EQ(table.Get(CFilterTable::kSlots - 1), nullptr);
    EXPECT_EQ(table.Get(99), nullptr);
}

TEST(FilterTable, FindsFiltersByKeyAndExtension) {
    const CFilterTable table;
    const std::vector<std::pair<std::string, int>> paths = {
        {"a.txt", 0}, {"dir.txt/B.ASC", 0}, {"x.TxT", 0},    {"txt", -1},  {"a.txt.bak", -1},
        {"", -1},     {"scene.DW", 1},      {"a.dw.txt", 0}, {"m.lwo", 2}, {"M.LWO", 2}};
    for (const auto& [path, index] : paths) {
        EXPECT_EQ(table.IndexForPath(path), index) << path;
    }
    const std::vector<std::pair<std::string, int>> keys = {
        {"ascii", 0}, {"dw", 1}, {"lwo", 2}, {"ASCII", -1}, {"", -1}};
    for (const auto& [key, index] : keys) {
        EXPECT_EQ(table.IndexForKey(key), index) << key;
    }
}

} // namespace
