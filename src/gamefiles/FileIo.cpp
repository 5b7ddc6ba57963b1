#include "gamefiles/FileIo.h"

#include "gamefiles/NativeFiles.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <random>
#include <thread>

#ifndef _WIN32
#include <csignal>
#endif

namespace {

std::error_code Errno(int error) {
    return {error, std::generic_category()};
}

} // namespace

std::filesystem::path PathFromUtf8(const std::string& utf8Path) {
    return native::PathFromUtf8(utf8Path);
}

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
    return FilePtr(native::Open(path, mode));
}

std::error_code WriteAccessError(const std::string& utf8Path) {
    FilePtr file = OpenFile(utf8Path, "r+b");
    return file ? std::error_code() : Errno(errno);
}

bool SameBytes(const std::string& utf8Path, std::span<const std::uint8_t> bytes,
               std::error_code& error) {
    FilePtr file = OpenFile(utf8Path, "rb");
    if (!file) {
        error = Errno(errno);
        return false;
    }
    error.clear();
    // A piece at a time: the comparison needs no second copy of a large file.
    std::vector<std::uint8_t> piece(std::size_t{1} << 20);
    std::size_t at = 0;
    for (;;) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), file.get());
        if (got == 0) {
            if (std::ferror(file.get()) != 0) {
                error = Errno(EIO);
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
    const std::int64_t start = native::Tell(file);
    if (start >= 0 && native::Seek(file, 0, SEEK_END)) {
        const std::int64_t end = native::Tell(file);
        if (!native::Seek(file, start, SEEK_SET)) {
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
        !native::Seek(file, static_cast<std::int64_t>(offset), SEEK_SET)) {
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

bool PathExists(const std::string& utf8Path) {
    std::error_code error;
    try {
        return std::filesystem::exists(std::filesystem::symlink_status(PathFromUtf8(utf8Path), error));
    } catch (const std::exception&) {
        return false;
    }
}

std::error_code CreateEmptyFile(const std::string& utf8Path, bool& taken) {
    taken = false;
    std::filesystem::path path;
    try {
        path = PathFromUtf8(utf8Path);
    } catch (const std::exception&) {
        return std::make_error_code(std::errc::illegal_byte_sequence);
    }
    FilePtr file;
    std::error_code error = native::CreateNew(path, {}, file);
    if (!error && !CloseFile(file)) {
        error = native::LastError();
    }
    taken = error && PathExists(utf8Path);
    return error;
}

bool RemoveFile(const std::string& utf8Path) {
    std::error_code error;
    try {
        return std::filesystem::remove(PathFromUtf8(utf8Path), error);
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteAt(std::FILE* file, std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    if (offset > static_cast<std::uint64_t>(INT64_MAX) ||
        !native::Seek(file, static_cast<std::int64_t>(offset), SEEK_SET)) {
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

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

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
    try {
        return native::WhyNotReplaceable(FollowLinks(PathFromUtf8(utf8Path)));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

CWholeFileWriter::CWholeFileWriter(std::string utf8Path) : m_path(std::move(utf8Path)) {
}

CWholeFileWriter::~CWholeFileWriter() {
    Discard();
}

bool CWholeFileWriter::Fail(Failure failure, std::error_code error) {
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
        std::filesystem::remove(m_temporary, error);
        m_temporary.clear();
    }
}

bool CWholeFileWriter::Open() {
    if (m_path.empty()) {
        return Fail(Failure::Open, Errno(ENOENT));
    }
    try {
        m_target = FollowLinks(PathFromUtf8(m_path));
    } catch (const std::exception&) {
        return Fail(Failure::Open, Errno(EINVAL));
    }
    std::error_code error;
    const auto status = std::filesystem::status(m_target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return Fail(Failure::Open, Errno(std::filesystem::is_directory(status) ? EISDIR : EINVAL));
    }
    // The temporary file's short name fits where the target's may not; a
    // name the folder cannot hold is refused now, not at the replacement.
    const std::filesystem::path folder = FolderOf(m_target);
    if (const std::error_code tooLong = native::NameFits(folder, m_target.filename())) {
        return Fail(Failure::Open, tooLong);
    }
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path temporary = folder / TemporaryName(random);
        const std::error_code created = native::CreateNew(temporary, m_target, m_file);
        if (!created) {
            m_temporary = temporary;
            return true;
        }
        if (created != std::errc::file_exists) {
            return Fail(Failure::Open, created);
        }
    }
    return Fail(Failure::Open, Errno(EEXIST));
}

bool CWholeFileWriter::Write(std::span<const std::uint8_t> bytes) {
    if (!m_file) {
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size()) {
        return Fail(Failure::Write, Errno(errno));
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
        return Fail(Failure::Write, Errno(errno));
    }
    if (m_synced) {
        if (const std::error_code error = native::SyncFile(m_file.get())) {
            return Fail(Failure::Write, error);
        }
    }
    if (std::fclose(m_file.release()) != 0) {
        return Fail(Failure::Write, Errno(errno));
    }
    PauseBeforeReplacing();
    if (const std::error_code error = native::Replace(m_temporary, m_target)) {
        return Fail(Failure::Write, error);
    }
    m_temporary.clear();
    if (m_synced) {
        if (const std::error_code error = native::SyncFolder(FolderOf(m_target))) {
            return Fail(Failure::Write, error);
        }
    }
    return true;
}

CWholeFileWriter::Failure WriteWholeFile(const std::string& utf8Path,
                                         std::span<const std::uint8_t> bytes,
                                         std::error_code* error, Durability durability) {
    CWholeFileWriter writer(utf8Path);
    writer.SetSynced(durability == Durability::Synced);
    if (writer.Open() && writer.Write(bytes)) {
        (void)writer.Commit();
    }
    if (error != nullptr) {
        *error = writer.Error();
    }
    return writer.Failed();
}
