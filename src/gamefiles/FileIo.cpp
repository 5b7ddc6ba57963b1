#include "gamefiles/FileIo.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

// Positions beyond 2 GiB need the 64-bit calls where long has 32 bits.
std::int64_t Tell(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return std::ftell(file);
#endif
}

bool Seek(std::FILE* file, std::int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(file, offset, origin) == 0;
#else
    return offset <= LONG_MAX && std::fseek(file, static_cast<long>(offset), origin) == 0;
#endif
}

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
    const std::u8string text(utf8Path.begin(), utf8Path.end());
    return std::filesystem::path(text);
}

} // namespace

FilePtr OpenFile(const std::string& utf8Path, const char* mode) {
    if (utf8Path.empty()) {
        return nullptr;
    }
    std::filesystem::path path;
    try {
        path = PathFromUtf8(utf8Path);
    } catch (const std::exception&) {
        // Not valid UTF-8 where the platform needs to convert it.
        return nullptr;
    }
    // Only regular files: a folder, a device or a pipe is never a game file,
    // and reading one to its end may never finish.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
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

bool RemoveFile(const std::string& utf8Path) {
    std::error_code error;
    try {
        return std::filesystem::remove(PathFromUtf8(utf8Path), error);
    } catch (const std::exception&) {
        return false;
    }
}

bool ReadToEnd(std::FILE* file, std::vector<std::uint8_t>& bytes, std::size_t spare) {
    // Size the buffer from the file's length when the stream can tell it, so
    // a large file is read with one allocation and one read. The old contents
    // are overwritten, not cleared first: a buffer that already has the
    // file's size is then read into without being zero-filled.
    const std::int64_t start = Tell(file);
    if (start >= 0 && Seek(file, 0, SEEK_END)) {
        const std::int64_t end = Tell(file);
        if (!Seek(file, start, SEEK_SET)) {
            return false;
        }
        const auto size = static_cast<std::size_t>(std::max<std::int64_t>(end - start, 0));
        bytes.reserve(size + spare);
        bytes.resize(size);
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
    bytes.reserve(used + spare);
    bytes.resize(used);
    return std::ferror(file) == 0;
}

bool ReadWholeFile(const std::string& utf8Path, std::vector<std::uint8_t>& bytes) {
    FilePtr file = OpenFile(utf8Path, "rb");
    return file && ReadToEnd(file.get(), bytes);
}

bool ReadAt(std::FILE* file, std::uint64_t offset, std::uint8_t* data, std::size_t size) {
    std::fill(data, data + size, std::uint8_t{0});
    if (offset > static_cast<std::uint64_t>(INT64_MAX) ||
        !Seek(file, static_cast<std::int64_t>(offset), SEEK_SET)) {
        return false;
    }
    const std::size_t got = std::fread(data, 1, size, file);
    return got == size || std::ferror(file) == 0;
}

bool IsSameFile(const std::string& utf8Path, const std::string& otherUtf8Path) {
    std::error_code error;
    try {
        return std::filesystem::equivalent(PathFromUtf8(utf8Path), PathFromUtf8(otherUtf8Path),
                                           error);
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    if (offset > static_cast<std::uint64_t>(INT64_MAX) ||
        !Seek(file, static_cast<std::int64_t>(offset), SEEK_SET)) {
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
