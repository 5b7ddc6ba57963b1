#pragma once

#include "filters/FilterTestSupport.h"
#include "filters/LightwaveFilter.h"

using LightwaveTest = FilterTest<CLightwaveFilter>;

// The rectangles of tests/data/lwo/two-rectangles.lwo as objects 0 and 3,
// among objects the file leaves out: a triangle, a four-vertex object at
// the origin (with a -0) and a single vertex of another kind.
inline RavBuilder TwoRectangles() {
    return {.objects = {
                {.name = "a", .vertices = {{1.5f, 2, -3}, {4, 2, -3}, {4, 0, -3}, {1.5f, 0, -3}}},
                {.name = "tri", .vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}},
                {.name = "zero", .vertices = {{}, {0, -0.0f, 0}, {}, {}}},
                {.name = "b", .vertices = {{4, -0.0f, -3}, {4, 2, -3}, {7, 2, -3}, {7, 0, -3}}},
                {.name = "mark", .kind = 0, .vertices = {{5, 5, 5}}}}};
}
