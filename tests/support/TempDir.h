#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    // The UTF-8 path of `name` inside the directory.
    [[nodiscard]] std::string File(const std::string& name) const;

    // Writes `bytes` to `name` and returns its UTF-8 path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::string WriteText(const std::string& name, std::string_view text) const {
        return Write(name, {text.begin(), text.end()});
    }

private:
    std::filesystem::path m_path;
};

[[nodiscard]] std::vector<std::uint8_t> ReadBytes(const std::string& path);
[[nodiscard]] std::string ReadText(const std::string& path);
