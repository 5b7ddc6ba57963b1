#include "filters/DesignWorkshopFilter.h"

#include "output/MessageBoxes.h"

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

void CDesignWorkshopFilter::Configure() {
    // Always a message box, even with an output installed: it answers the
    // user's click rather than logging a result.
    Services().ShowMessage("No configuration");
}
