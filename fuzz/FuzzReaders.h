#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

// What one fuzz input does to one reader. The fuzz targets and the test that
// replays the malformed files in tests/data/malformed share it, so a saved
// input runs exactly the path that once failed.
enum class FuzzReader {
    Rav,            // load, then save into the same scratch copy
    Fsh,            // load the header and directory
    Tpl,            // load, then lay out every image from the sizes in the file
    Ascii,          // import into the fuzz model, then save it
    DesignWorkshop, // likewise
    Lightwave,      // likewise
};

// The reader of a folder name of tests/data/malformed and fuzz/corpus:
// rav, fsh, tpl, ascii, dw, lwo.
[[nodiscard]] std::optional<FuzzReader> FuzzReaderNamed(std::string_view name);

// Writes `input` into `folder` and hands it to `reader`; files the reader
// writes land in `folder` too. False when the system broke a promise a bad
// file cannot excuse: a failure without a message, or a model that loaded
// (or took an import) and could not be saved back.
[[nodiscard]] bool FeedReader(FuzzReader reader, std::span<const std::uint8_t> input,
                              const std::filesystem::path& folder);

// A scratch folder of this process's own, so fuzzers running side by side
// never share a file; removed at exit.
[[nodiscard]] const std::filesystem::path& FuzzScratchFolder();
