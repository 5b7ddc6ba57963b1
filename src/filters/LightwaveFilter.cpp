#include "filters/LightwaveFilter.h"

namespace {

constexpr FilterTraits kTraits{
    .key = "lwo",
    .name = "G2 Lightwave filter",
    .fileFilter = "Lightwave (*.lwo)|*.lwo|",
    .options = {},
    .optionsSummary = "",
};

} // namespace

CLightwaveFilter::CLightwaveFilter() : CFilter(kTraits) {
}
