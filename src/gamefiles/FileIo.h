#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Every file of the system is opened here. `utf8Path` is UTF-8 whatever the
// platform, so names with non-ASCII characters work on Windows too. A
// folder, device or pipe is never opened. Returns null when the file cannot be
// opened.
[[nodiscard]] FilePtr OpenFile(const std::string& utf8Path, const char* mode);

// Deletes a file that this system wrote itself, such as a cut-off export.
// False when it could not be removed.
bool RemoveFile(const std::string& utf8Path);

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

// Writes `size` bytes at `offset`. False on a seek or write error.
[[nodiscard]] bool WriteAt(std::FILE* file, std::uint64_t offset, const std::uint8_t* data,
                           std::size_t size);

// Flushes and closes the file; false when buffered data could not be written
// or the close failed. The file is closed either way.
[[nodiscard]] bool CloseFile(FilePtr& file);
