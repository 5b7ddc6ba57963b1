#include "gamefiles/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <random>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/xattr.h>
#endif

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
        errno = ENOENT;
        return nullptr;
    }
    std::filesystem::path path;
    try {
        path = PathFromUtf8(utf8Path);
    } catch (const std::exception&) {
        // Not valid UTF-8 where the platform needs to convert it.
        errno = EILSEQ;
        return nullptr;
    }
    // Only regular files: a folder, a device or a pipe is never a game file,
    // and reading one to its end may never finish.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        errno = std::filesystem::is_directory(status) ? EISDIR : EINVAL;
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

int WriteAccessError(const std::string& utf8Path) {
    FilePtr file = OpenFile(utf8Path, "r+b");
    return file ? 0 : errno;
}

bool SameBytes(const std::string& utf8Path, std::span<const std::uint8_t> bytes, int& error) {
    FilePtr file = OpenFile(utf8Path, "rb");
    if (!file) {
        error = errno;
        return false;
    }
    error = 0;
    // A piece at a time: the comparison needs no second copy of a large file.
    std::vector<std::uint8_t> piece(std::size_t{1} << 20);
    std::size_t at = 0;
    for (;;) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), file.get());
        if (got == 0) {
            if (std::ferror(file.get()) != 0) {
                error = EIO;
                return false;
            }
            return at == bytes.size();
        }
        if (got > bytes.size() - at || std::memcmp(piece.data(), bytes.data() + at, got) != 0) {
            return false;
        }
        at += got;
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

namespace {

std::string ToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// The file a write to `path` lands in: symbolic links followed, however
// many, up to the system's usual limit. A dangling link names the file it
// would create.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, error); ++hops) {
        const std::filesystem::path link = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path;
}

// A short name of fixed length, so that a target name of the longest length
// a folder allows still leaves room for it.
std::string TemporaryName(std::mt19937& random) {
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = ".polyport-XXXXXX.tmp";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (std::size_t i = 10; i < 16; ++i) {
        name[i] = kLetters[pick(random)];
    }
    return name;
}

#ifndef _WIN32
bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Some file systems cannot sync a folder; the rename has happened then.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return synced;
}
#endif

// For tests only: POLYPORT_TEST_BEFORE_REPLACE makes every whole-file write
// stop ("stop": the process is stopped, to be killed) or wait a number of
// milliseconds between the complete temporary file and the replacement.
void PauseBeforeReplacing() {
    const char* pause = std::getenv("POLYPORT_TEST_BEFORE_REPLACE");
    if (pause == nullptr || *pause == '\0') {
        return;
    }
#ifndef _WIN32
    if (std::strcmp(pause, "stop") == 0) {
        std::raise(SIGSTOP);
        return;
    }
#endif
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(pause)));
}

} // namespace

std::optional<std::string> WhyNotReplaceable(const std::string& utf8Path) {
#ifdef _WIN32
    // ReplaceFileW keeps the file's attributes, security and links.
    (void)utf8Path;
    return std::nullopt;
#else
    std::filesystem::path target;
    try {
        target = FollowLinks(PathFromUtf8(utf8Path));
    } catch (const std::exception&) {
        return std::nullopt;
    }
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
#endif
}

CWholeFileWriter::CWholeFileWriter(std::string utf8Path) : m_path(std::move(utf8Path)) {
}

CWholeFileWriter::~CWholeFileWriter() {
    Discard();
}

bool CWholeFileWriter::Fail(Failure failure, int error) {
    if (m_failure == Failure::None) {
        m_failure = failure;
        m_error = error;
    }
    Discard();
    return false;
}

void CWholeFileWriter::Discard() {
    m_file.reset();
    if (!m_temporary.empty()) {
        std::error_code error;
        std::filesystem::remove(PathFromUtf8(m_temporary), error);
        m_temporary.clear();
    }
}

bool CWholeFileWriter::Open() {
    if (m_path.empty()) {
        return Fail(Failure::Open, ENOENT);
    }
    std::filesystem::path target;
    try {
        target = FollowLinks(PathFromUtf8(m_path));
        m_target = ToUtf8(target);
    } catch (const std::exception&) {
        return Fail(Failure::Open, EINVAL);
    }
    std::error_code error;
    const auto status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return Fail(Failure::Open, std::filesystem::is_directory(status) ? EISDIR : EINVAL);
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
#ifndef _WIN32
    // The temporary file's short name fits where the target's may not; a
    // name the folder cannot hold is refused now, not at the replacement.
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest > 0 && target.filename().native().size() > static_cast<std::size_t>(longest)) {
        return Fail(Failure::Open, ENAMETOOLONG);
    }
#endif
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path temporary = folder / TemporaryName(random);
#ifdef _WIN32
        m_file.reset(_wfopen(temporary.c_str(), L"wxb"));
        if (m_file) {
            m_temporary = ToUtf8(temporary);
            return true;
        }
        if (errno != EEXIST) {
            return Fail(Failure::Open, errno);
        }
#else
        // 0666 less the umask: what a plain create of the file would give.
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return Fail(Failure::Open, errno);
        }
        m_temporary = ToUtf8(temporary);
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0) {
            // Owner first: changing it may clear the set-id bits.
            (void)!::fchown(fd, old.st_uid, old.st_gid);
            ::fchmod(fd, old.st_mode & 07777);
        }
        m_file.reset(::fdopen(fd, "wb"));
        if (!m_file) {
            const int failure = errno;
            ::close(fd);
            return Fail(Failure::Open, failure);
        }
        return true;
#endif
    }
    return Fail(Failure::Open, EEXIST);
}

bool CWholeFileWriter::Write(std::span<const std::uint8_t> bytes) {
    if (!m_file) {
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size()) {
        return Fail(Failure::Write, errno);
    }
    return true;
}

bool CWholeFileWriter::Write(std::string_view text) {
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool CWholeFileWriter::Commit() {
    if (!m_file) {
        return false;
    }
    if (std::fflush(m_file.get()) != 0 || std::ferror(m_file.get()) != 0) {
        return Fail(Failure::Write, errno);
    }
#ifndef _WIN32
    if (m_synced && ::fsync(::fileno(m_file.get())) != 0) {
        return Fail(Failure::Write, errno);
    }
#endif
    if (std::fclose(m_file.release()) != 0) {
        return Fail(Failure::Write, errno);
    }
    PauseBeforeReplacing();
    std::error_code error;
    std::filesystem::rename(PathFromUtf8(m_temporary), PathFromUtf8(m_target), error);
    if (error) {
        return Fail(Failure::Write, error.value());
    }
    m_temporary.clear();
#ifndef _WIN32
    const std::string folder = ToUtf8(PathFromUtf8(m_target).parent_path());
    if (m_synced && !SyncFolder(folder.empty() ? "." : folder)) {
        return Fail(Failure::Write, errno);
    }
#endif
    return true;
}

CWholeFileWriter::Failure WriteWholeFile(const std::string& utf8Path,
                                         std::span<const std::uint8_t> bytes, int* error) {
    CWholeFileWriter writer(utf8Path);
    if (writer.Open() && writer.Write(bytes)) {
        (void)writer.Commit();
    }
    if (error != nullptr) {
        *error = writer.ErrorNumber();
    }
    return writer.Failed();
}
