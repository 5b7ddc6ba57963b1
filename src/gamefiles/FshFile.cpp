#include "gamefiles/FshFile.h"

#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "output/Format.h"

#include <algorithm>
#include <cerrno>

namespace {

constexpr std::uint64_t kHeaderSize = 16;
constexpr std::uint64_t kEntrySize = 8;
constexpr std::array<char, 4> kMagic{'S', 'H', 'P', 'I'};

std::uint8_t* AsBytes(char* text) {
    return reinterpret_cast<std::uint8_t*>(text);
}

FshHeader ReadHeader(const CLeReader& in) {
    FshHeader header;
    in.CopyOut(0, AsBytes(header.magic.data()), header.magic.size());
    header.fileSize = in.U32(4);
    header.entryCount = in.I32(8);
    in.CopyOut(12, AsBytes(header.directoryId.data()), header.directoryId.size());
    return header;
}

} // namespace

bool CFshFile::Load(const std::string& path, int mode) {
    if (mode == 0) {
        return false;
    }
    Free();
    std::vector<std::uint8_t> bytes;
    FilePtr file = OpenFile(path, "rb");
    if (!file || !ReadToEnd(file.get(), bytes)) {
        FailWithReason(Format("Can't open %s for reading", path.c_str()), errno, 0);
        return false;
    }
    file.reset();
    return LoadBytes(std::move(bytes), path, mode);
}

bool CFshFile::LoadBytes(std::vector<std::uint8_t> bytes, const std::string& path, int mode) {
    if (mode == 0) {
        return false;
    }
    Free();
    const CLeReader in(bytes);

    // A short file reads as zeros, so it fails the magic test below.
    header = ReadHeader(in);
    if (header.magic != kMagic) {
        Fail(Format("%s is not a valid FSH file", path.c_str()), 0);
        if (IsCompressed(bytes)) {
            Fail(Format("%s is compressed (RefPack); compressed FSH archives are not supported "
                        "yet - unpack it first",
                        path.c_str()),
                 0);
        }
        return false;
    }

    // The count is trusted only as far as its directory fits in the file, which
    // also bounds what is allocated for it.
    if (header.entryCount < 0 ||
        kHeaderSize + kEntrySize * static_cast<std::uint64_t>(header.entryCount) > in.Size()) {
        Fail(Format("%s is not a valid FSH file", path.c_str()), 0);
        return false;
    }

    m_entries.resize(static_cast<std::size_t>(header.entryCount));
    std::uint64_t position = kHeaderSize;
    for (FshEntry& entry : m_entries) {
        // name[4] stays zero, so the name is always terminated.
        in.CopyOut(position, AsBytes(entry.name.data()), 4);
        entry.offset = in.U32(position + 4);
        position += kEntrySize;
    }
    m_sortedOffsets.reserve(m_entries.size());
    for (const FshEntry& entry : m_entries) {
        m_sortedOffsets.push_back(entry.offset);
    }
    std::ranges::sort(m_sortedOffsets);

    m_bytes = std::move(bytes);
    m_path = path;
    m_mode = mode;
    m_loaded = true;
    return true;
}

void CFshFile::Free() {
    m_entries = {};
    m_bytes = {};
    m_sortedOffsets = {};
    m_path.clear();
    header = {};
    m_mode = 0;
    m_loaded = false;
}

const FshEntry* CFshFile::GetEntry(std::int32_t index) const {
    if (!m_loaded || index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(index)];
}

FshRecordHeader CFshFile::RecordHeader(std::int32_t index) const {
    const FshEntry* entry = GetEntry(index);
    if (entry == nullptr) {
        return {};
    }
    const CLeReader in(m_bytes);
    const std::uint64_t at = entry->offset;
    const std::uint32_t word = in.U32(at);
    return {.id = static_cast<std::uint8_t>(word),
            .nextOffset = word >> 8,
            .width = in.U16(at + 4),
            .height = in.U16(at + 6),
            .xCentre = in.U16(at + 8),
            .yCentre = in.U16(at + 10),
            .xPosition = in.U16(at + 12),
            .yPosition = in.U16(at + 14)};
}

std::span<const std::uint8_t> CFshFile::EntryBytes(std::int32_t index) const {
    const FshEntry* entry = GetEntry(index);
    if (entry == nullptr || entry->offset >= m_bytes.size()) {
        return {};
    }
    const auto next = std::ranges::upper_bound(m_sortedOffsets, entry->offset);
    const std::size_t end =
        next == m_sortedOffsets.end() ? m_bytes.size() : std::min<std::size_t>(*next, m_bytes.size());
    return std::span(m_bytes).subspan(entry->offset, end - entry->offset);
}

bool CFshFile::SameDirectory(const CFshFile& other) const {
    return m_loaded && other.m_loaded && header.magic == other.header.magic &&
           header.entryCount == other.header.entryCount &&
           std::ranges::equal(m_entries, other.m_entries, [](const FshEntry& a, const FshEntry& b) {
               return a.name == b.name && a.offset == b.offset;
           });
}

bool CFshFile::IsCompressed(std::span<const std::uint8_t> start) {
    if (start.size() < 2) {
        return false;
    }
    const std::uint8_t flags = start[0];
    const bool knownFlags = flags == 0x10 || flags == 0x11 || flags == 0x90 || flags == 0x91;
    return knownFlags && start[1] == 0xFB;
}

bool CFshFile::LooksLikeArchive(std::span<const std::uint8_t> start) {
    return IsCompressed(start) ||
           (start.size() >= 4 &&
            std::equal(kMagic.begin(), kMagic.end(), start.begin(),
                       [](char m, std::uint8_t b) { return m == static_cast<char>(b); }));
}
