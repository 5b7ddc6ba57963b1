#include "gamefiles/FileIo.h"

#include <climits>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
    const std::u8string text(utf8Path.begin(), utf8Path.end());
    return std::filesystem::path(text);
}

} // namespace

FilePtr OpenFile(const std::string& utf8Path, const char* mode) {
    if (utf8Path.empty()) {
        return nullptr;
    }
    const std::filesystem::path path = PathFromUtf8(utf8Path);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return nullptr;
    }
#ifdef _WIN32
    const std::string narrowMode(mode);
    const std::wstring wideMode(narrowMode.begin(), narrowMode.end());
    return FilePtr(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

bool ReadToEnd(std::FILE* file, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    constexpr std::size_t kChunk = 1 << 20;
    std::size_t used = 0;
    for (;;) {
        bytes.resize(used + kChunk);
        const std::size_t got = std::fread(bytes.data() + used, 1, kChunk, file);
        used += got;
        if (got < kChunk) {
            break;
        }
    }
    bytes.resize(used);
    bytes.shrink_to_fit();
    return std::ferror(file) == 0;
}

bool ReadWholeFile(const std::string& utf8Path, std::vector<std::uint8_t>& bytes) {
    FilePtr file = OpenFile(utf8Path, "rb");
    return file && ReadToEnd(file.get(), bytes);
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    if (offset > static_cast<std::uint64_t>(LONG_MAX)) {
        return false;
    }
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) {
        return false;
    }
    return std::fwrite(data, 1, size, file) == size;
}

bool CloseFile(FilePtr& file) {
    if (!file) {
        return false;
    }
    const bool flushed = std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    return flushed && closed;
}
