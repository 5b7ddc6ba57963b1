#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The system's path for a UTF-8 path: every file and folder of the system
// is reached through it, so names with any characters work everywhere, and
// long paths on Windows too. May throw for text that is not UTF-8.
[[nodiscard]] std::filesystem::path PathFromUtf8(const std::string& utf8Path);

// Every file of the system is opened here. `utf8Path` is UTF-8 whatever the
// platform, so names with non-ASCII characters work on Windows too. A
// folder, device or pipe is never opened. Returns null when the file cannot be
// opened.
[[nodiscard]] FilePtr OpenFile(const std::string& utf8Path, const char* mode);

// Nothing when the file may be opened for writing (it exists and its
// permissions, or the read-only attribute, allow it), else the system's
// reason.
[[nodiscard]] std::error_code WriteAccessError(const std::string& utf8Path);

// Whether the file holds exactly `bytes`, read a piece at a time. `error`
// says why when the file could not be read.
[[nodiscard]] bool SameBytes(const std::string& utf8Path, std::span<const std::uint8_t> bytes,
                             std::error_code& error);

// Why a new file put in this one's place would not be the same file to its
// other users: more hard links, extended attributes or an access control
// list it would lose, or a folder the process may not write. Nothing when a
// whole-file replacement keeps everything.
[[nodiscard]] std::optional<std::string> WhyNotReplaceable(const std::string& utf8Path);

// Reads everything from the current position to the end of the file.
// False on a read error. The buffer keeps room for `spare` more bytes, so
// that a reader can append a terminator without copying a large file.
[[nodiscard]] bool ReadToEnd(std::FILE* file, std::vector<std::uint8_t>& bytes,
                             std::size_t spare = 0);

// Reads a whole file. False when it cannot be opened or read.
[[nodiscard]] bool ReadWholeFile(const std::string& utf8Path, std::vector<std::uint8_t>& bytes);

// Reads up to `size` bytes from `offset` into `data`; what lies beyond the
// end of the file reads as zeros. False on a seek or read error.
[[nodiscard]] bool ReadAt(std::FILE* file, std::uint64_t offset, std::uint8_t* data,
                          std::size_t size);

// Whether both paths name one existing file (links and, where the file
// system ignores case, spelling included).
[[nodiscard]] bool IsSameFile(const std::string& utf8Path, const std::string& otherUtf8Path);

// Whether anything is at the path: a file, a folder, a link (dangling ones
// too). A path that cannot be examined counts as free.
[[nodiscard]] bool PathExists(const std::string& utf8Path);

// Creates an empty file at a path where nothing is yet, so that the name
// is held for a whole-file write that follows (a backup must never replace
// a file someone made in the meantime). The system's reason when it was not
// created; `taken` then says whether something is at the path.
[[nodiscard]] std::error_code CreateEmptyFile(const std::string& utf8Path, bool& taken);

// Removes a file; false when it could not.
bool RemoveFile(const std::string& utf8Path);

// Writes `size` bytes at `offset`. False on a seek or write error.
[[nodiscard]] bool WriteAt(std::FILE* file, std::uint64_t offset, const std::uint8_t* data,
                           std::size_t size);

// Writes a whole file so that its path names either the old file, untouched,
// or the complete new one, whatever fails and wherever the process stops:
// the bytes go to a temporary file in the same folder (".polyport-XXXXXX.tmp",
// so a user who finds one left by a killed process knows it), which replaces
// the target only once every byte was written, flushed, synced and closed;
// then the folder is synced. A new file gets the permissions a plain create
// gives (the umask applies); a replaced one keeps its permission bits, and
// its owner and group where the process may set them. A symbolic link keeps
// pointing where it did: its target is replaced. A failure removes the
// temporary file.
class CWholeFileWriter {
public:
    // Where a write failed; each command words its own message for it.
    enum class Failure {
        None,
        Open,  // the file could not be created: "cannot open for writing"
        Write, // a write, flush, sync, close or the replacement failed
    };

    explicit CWholeFileWriter(std::string utf8Path);
    ~CWholeFileWriter();
    CWholeFileWriter(const CWholeFileWriter&) = delete;
    CWholeFileWriter& operator=(const CWholeFileWriter&) = delete;

    // Creates the temporary file. A target that exists but is not a regular
    // file (a folder, a device) is refused here.
    [[nodiscard]] bool Open();
    // Appends bytes; false once any write failed.
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(std::string_view text);
    // Puts the written bytes in the target's place.
    [[nodiscard]] bool Commit();

    [[nodiscard]] Failure Failed() const { return m_failure; }
    // The system's reason for the failure.
    [[nodiscard]] std::error_code Error() const { return m_error; }

    // Leaves out the syncs, so that a benchmark can tell their cost apart.
    void SetSynced(bool synced) { m_synced = synced; }

private:
    bool Fail(Failure failure, std::error_code error);
    void Discard();

    std::string m_path;
    std::filesystem::path m_target; // the file that is replaced: links followed
    std::filesystem::path m_temporary;
    FilePtr m_file;
    Failure m_failure = Failure::None;
    std::error_code m_error;
    bool m_synced = true;
};

// Writes `bytes` as the whole file at `utf8Path` through CWholeFileWriter;
// `error`, when given, receives the system's reason for a failure. Files
// that can be made again at will (extracted images) may skip the syncs.
enum class Durability { Synced, Unsynced };
[[nodiscard]] CWholeFileWriter::Failure WriteWholeFile(const std::string& utf8Path,
                                                       std::span<const std::uint8_t> bytes,
                                                       std::error_code* error = nullptr,
                                                       Durability durability = Durability::Synced);

// Flushes and closes the file; false when buffered data could not be written
// or the close failed. The file is closed either way.
[[nodiscard]] bool CloseFile(FilePtr& file);
