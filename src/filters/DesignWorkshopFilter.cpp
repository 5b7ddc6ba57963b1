#include "filters/DesignWorkshopFilter.h"

#include "gamefiles/RavRecords.h"
#include "output/UiServices.h"

void CDesignWorkshopFilter::Configure() {
    // Always a message box, even with an output installed: it answers the
    // user's click rather than logging a result.
    Services().ShowMessage("No configuration");
}

bool CDesignWorkshopFilter::IsG2Object(const RavObject& object) {
    return object.kind == 1 && object.mesh.vertexCount == 4 &&
           object.detail.textureRecordCount == 1 && object.vertices.size() == 4 &&
           object.textureRecords.size() == 1;
}
