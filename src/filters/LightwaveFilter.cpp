#include "filters/LightwaveFilter.h"

#include "gamefiles/RavRecords.h"
#include "output/UiServices.h"

#include <algorithm>

void CLightwaveFilter::Configure() {
    // Always a message box, even with an output installed: it answers a
    // button press.
    Services().ShowMessage("No configuration");
}

bool CLightwaveFilter::HoldsQuad(const RavObject& object) {
    if (object.mesh.vertexCount != 4 || object.vertices.size() != 4) {
        return false;
    }
    return std::any_of(object.vertices.begin(), object.vertices.end(), [](const RavVertex& v) {
        return v.x != 0.0f || v.y != 0.0f || v.z != 0.0f;
    });
}
