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

// An FSH texture archive: "SHPI", the stated size, the entry count and a
// directory id, then `entryCount` directory entries of 8 bytes (4 name
// characters, u32 offset of the image record) right after the header. An
// image record holds its width and height as u16 at +4 and +6. Only the
// header and directory are read here; pixels are never decoded.
class CFshFile : public CMessageOutput {
public:
    FshHeader header;

    // Reads the header and directory of the archive at `path` (UTF-8).
    // `mode` must be non-zero (the commands pass 1); a zero mode returns false
    // silently and leaves the reader as it was. Otherwise the
    // reader is freed first, and false comes after one message (flag 0), or
    // two for a compressed archive: the second says how to proceed.
    [[nodiscard]] bool Load(const std::string& path, int mode);

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

protected:
    [[nodiscard]] std::string OutputName() const override { return "FSHfile"; }

private:
    std::vector<FshEntry> m_entries;
    std::string m_path;
    int m_mode = 0;
    bool m_loaded = false;
};
