#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// ImageMagick as an outside reader of the PNG files Polyport writes; for the
// test programs only (it reports through GoogleTest).

// Whether `convert` is there. Without it a test that needs it says so in a
// line, and fails when the environment variable CI is "true".
[[nodiscard]] inline bool ImageMagickAvailable() {
    if (std::system("command -v convert >/dev/null 2>&1") == 0) {
        return true;
    }
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") {
        ADD_FAILURE() << "ImageMagick (convert) is missing, and CI=true needs it";
    } else {
        std::printf("ImageMagick (convert) is missing: the PNG files are not read back\n");
    }
    return false;
}

// The pixels ImageMagick reads from `path`, as R, G, B, A bytes; empty when
// it cannot read it.
[[nodiscard]] inline std::vector<std::uint8_t> ReadWithImageMagick(const std::string& path) {
    std::vector<std::uint8_t> pixels;
    FILE* pipe = popen(("convert '" + path + "' -depth 8 rgba:-").c_str(), "r");
    if (pipe == nullptr) {
        return pixels;
    }
    std::uint8_t buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        pixels.insert(pixels.end(), buffer, buffer + n);
    }
    pclose(pipe);
    return pixels;
}
