#include "FuzzFile.h"

#include <cstdio>
#include <filesystem>
#include <string>

std::string WriteFuzzFile(const char* name, const std::uint8_t* data, std::size_t size) {
    const auto path =
        std::filesystem::temp_directory_path() / (std::string("polyport-fuzz-") + name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path.string();
}
