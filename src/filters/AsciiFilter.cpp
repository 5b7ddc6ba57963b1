#include "filters/AsciiFilter.h"

#include "filters/AsciiLineReader.h"
#include "filters/AsciiSettingsFields.h"
#include "filters/FilterDialogs.h"
#include "filters/NumberText.h"

#include <charconv>
#include <cstring>

namespace {

// The flags carry their mode bit as their tag.
constexpr unsigned kModeTag = 0;
constexpr unsigned kDecimalsTag = 1 << 8;

constexpr FilterOption kOptions[] = {
    {"--mode", "ascii: the export mode as a number (default 3)", true, kModeTag},
    {"--vertexes", "ascii: mode flag 1, vertex positions", false, ExportVertexes},
    {"--textures", "ascii: mode flag 2, recorded in EXMODE only (texture names are always written)",
     false, ExportTextures},
    {"--placements", "ascii: mode flag 4, texture coordinates", false, ExportPlacements},
    {"--order", "ascii: mode flag 8, vertex orders", false, ExportOrder},
    {"--shading", "ascii: mode flag 16, vertex colours", false, ExportShading},
    {"--decimals", "ascii: decimals of every number, 0 to 32 (default 6)", true, kDecimalsTag},
};

constexpr FilterTraits kTraits{
    .key = "ascii",
    .name = "ASCII Text filter",
    .fileFilter = "ASCII files (*.txt, *.asc)|*.txt;*.asc|",
    .options = kOptions,
    .optionsSummary = "--mode, --decimals and the export flags",
};

std::optional<std::uint32_t> ParseMode(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Any whole number, however large: SetDecimals brings it into range.
std::optional<std::int64_t> ParseDecimals(const std::string& text) {
    const std::size_t sign = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (text.size() == sign || text.find_first_not_of("0123456789", sign) != std::string::npos) {
        return std::nullopt;
    }
    return ParseInteger(text.c_str());
}

const FilterOption* FindOption(std::string_view name) {
    for (const FilterOption& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

CAsciiFilter::CAsciiFilter() : CFilter(kTraits) {
}

void CAsciiFilter::Configure() {
    AsciiSettingsFields fields = FieldsFromSettings(m_exportMode, m_decimals);
    if (Dialogs().EditAsciiSettings(fields)) {
        SettingsFromFields(fields, m_exportMode, m_decimals);
    }
}

std::optional<std::string> CAsciiFilter::ApplyOptions(const FilterOptionValues& given) {
    const std::string* mode = nullptr;
    const std::string* decimals = nullptr;
    std::uint32_t flags = 0;
    for (const auto& [name, value] : given) {
        const FilterOption* option = FindOption(name);
        if (option == nullptr) {
            return CFilter::ApplyOptions({{name, value}});
        }
        if (option->tag == kModeTag) {
            mode = &value;
        } else if (option->tag == kDecimalsTag) {
            decimals = &value;
        } else {
            flags |= option->tag;
        }
    }
    // Given instead of --mode, the flags make up the whole mode.
    if (mode != nullptr && flags != 0) {
        return "--mode cannot be combined with --vertexes, --textures, --placements, --order or "
               "--shading";
    }
    std::optional<std::uint32_t> newMode;
    if (mode != nullptr) {
        newMode = ParseMode(*mode);
        if (!newMode) {
            return "--mode needs a whole number from 0 to 4294967295, not '" + *mode + "'";
        }
    } else if (flags != 0) {
        newMode = flags;
    }
    std::optional<std::int64_t> newDecimals;
    if (decimals != nullptr) {
        newDecimals = ParseDecimals(*decimals);
        if (!newDecimals) {
            return "--decimals needs a whole number, not '" + *decimals + "'";
        }
    }
    // Nothing changes unless every option was sound.
    if (newMode) {
        SetExportMode(*newMode);
    }
    if (newDecimals) {
        SetDecimals(*newDecimals);
    }
    return std::nullopt;
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
