#pragma once

#include <cstdint>
#include <string>

// The fields of the "ASCII Filter Settings" dialog: five checkboxes (0 or 1)
// and the accuracy text. The dialog only shows and edits them; turning them
// into export settings and back is done here, so that the window and the
// tests share one behaviour.
struct AsciiSettingsFields {
    int m_exportVertexes = 0;
    int m_exportPlacements = 0;
    int m_exportTextures = 0;
    int m_exportOrder = 0;
    std::string m_accuracy;
    int m_exportShading = 0;
};

// The fields that show `mode` and `decimals`.
[[nodiscard]] AsciiSettingsFields FieldsFromSettings(std::uint32_t mode, std::int32_t decimals);

// What the fields confirmed with OK mean: the mode is made of the checked
// boxes alone, the decimals are the accuracy text read as atoi reads it and
// brought into 0..32.
void SettingsFromFields(const AsciiSettingsFields& fields, std::uint32_t& mode,
                        std::int32_t& decimals);

// Brings a number of decimals into 0..32.
[[nodiscard]] std::int32_t ClampDecimals(std::int64_t decimals);
