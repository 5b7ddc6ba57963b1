#include "filters/AsciiFilter.h"

#include "filters/AsciiLineReader.h"
#include "filters/AsciiSettingsFields.h"
#include "output/UiServices.h"

#include <cstring>

void CAsciiFilter::Configure() {
    AsciiSettingsFields fields = FieldsFromSettings(m_exportMode, m_decimals);
    if (Services().EditAsciiSettings(fields)) {
        SettingsFromFields(fields, m_exportMode, m_decimals);
    }
}

void CAsciiFilter::SetDecimals(std::int64_t decimals) {
    m_decimals = ClampDecimals(decimals);
}

const char* CAsciiFilter::ReadLine(const char* cursor, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        return nullptr;
    }
    std::memset(buffer, 0, size);
    CAsciiLineReader lines(cursor, size - 1);
    const std::string_view line = lines.Next();
    line.copy(buffer, line.size());
    return lines.Position();
}
