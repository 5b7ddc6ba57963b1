#ifndef _WIN32

#include "gamefiles/NativeFiles.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace native {

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::FILE* Open(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::int64_t Tell(std::FILE* file) {
    return std::ftell(file);
}

bool Seek(std::FILE* file, std::int64_t offset, int origin) {
    return offset <= LONG_MAX && std::fseek(file, static_cast<long>(offset), origin) == 0;
}

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code CreateNew(const std::filesystem::path& path, const std::filesystem::path& like,
                          FilePtr& file) {
    // 0666 less the umask: what a plain create of the file would give.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return LastError();
    }
    struct stat old {};
    if (::stat(like.c_str(), &old) == 0) {
        // Owner first: changing it may clear the set-id bits.
        (void)!::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    }
    file.reset(::fdopen(fd, "wb"));
    if (!file) {
        const std::error_code error = LastError();
        ::close(fd);
        return error;
    }
    return {};
}

std::error_code NameFits(const std::filesystem::path& folder, const std::filesystem::path& name) {
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest > 0 && name.native().size() > static_cast<std::size_t>(longest)) {
        return {ENAMETOOLONG, std::generic_category()};
    }
    return {};
}

std::error_code SyncFile(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0 ? std::error_code() : LastError();
}

std::error_code Replace(const std::filesystem::path& temporary,
                        const std::filesystem::path& target) {
    return ::rename(temporary.c_str(), target.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    // Some file systems cannot sync a folder; the rename has happened then.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const std::error_code error = synced ? std::error_code() : LastError();
    ::close(fd);
    return error;
}

std::optional<std::string> WhyNotReplaceable(const std::filesystem::path& target) {
    struct stat file {};
    if (::stat(target.c_str(), &file) != 0) {
        return std::nullopt; // the writer reports what is wrong with it
    }
    if (file.st_nlink > 1) {
        return "it has " + std::to_string(file.st_nlink) + " hard links";
    }
#ifdef __linux__
    if (::listxattr(target.c_str(), nullptr, 0) > 0) {
        return "it has extended attributes or an access control list that a new file would lose";
    }
#endif
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0) {
        return "its folder cannot be written";
    }
    return std::nullopt;
}

} // namespace native

#endif
