#include "filters/AsciiSettingsFields.h"

#include "filters/AsciiExportMode.h"
#include "filters/NumberText.h"

#include <algorithm>

AsciiSettingsFields FieldsFromSettings(std::uint32_t mode, std::int32_t decimals) {
    const auto has = [mode](AsciiExportFlag flag) { return (mode & flag) != 0 ? 1 : 0; };
    AsciiSettingsFields fields;
    fields.m_exportVertexes = has(ExportVertexes);
    fields.m_exportPlacements = has(ExportPlacements);
    fields.m_exportTextures = has(ExportTextures);
    fields.m_exportOrder = has(ExportOrder);
    fields.m_accuracy = std::to_string(decimals);
    fields.m_exportShading = has(ExportShading);
    return fields;
}

void SettingsFromFields(const AsciiSettingsFields& fields, std::uint32_t& mode,
                        std::int32_t& decimals) {
    const auto flag = [](int checked, AsciiExportFlag value) {
        return checked != 0 ? static_cast<std::uint32_t>(value) : 0U;
    };
    mode = flag(fields.m_exportVertexes, ExportVertexes) |
           flag(fields.m_exportPlacements, ExportPlacements) |
           flag(fields.m_exportTextures, ExportTextures) | flag(fields.m_exportOrder, ExportOrder) |
           flag(fields.m_exportShading, ExportShading);
    decimals = ClampDecimals(ParseInteger(fields.m_accuracy.c_str()));
}

std::int32_t ClampDecimals(std::int64_t decimals) {
    // A number beyond int is taken at its face value, not wrapped: 99999999999
    // means "as many as possible", not whatever its low bits say.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(decimals, 0, kAsciiMaxDecimals));
}
