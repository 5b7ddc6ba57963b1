#include "filters/ObjFilter.h"

namespace {

constexpr FilterOption kOptions[] = {
    {"--fsh", "obj: also write the textures' images from this FSH archive as PNG files", true},
};

constexpr FilterTraits kTraits{
    .key = "obj",
    .name = "Wavefront OBJ filter",
    .fileFilter = "Wavefront OBJ (*.obj)|*.obj|",
    .options = kOptions,
    .optionsSummary = "--fsh",
};

} // namespace

CObjFilter::CObjFilter() : CFilter(kTraits) {
}

std::optional<std::string> CObjFilter::ApplyOptions(const FilterOptionValues& given) {
    m_fshPath.clear();
    for (const auto& [name, value] : given) {
        if (name != kOptions[0].name) {
            return CFilter::ApplyOptions({{name, value}});
        }
        m_fshPath = value;
    }
    return std::nullopt;
}
