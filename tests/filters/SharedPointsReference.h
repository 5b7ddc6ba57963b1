#pragma once

#include "gamefiles/RavRecords.h"

#include <cstddef>
#include <vector>

// The plain definition of point sharing, which CSharedPoints must match:
// the index of the first point in `points` equal to `position` by float
// comparison, or else of `position` appended to them. Quadratic over a
// whole model; the unit tests and the benchmarks compare with it.
std::size_t ReferenceSharePoint(std::vector<RavVertex>& points, const RavVertex& position);
