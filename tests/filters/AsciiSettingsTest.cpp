#include "filters/AsciiFilter.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// The dialog shows the filter's settings and, on OK, only the boxes checked
// and the accuracy read as atoi reads it, within 0..32, make the new ones.
// Fields are vertexes, placements, textures, order, accuracy, shading.
TEST(AsciiSettings, ConfigureMapsTheDialogToTheSettings) {
    const AsciiSettingsFields defaults{1, 0, 1, 0, "6", 0};
    const struct {
        std::optional<AsciiSettingsFields> confirmed; // none: cancelled
        std::uint32_t mode;
        std::int32_t decimals;
    } cases[] = {
        {defaults, 3, 6},
        {std::nullopt, 3, 6},
        {AsciiSettingsFields{0, 1, 0, 0, "6", 0}, 4, 6},
        {AsciiSettingsFields{1, 1, 1, 1, "40", 1}, 31, 32},
        {AsciiSettingsFields{0, 0, 0, 1, "", 1}, 24, 0},
        {AsciiSettingsFields{1, 0, 1, 0, " 12ab", 0}, 3, 12},
        {AsciiSettingsFields{1, 0, 1, 0, "-3", 0}, 3, 0},
        {AsciiSettingsFields{1, 0, 1, 0, "99999999999", 0}, 3, 32},
    };
    for (const auto& c : cases) {
        CAsciiFilter filter;
        ScriptedServices services;
        services.settingsDialog = [&](AsciiSettingsFields& fields) {
            // A cancelled dialog may have been changed before it was closed.
            fields = c.confirmed.value_or(AsciiSettingsFields{1, 1, 1, 1, "20", 1});
            return c.confirmed.has_value();
        };
        filter.SetServices(services);
        filter.SetOutput([](const char*, int) {});
        filter.Configure();
        const std::string what = c.confirmed ? c.confirmed->m_accuracy : "cancel";
        EXPECT_EQ(filter.ExportMode(), c.mode) << what;
        EXPECT_EQ(filter.Decimals(), c.decimals) << what;
        ASSERT_EQ(services.shownSettings.size(), 1U);
        const AsciiSettingsFields& shown = services.shownSettings[0];
        EXPECT_EQ(std::tie(shown.m_exportVertexes, shown.m_exportPlacements, shown.m_exportTextures,
                           shown.m_exportOrder, shown.m_accuracy, shown.m_exportShading),
                  std::tie(defaults.m_exportVertexes, defaults.m_exportPlacements,
                           defaults.m_exportTextures, defaults.m_exportOrder, defaults.m_accuracy,
                           defaults.m_exportShading));
        EXPECT_TRUE(services.boxes.empty());
    }
}

} // namespace
