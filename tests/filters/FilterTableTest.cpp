#include "filters/FilterTable.h"
#include "support/ScriptedServices.h"

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
    for (std::size_t i = 0; i < CFilterTable::kSlots; ++i) {
        if (table.Get(i) != nullptr) {
            table.Get(i)->SetOutput(
                [&](const char* text, int flag) { lines.emplace_back(text, flag); });
        }
    }
    ASSERT_GE(table.Count(), 1U);
    EXPECT_EQ(lines.front(), (std::pair<std::string, int>{
                                 "Output from ASCII Text filter rerooted to this output", 0}));
    EXPECT_EQ(lines.back(), (std::pair<std::string, int>{
                                "Output from G2 Lightwave filter rerooted to this output", 0}));
    EXPECT_STREQ(table.Get(0)->GetFileFilter(), "ASCII files (*.txt, *.asc)|*.txt;*.asc|");
    EXPECT_FALSE(table.Get(0)->Reserved1(1));
    EXPECT_FALSE(table.Get(0)->Reserved2(0));
    EXPECT_STREQ(table.Get(2)->GetName(), "G2 Lightwave filter");
    EXPECT_STREQ(table.Get(2)->GetFileFilter(), "Lightwave (*.lwo)|*.lwo|");
    EXPECT_EQ(table.Get(CFilterTable::kSlots - 1), nullptr);
    EXPECT_EQ(table.Get(99), nullptr);
}

TEST(FilterTable, FindsFiltersByKeyAndExtension) {
    const CFilterTable table;
    const std::vector<std::pair<std::string, int>> paths = {
        {"a.txt", 0}, {"dir.txt/B.ASC", 0}, {"x.TxT", 0},
        {"txt", -1},  {"a.txt.bak", -1},    {"", -1},
        {"m.lwo", 2}, {"M.LWO", 2},         {"a.dw", table.Get(1) != nullptr ? 1 : -1}};
    for (const auto& [path, index] : paths) {
        EXPECT_EQ(table.IndexForPath(path), index) << path;
    }
    EXPECT_EQ(table.IndexForKey("ascii"), 0);
    EXPECT_EQ(table.IndexForKey("ASCII"), -1);
    EXPECT_EQ(table.IndexForKey("lwo"), 2);
}

// The Lightwave filter has nothing to configure and says so in a message
// box, even when its output goes to the log.
TEST(FilterTable, LightwaveConfigureShowsAMessageBox) {
    CFilterTable table;
    ScriptedServices services;
    CFilter& lightwave = *table.Get(2);
    lightwave.SetServices(services);
    lightwave.SetOutput([](const char*, int) {});
    lightwave.Configure();
    EXPECT_EQ(services.boxes, std::vector<std::string>{"No configuration"});
}

} // namespace
