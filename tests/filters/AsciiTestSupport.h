#pragma once

#include "filters/AsciiFilter.h"
#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using Messages = std::vector<std::pair<std::string, int>>;

// Joins lines with CR LF, the way the filter writes them.
inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// A loaded RAV file and an ASCII filter whose messages, and the model's, are
// recorded in order.
class AsciiFilterTest : public ::testing::Test {
protected:
    AsciiFilterTest() {
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

    std::string Export(std::uint32_t mode, int decimals = 6) {
        filter.SetExportMode(mode);
        filter.SetDecimals(decimals);
        EXPECT_TRUE(filter.Export(textPath, &rav));
        return ReadText(textPath);
    }

    bool Import(const std::string& text) {
        std::ofstream(textPath, std::ios::binary) << text;
        return filter.Import(textPath, &rav);
    }

    TempDir dir;
    CRavFile rav;
    CAsciiFilter filter;
    Messages messages;
    std::string ravPath;
    std::string textPath = dir.File("scene.txt");
};
