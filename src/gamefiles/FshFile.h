#pragma once

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

// The 16-byte header of an image record, little-endian.
struct FshRecordHeader {
    std::uint8_t id = 0;
    // From this record's start to the next record of the entry (24 bits);
    // 0 for the last.
    std::uint32_t nextOffset = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t xCentre = 0;
    std::uint16_t yCentre = 0;
    // Low 12 bits the position; the high 4 bits hold flags in x and the
    // number of mipmaps in y.
    std::uint16_t xPosition = 0;
    std::uint16_t yPosition = 0;
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
    // after one message (flag 0), or two for a compressed archive: the
    // second says how to proceed.
    [[nodiscard]] bool Load(const std::string& path, int mode);

    // The same for an archive in memory; `path` names it in messages.
    [[nodiscard]] bool LoadBytes(std::vector<std::uint8_t> bytes, const std::string& path, int mode);

    // Returns the reader to empty.
    void Free();

    [[nodiscard]] bool IsLoaded() const { return m_loaded; }
    [[nodiscard]] const std::string& GetPath() const { return m_path; }
    [[nodiscard]] int GetMode() const { return m_mode; }

    // Whether a file starting with `start` is an archive this reader should
    // see: the magic "SHPI", or the signature of a compressed (RefPack)
    // archive, which the reader then explains.
    [[nodiscard]] static bool LooksLikeArchive(std::span<const std::uint8_t> start);
    // The RefPack signature: 0x10, 0x11, 0x90 or 0x91, then 0xFB.
    [[nodiscard]] static bool IsCompressed(std::span<const std::uint8_t> start);

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

    // Whether `other` holds the same header and directory (magic, count,
    // names and offsets): the same images, if the files were not rewritten.
    [[nodiscard]] bool SameDirectory(const CFshFile& other) const;

protected:
    [[nodiscard]] std::string OutputName() const override { return "FSHfile"; }

private:
    std::vector<FshEntry> m_entries;
    std::vector<std::uint8_t> m_bytes;
    // The directory's offsets in ascending order: where each entry ends.
    std::vector<std::uint32_t> m_sortedOffsets;
    std::string m_path;
    int m_mode = 0;
    bool m_loaded = false;
};
