#include "gamefiles/FshFile.h"

#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "output/Format.h"

#include <algorithm>

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
    {
        FilePtr file = OpenFile(path, "rb");
        if (!file || !ReadToEnd(file.get(), bytes)) {
            Output(Format("Can't open %s for reading", path.c_str()), 0);
            return false;
        }
    }
    const CLeReader in(bytes);

    // A short file reads as zeros, so it fails the magic test below.
    header = ReadHeader(in);
    if (header.magic != kMagic) {
        Output(Format("%s is not a valid FSH file", path.c_str()), 0);
        if (IsCompressed(bytes)) {
            Output(Format("%s is compressed (RefPack); compressed FSH archives are not supported "
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
        Output(Format("%s is not a valid FSH file", path.c_str()), 0);
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

    m_path = path;
    m_mode = mode;
    m_loaded = true;
    return true;
}

void CFshFile::Free() {
    m_entries = {};
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
