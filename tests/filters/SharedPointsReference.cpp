#include "filters/SharedPointsReference.h"

std::size_t ReferenceSharePoint(std::vector<RavVertex>& points, const RavVertex& position) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const RavVertex& p = points[i];
        if (p.x == position.x && p.y == position.y && p.z == position.z) {
            return i;
        }
    }
    points.push_back(position);
    return points.size() - 1;
}
