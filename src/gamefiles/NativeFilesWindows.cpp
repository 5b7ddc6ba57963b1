#ifdef _WIN32

#include "gamefiles/NativeFiles.h"

#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace native {

namespace {

// The form of a path that the wide file functions take whatever its length:
// long paths get the "\\?\" prefix, which needs them absolute, with
// backslashes and without "." or "..".
std::filesystem::path ExtendedLength(std::filesystem::path path) {
    constexpr std::size_t kShortEnough = 240; // MAX_PATH, less room for a file name
    const std::wstring& text = path.native();
    if (text.size() < kShortEnough || text.starts_with(L"\\\\?\\")) {
        return path;
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        return path;
    }
    const std::wstring full = absolute.lexically_normal().make_preferred().native();
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

} // namespace

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
    return ExtendedLength(std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end())));
}

std::FILE* Open(const std::filesystem::path& path, const char* mode) {
    const std::string narrow(mode);
    const std::wstring wide(narrow.begin(), narrow.end());
    return _wfopen(path.c_str(), wide.c_str());
}

std::int64_t Tell(std::FILE* file) {
    return _ftelli64(file);
}

bool Seek(std::FILE* file, std::int64_t offset, int origin) {
    return _fseeki64(file, offset, origin) == 0;
}

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

std::error_code CreateNew(const std::filesystem::path& path, const std::filesystem::path&,
                          FilePtr& file) {
    // The replacement carries the old file's attributes over (ReplaceFileW).
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(handle);
        return {errno, std::generic_category()};
    }
    file.reset(_fdopen(fd, "wb"));
    if (!file) {
        const std::error_code error{errno, std::generic_category()};
        _close(fd);
        return error;
    }
    return {};
}

std::error_code NameFits(const std::filesystem::path&, const std::filesystem::path& name) {
    constexpr std::size_t kLongestName = 255; // in UTF-16 units, on NTFS and FAT alike
    if (name.native().size() > kLongestName) {
        return {static_cast<int>(ERROR_FILENAME_EXCED_RANGE), std::system_category()};
    }
    return {};
}

std::error_code SyncFile(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return FlushFileBuffers(handle) ? std::error_code() : LastError();
}

std::error_code Replace(const std::filesystem::path& temporaryPath,
                        const std::filesystem::path& targetPath) {
    // ReplaceFileW takes only whole paths with backslashes.
    std::error_code error;
    const auto systemForm = [&error](const std::filesystem::path& path) {
        return path.native().starts_with(L"\\\\?\\")
                   ? path
                   : std::filesystem::absolute(path, error).make_preferred();
    };
    const std::filesystem::path temporary = systemForm(temporaryPath);
    const std::filesystem::path target = systemForm(targetPath);
    if (error) {
        return error;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A new file: one rename, written through before it returns.
        return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)
                   ? std::error_code()
                   : LastError();
    }
    // Something else put in the file's place meanwhile is never replaced.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    // ReplaceFileW keeps the old file's attributes, security and streams.
    return ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
               ? std::error_code()
               : LastError();
}

std::error_code SyncFolder(const std::filesystem::path&) {
    return {}; // MOVEFILE_WRITE_THROUGH and ReplaceFileW see to the folder
}

std::optional<std::string> WhyNotReplaceable(const std::filesystem::path&) {
    return std::nullopt; // ReplaceFileW keeps what a new file would lose
}

} // namespace native

#endif
