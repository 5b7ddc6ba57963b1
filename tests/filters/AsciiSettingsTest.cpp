#include "filters/AsciiFilter.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace {

// The dialog shows the filter's settings; on OK only the boxes checked and
// the accuracy read as atoi reads it, within 0..32, make the new ones.
// Fields: vertexes, placements, textures, order, accuracy, shading.
TEST(AsciiSettings, ConfigureMapsTheDialogToTheSettings) {
    const struct {
        std::optional<AsciiSettingsFields> confirmed; // none: cancelled
        std::uint32_t mode;
        std::int32_t decimals;
    } cases[] = {
        {AsciiSettingsFields{1, 0, 1, 0, "6", 0}, 3, 6},
        {std::nullopt, 3, 6},
        {AsciiSettingsFields{1, 1, 1, 1, "40", 1}, 31, 32},
        {AsciiSettingsFields{0, 0, 0, 1, "", 1}, 24, 0},
        {AsciiSettingsFields{0, 1, 0, 0, " 12ab", 0}, 4, 12},
        {AsciiSettingsFields{1, 0, 1, 0, "-3", 0}, 3, 0},
        // Beyond int, not wrapped to its low bits (0).
        {AsciiSettingsFields{1, 0, 1, 0, "4294967296", 0}, 3, 32},
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
        filter.Configure();
        const std::string what = c.confirmed ? c.confirmed->m_accuracy : "cancel";
        EXPECT_EQ(filter.ExportMode(), c.mode) << what;
        EXPECT_EQ(filter.Decimals(), c.decimals) << what;
        ASSERT_EQ(services.shownSettings.size(), 1U);
        const AsciiSettingsFields& shown = services.shownSettings[0];
        EXPECT_EQ(std::tie(shown.m_exportVertexes, shown.m_exportPlacements, shown.m_exportTextures,
                           shown.m_exportOrder, shown.m_accuracy, shown.m_exportShading),
                  std::make_tuple(1, 0, 1, 0, "6", 0));
        EXPECT_TRUE(services.boxes.empty());
    }
}

} // namespace
