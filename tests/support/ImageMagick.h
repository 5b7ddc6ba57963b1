#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// ImageMagick as an outside reader of the PNG files Polyport writes. Without
// it a test says so, and fails when CI is "true".
[[nodiscard]] inline bool ImageMagickAvailable() {
    const bool there = std::system("command -v convert >/dev/null 2>&1") == 0;
    const char* ci = std::getenv("CI");
    EXPECT_TRUE(there || ci == nullptr || std::string(ci) != "true") << "CI needs ImageMagick";
    if (!there) {
        std::printf("ImageMagick (convert) is missing: the PNG files are not read back\n");
    }
    return there;
}

// The pixels ImageMagick reads from `path` as R, G, B, A bytes; empty when
// it cannot read them.
[[nodiscard]] inline std::vector<std::uint8_t> ReadWithImageMagick(const std::string& path) {
    std::vector<std::uint8_t> pixels;
    if (FILE* pipe = popen(("convert '" + path + "' -depth 8 rgba:-").c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) {
            pixels.push_back(static_cast<std::uint8_t>(c));
        }
        pclose(pipe);
    }
    return pixels;
}
