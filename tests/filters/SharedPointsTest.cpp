#include "filters/SharedPoints.h"
#include "filters/SharedPointsReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

// Coordinates from a small pool, so that positions repeat, with both zeros
// and NaNs of both signs; indices and the points' bit patterns match the
// first-match scan.
TEST(SharedPoints, GivesTheIndicesOfTheFirstMatchScan) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float pool[] = {0.0f,   -0.0f, 1.0f, -2.5f,
                          1e-30f, nan,   -nan, std::numeric_limits<float>::infinity()};
    for (unsigned seed = 1; seed <= 5; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&] { return pool[random() % std::size(pool)]; };
        CSharedPoints shared;
        std::vector<RavVertex> reference;
        for (int corner = 0; corner < 4000; ++corner) {
            const RavVertex p{pick(), pick(), pick()};
            ASSERT_EQ(shared.Add(p), ReferenceSharePoint(reference, p))
                << "seed " << seed << " corner " << corner;
        }
        ASSERT_EQ(shared.Points().size(), reference.size());
        EXPECT_EQ(std::memcmp(shared.Points().data(), reference.data(),
                              reference.size() * sizeof(RavVertex)),
                  0)
            << "the points differ in their bits, seed " << seed;
    }
}

} // namespace
