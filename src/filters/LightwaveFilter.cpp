#include "filters/LightwaveFilter.h"

#include "output/MessageBoxes.h"

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

void CLightwaveFilter::Configure() {
    // Always a message box, even with an output installed: it answers a
    // button press.
    Services().ShowMessage("No configuration");
}
