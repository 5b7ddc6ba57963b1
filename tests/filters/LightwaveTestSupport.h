#pragma once

#include "filters/LightwaveFilter.h"
#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using Messages = std::vector<std::pair<std::string, int>>;

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

// A loaded RAV file and a Lightwave filter whose messages, and the model's,
// are recorded in order.
class LightwaveFilterTest : public ::testing::Test {
protected:
    LightwaveFilterTest() {
        const auto record = [this](const char* text, int flag) {
            messages.emplace_back(text, flag);
        };
        rav.SetOutput(record);
        filter.SetOutput(record);
        messages.clear();
    }

    void LoadScene(const RavBuilder& scene) {
        ravPath = dir.Write("scene.rav", scene.Build().image.Bytes());
        ASSERT_TRUE(rav.Load(ravPath));
        messages.clear();
    }

    TempDir dir;
    CRavFile rav;
    CLightwaveFilter filter;
    Messages messages;
    std::string ravPath;
    std::string lwoPath = dir.File("scene.lwo");
};
