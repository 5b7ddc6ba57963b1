#pragma once

#include "gamefiles/RavFile.h"
#include "output/OutputFn.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using Messages = std::vector<std::pair<std::string, int>>;

// An output that appends every message to `log`, flags kept.
inline OutputFn LogInto(Messages& log) {
    return [&log](const char* text, int flag, Severity) { log.emplace_back(text, flag); };
}
using Words = std::vector<std::uint32_t>;

constexpr auto U = [](std::int64_t value) { return static_cast<std::uint32_t>(value); };

inline std::string InvalidRav(const std::string& path, const std::string& section) {
    return path + " is not a valid RAV file (or a new format) [Section: " + section + "]";
}

// Something in every section: two textures behind one skipped record, a
// textured geometry object, an object of another kind, and a geometry object
// with two texture records. No box is the one Save computes.
inline RavBuilder SampleScene() {
    return {.textures = {"grass01", "Stand_A"},
            .objects = {{.name = "Pitch",
                         .vertices = {{10, -5, 3}, {-1, 7, 0}, {4.5f, 0.25f, -8}},
                         .textureRecords = {RavBuilder::Record(0, {0, 1, 2}, 0x11)},
                         .tag = 0xD000},
                        {.name = "Marker", .kind = 0, .vertices = {{1, 1, 1}}, .tag = 0xE000},
                        {.name = "Stand",
                         .vertices = {{0, 0, 1}, {2, 3, 4}, {5, 6, 7}, {8, 9, 10}},
                         .uvs = {{0, 0}, {1, 1}, {0, 1}, {1, 0}},
                         .colours = {{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}},
                         .textureRecords = {RavBuilder::Record(1, {0, 1, 2}, 0x22),
                                            RavBuilder::Record(0, {2, 3, 0, 1}, 0x33)},
                         .boxMin = {7, 7, 7}}},
            .recordSkip = 1};
}

// A RAV file in a temporary folder, with every message it sends recorded.
class RavFileTest : public ::testing::Test {
protected:
    RavFileTest() { rav.SetOutput(LogInto(messages)); }

    // Writes `image` and loads it; `messages` holds those of the load.
    bool Load(const ByteImage& image, const std::string& name = "scene.rav") {
        path = dir.Write(name, image.Bytes());
        messages.clear();
        return rav.Load(path);
    }
    void LoadOk(const ByteImage& image, const std::string& name = "scene.rav") {
        EXPECT_TRUE(Load(image, name));
        EXPECT_EQ(messages, Messages{});
    }

    TempDir dir;
    CRavFile rav;
    Messages messages;
    std::string path; // of the file loaded last
};
