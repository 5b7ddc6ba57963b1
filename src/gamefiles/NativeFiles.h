#pragma once

#include "gamefiles/FileIo.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

// What FileIo needs of the operating system, once per platform
// (NativeFilesPosix.cpp, NativeFilesWindows.cpp). Paths are the system's
// own: on Windows wide, in the extended-length form where they are long.
namespace native {

[[nodiscard]] std::filesystem::path PathFromUtf8(const std::string& utf8Path);

// fopen on the system's path; errno says why not.
[[nodiscard]] std::FILE* Open(const std::filesystem::path& path, const char* mode);

// Positions of 64 bits, wherever long has 32.
[[nodiscard]] std::int64_t Tell(std::FILE* file);
[[nodiscard]] bool Seek(std::FILE* file, std::int64_t offset, int origin);

// The error the last failed system call left.
[[nodiscard]] std::error_code LastError();

// Creates `path`, which must not exist, for writing: with what a plain
// create gives, or with the permission bits (and owner, where allowed) of
// `like` when it exists.
[[nodiscard]] std::error_code CreateNew(const std::filesystem::path& path,
                                        const std::filesystem::path& like, FilePtr& file);

// Whether `name` can stand in `folder` at all (a name too long for it).
[[nodiscard]] std::error_code NameFits(const std::filesystem::path& folder,
                                       const std::filesystem::path& name);

[[nodiscard]] std::error_code SyncFile(std::FILE* file);

// Puts `temporary` in the place of `target`, which keeps its attributes.
[[nodiscard]] std::error_code Replace(const std::filesystem::path& temporary,
                                      const std::filesystem::path& target);

[[nodiscard]] std::error_code SyncFolder(const std::filesystem::path& folder);

// See WhyNotReplaceable in FileIo.h.
[[nodiscard]] std::optional<std::string> WhyNotReplaceable(const std::filesystem::path& target);

} // namespace native
