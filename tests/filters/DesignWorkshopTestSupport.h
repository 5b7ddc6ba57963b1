#pragma once

#include "filters/DesignWorkshopFilter.h"
#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

using Messages = std::vector<std::pair<std::string, int>>;

// A G2 object: four corners and one texture record.
inline RavBuilder::Object Quad(const std::string& name, std::vector<RavBuilder::Vertex> corners,
                               std::int32_t texture) {
    return {.name = name,
            .vertices = std::move(corners),
            .textureRecords = {RavBuilder::Record(texture, {0, 1, 2, 3})}};
}

// A loaded RAV file and a DesignWorkshop filter whose messages, and the
// model's, are recorded in order.
class DesignWorkshopTest : public ::testing::Test {
protected:
    DesignWorkshopTest() {
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

    bool Import(const std::string& text) {
        std::ofstream(dwPath, std::ios::binary) << text;
        return filter.Import(dwPath, &rav);
    }

    TempDir dir;
    CRavFile rav;
    CDesignWorkshopFilter filter;
    Messages messages;
    std::string ravPath;
    std::string dwPath = dir.File("scene.dw");
};
