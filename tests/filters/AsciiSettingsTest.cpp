#include "filters/AsciiFilter.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The dialog shows the filter's settings and, on OK, only the boxes checked
// and the accuracy read as atoi reads it, within 0..32, make the new ones.
TEST(AsciiSettings, ConfigureMapsTheDialogToTheSettings) {
    const struct {
        const char* what;
        std::function<bool(AsciiSettingsFields&)> dialog;
        std::uint32_t mode;
        std::int32_t decimals;
    } cases[] = {
        {"OK unchanged", [](AsciiSettingsFields&) { return true; }, 3, 6},
        {"cancel after changes",
         [](AsciiSettingsFields& f) {
             f = {1, 1, 1, 1, "20", 1};
             return false;
         },
         3, 6},
        {"placements only",
         [](AsciiSettingsFields& f) {
             f = {0, 1, 0, 0, "6", 0};
             return true;
         },
         4, 6},
        {"all five, accuracy 40",
         [](AsciiSettingsFields& f) {
             f = {1, 1, 1, 1, "40", 1};
             return true;
         },
         31, 32},
        {"empty accuracy",
         [](AsciiSettingsFields& f) {
             f.m_accuracy.clear();
             return true;
         },
         3, 0},
        {"digits then letters",
         [](AsciiSettingsFields& f) {
             f.m_accuracy = " 12ab";
             return true;
         },
         3, 12},
        {"negative",
         [](AsciiSettingsFields& f) {
             f.m_accuracy = "-3";
             return true;
         },
         3, 0},
        {"beyond int",
         [](AsciiSettingsFields& f) {
             f.m_accuracy = "99999999999";
             return true;
         },
         3, 32},
        {"order and shading",
         [](AsciiSettingsFields& f) {
             f = {0, 0, 0, 1, "0", 1};
             return true;
         },
         24, 0},
    };
    for (const auto& c : cases) {
        CAsciiFilter filter;
        ScriptedServices services;
        services.settingsDialog = c.dialog;
        filter.SetServices(services);
        filter.SetOutput([](const char*, int) {});
        filter.Configure();
        EXPECT_EQ(filter.ExportMode(), c.mode) << c.what;
        EXPECT_EQ(filter.Decimals(), c.decimals) << c.what;
        ASSERT_EQ(services.shownSettings.size(), 1U);
        const AsciiSettingsFields& shown = services.shownSettings[0];
        EXPECT_EQ(
            (std::vector<int>{shown.m_exportVertexes, shown.m_exportPlacements,
                              shown.m_exportTextures, shown.m_exportOrder, shown.m_exportShading}),
            (std::vector<int>{1, 0, 1, 0, 0}));
        EXPECT_EQ(shown.m_accuracy, "6");
        EXPECT_TRUE(services.boxes.empty());
    }
}

} // namespace
