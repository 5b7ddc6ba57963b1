#include "filters/DesignWorkshopFilter.h"

namespace {

constexpr FilterTraits kTraits{
    .key = "dw",
    .name = "G2 DesignWorkshop filter",
    .fileFilter = "DesignWorkshop files (*.dw)|*.dw|",
    .options = {},
    .optionsSummary = "",
};

} // namespace

CDesignWorkshopFilter::CDesignWorkshopFilter() : CFilter(kTraits) {
}
