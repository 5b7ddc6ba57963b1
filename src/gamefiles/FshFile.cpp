#include "gamefiles/FshFile.h"

#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/PngWriter.h"
#include "gamefiles/RefPack.h"
#include "output/Format.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

namespace {

constexpr std::uint64_t kHeaderSize = 16;
constexpr std::uint64_t kEntrySize = 8;
constexpr std::array<char, 4> kMagic{'S', 'H', 'P', 'I'};

std::uint8_t* AsBytes(char* text) {
    return reinterpret_cast<std::uint8_t*>(text);
}

bool HasMagic(std::span<const std::uint8_t> start) {
    return start.size() >= 4 && std::equal(kMagic.begin(), kMagic.end(), start.begin(),
                                           [](char m, std::uint8_t b) { return m == static_cast<char>(b); });
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
    m_packedSize = bytes.size();
    // Many archives are stored RefPack-compressed: they are read as what
    // they unpack to, every command alike.
    if (!HasMagic(bytes) && SniffRefPack(bytes) != RefPackKind::None) {
        std::vector<std::uint8_t> unpacked;
        std::string problem;
        if (!UnpackRefPack(bytes, unpacked, problem)) {
            Fail(Format("%s is not a valid FSH file", path.c_str()), 0);
            const bool other = SniffRefPack(bytes) == RefPackKind::OtherScheme;
            Fail(other ? "The archive " + problem
                       : "The archive is RefPack-compressed, and " + problem, 0);
            return false;
        }
        bytes = std::move(unpacked);
        m_compressed = true;
    }
    const CLeReader in(bytes);

    // A short file reads as zeros, so it fails the magic test below.
    header = ReadHeader(in);
    if (header.magic != kMagic) {
        Fail(Format("%s is not a valid FSH file", path.c_str()), 0);
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
    m_compressed = false;
    m_packedSize = 0;
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
    FshRecordHeader header;
    const FshEntry* entry = GetEntry(index);
    if (entry == nullptr) {
        return header;
    }
    std::array<std::uint8_t, FshRecordHeader::kSize> bytes{};
    CLeReader(m_bytes).CopyOut(entry->offset, bytes.data(), bytes.size());
    (void)FshRecordHeader::Read(bytes, 0, header);
    return header;
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

bool CFshFile::LooksLikeArchive(std::span<const std::uint8_t> start) {
    return HasMagic(start) || SniffRefPack(start) != RefPackKind::None;
}

std::span<const std::uint8_t> CFshFile::SharedPalette() const {
    const auto palette = std::ranges::find_if(m_entries, [](const FshEntry& entry) {
        return std::string_view(entry.name.data()) == "!pal";
    });
    return palette == m_entries.end()
               ? std::span<const std::uint8_t>()
               : EntryBytes(static_cast<std::int32_t>(palette - m_entries.begin()));
}

bool CFshFile::DecodeImage(std::int32_t index, CFshImage& image, std::string& problem) const {
    if (GetEntry(index) == nullptr) {
        problem = "is no entry of the archive";
        return false;
    }
    return image.Decode(EntryBytes(index), SharedPalette(), problem);
}

bool CFshFile::ImageAsPng(std::int32_t index, std::vector<std::uint8_t>& png,
                          std::vector<std::string>& warnings, std::string& problem) const {
    CFshImage image;
    if (!DecodeImage(index, image, problem)) {
        return false;
    }
    warnings = std::move(image.warnings);
    if (!EncodePng(image.width, image.height, image.rgba, png)) {
        problem = "cannot be written as PNG";
        return false;
    }
    return true;
}

bool CFshFile::DescribeImage(std::int32_t index, FshImageInfo& info, std::string& problem) const {
    if (GetEntry(index) == nullptr) {
        problem = "is no entry of the archive";
        return false;
    }
    if (EntryBytes(index).empty()) {
        problem = "lies outside the archive";
        return false;
    }
    return CFshImage::Describe(EntryBytes(index), info, problem);
}
