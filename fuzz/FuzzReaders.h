#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

// What one fuzz input does to one reader, named by its key: "rav" loads a
// RAV file and prepares its save, "fsh" loads an archive, "tpl" loads one
// and lays out every image from the sizes in the file, and every filter's
// key (as the filter table lists it) imports into a small model and
// prepares its save. The fuzz targets and the test that replays the inputs
// in tests/data/malformed/KEY and fuzz/corpus/KEY share it, so a saved
// input runs exactly the path that once failed.

// Whether `key` names a reader.
[[nodiscard]] bool IsFuzzKey(std::string_view key);

// Hands `input` to the reader of `key`; the files a reader needs on disk
// land in `folder`. False when the system broke a promise a bad file cannot
// excuse: a failure without a message, a model that loaded (or took an
// import) and could not be saved back, or a save that changes bytes the
// model does not own.
[[nodiscard]] bool FeedReader(std::string_view key, std::span<const std::uint8_t> input,
                              const std::filesystem::path& folder);

// A scratch folder of this process's own, so fuzzers running side by side
// never share a file; removed at exit.
[[nodiscard]] const std::filesystem::path& FuzzScratchFolder();
