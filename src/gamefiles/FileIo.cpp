#include "gamefiles/FileIo.h"

#include <algorithm>
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
    // Size the buffer from the file's length when the stream can tell it, so
    // a large file is read with one allocation and one read.
    const long start = std::ftell(file);
    if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        if (std::fseek(file, start, SEEK_SET) != 0) {
            return false;
        }
        if (end > start) {
            bytes.resize(static_cast<std::size_t>(end - start));
        }
    }
    std::size_t used = std::fread(bytes.data(), 1, bytes.size(), file);
    if (used < bytes.size()) {
        bytes.resize(used);
        return std::ferror(file) == 0;
    }
    // Whatever the length said, read on to the real end of the file.
    const int next = std::fgetc(file);
    if (next == EOF) {
        return std::ferror(file) == 0;
    }
    bytes.push_back(static_cast<std::uint8_t>(next));
    ++used;
    constexpr std::size_t kChunk = 1 << 16;
    for (;;) {
        if (bytes.size() - used < kChunk) {
            bytes.resize(std::max(bytes.size() * 2, used + kChunk));
        }
        const std::size_t wanted = bytes.size() - used;
        const std::size_t got = std::fread(bytes.data() + used, 1, wanted, file);
        used += got;
        if (got < wanted) {
            break;
        }
    }
    bytes.resize(used);
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
