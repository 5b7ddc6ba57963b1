#pragma once

#include "gamefiles/FshImage.h"
#include "gamefiles/FshRecordHeader.h"
#include "output/MessageOutput.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The 16-byte header of an FSH archive.
struct FshHeader {
    std::array<char, 4> magic{};
    std::uint32_t fileSize = 0;
    std::int32_t entryCount = 0;
    std::array<char, 4> directoryId{};
};

struct FshEntry {
    // The four name characters and a terminator; a zero among the four
    // characters ends the name early.
    std::array<char, 5> name{};
    std::uint32_t offset = 0;
};

// An FSH texture archive: "SHPI", the stated size, the entry count and a
// directory id, then `entryCount` directory entries of 8 bytes (4 name
// characters, u32 offset of the entry's first record) right after the
// header. An entry's records lie from its offset to the next larger offset
// of the directory, or to the end of the file; the first is its image.
// Every read of the archive's records goes through this class, which keeps
// the bytes it loaded.
class CFshFile : public CMessageOutput {
public:
    FshHeader header;

    // Reads the archive at `path` (UTF-8). `mode` must be non-zero (the
    // commands pass 1); a zero mode returns false silently and leaves the
    // reader as it was. Otherwise the reader is freed first, and false comes
    // after one message (flag 0), or two for a compressed archive that cannot
    // be unpacked: the second says what is wrong with it. A RefPack-compressed
    // archive is unpacked and read as the archive it holds.
    [[nodiscard]] bool Load(const std::string& path, int mode);

    // The same for an archive in memory; `path` names it in messages.
    [[nodiscard]] bool LoadBytes(std::vector<std::uint8_t> bytes, const std::string& path, int mode);

    // Returns the reader to empty.
    void Free();

    [[nodiscard]] bool IsLoaded() const { return m_loaded; }
    [[nodiscard]] const std::string& GetPath() const { return m_path; }
    [[nodiscard]] int GetMode() const { return m_mode; }

    // Whether a file starting with `start` is an archive this reader should
    // see: the magic "SHPI", or the signature of a compressed one (RefPack,
    // or another scheme, which the reader then names).
    [[nodiscard]] static bool LooksLikeArchive(std::span<const std::uint8_t> start);

    // Whether the file was RefPack-compressed; its size as stored. Bytes()
    // and everything else are the unpacked archive.
    [[nodiscard]] bool IsCompressed() const { return m_compressed; }
    [[nodiscard]] std::uint64_t PackedSize() const { return m_packedSize; }

    // Null when nothing is loaded or `index` is outside 0..entryCount-1.
    [[nodiscard]] const FshEntry* GetEntry(std::int32_t index) const;
    [[nodiscard]] std::span<const FshEntry> Entries() const { return m_entries; }

    // The archive's bytes as loaded.
    [[nodiscard]] std::span<const std::uint8_t> Bytes() const { return m_bytes; }

    // The header of entry `index`'s first record (its image). Bytes beyond
    // the end of the archive read as zeros, so a record there is 0 x 0.
    [[nodiscard]] FshRecordHeader RecordHeader(std::int32_t index) const;

    // Entry `index`'s records: from its offset to the next larger offset in
    // the directory, or to the end of the archive. Empty when the offset
    // lies at or beyond the end, or there is no such entry.
    [[nodiscard]] std::span<const std::uint8_t> EntryBytes(std::int32_t index) const;

    // The image of entry `index` as RGBA; an 8-bit image without a palette
    // of its own takes the archive's "!pal" entry. Decoded only when asked
    // for. False with `problem` (to follow the entry's name) otherwise.
    [[nodiscard]] bool DecodeImage(std::int32_t index, CFshImage& image, std::string& problem) const;
    // The image of entry `index` as a PNG file in memory (8-bit RGBA), and
    // what it was decoded in spite of; as DecodeImage otherwise.
    [[nodiscard]] bool ImageAsPng(std::int32_t index, std::vector<std::uint8_t>& png,
                                  std::vector<std::string>& warnings, std::string& problem) const;
    // What `info` tells of entry `index`, without decoding its pixels.
    [[nodiscard]] bool DescribeImage(std::int32_t index, FshImageInfo& info,
                                     std::string& problem) const;

    // Whether `other` holds the same header and directory (magic, count,
    // names and offsets): the same images, if the files were not rewritten.
    [[nodiscard]] bool SameDirectory(const CFshFile& other) const;

protected:
    [[nodiscard]] std::string OutputName() const override { return "FSHfile"; }

private:
    // The first record of the "!pal" entry: the palette of 8-bit images that
    // have none of their own.
    [[nodiscard]] std::span<const std::uint8_t> SharedPalette() const;

    std::vector<FshEntry> m_entries;
    std::vector<std::uint8_t> m_bytes;
    // The directory's offsets in ascending order: where each entry ends.
    std::vector<std::uint32_t> m_sortedOffsets;
    std::string m_path;
    std::uint64_t m_packedSize = 0;
    int m_mode = 0;
    bool m_compressed = false;
    bool m_loaded = false;
};
