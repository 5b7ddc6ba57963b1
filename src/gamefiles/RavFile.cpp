#include "gamefiles/RavFile.h"

#include "gamefiles/AsciiCase.h"
#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "output/Format.h"

#include <cerrno>
#include <new>
#include <utility>

namespace {

enum class RavSection { Start, Texture, Poly1, Poly2, Poly3, Poly4 };

const char* SectionName(RavSection section) {
    switch (section) {
    case RavSection::Start:
        return "Start";
    case RavSection::Texture:
        return "Texture";
    case RavSection::Poly1:
        return "Poly1";
    case RavSection::Poly2:
        return "Poly2";
    case RavSection::Poly3:
        return "Poly3";
    case RavSection::Poly4:
        return "Poly4";
    }
    return "";
}

} // namespace

// Reads one file image into a CRavFile. Offsets are compared with the file
// size as unsigned values: an offset that is negative as a signed word lies
// beyond any file this format can describe. The colour and order offsets are
// not checked, as the game's own checks pass them over: such an array reads
// as zeros wherever it lies beyond the end of the file (and the save writes
// none that starts there, see CRavPatcher). An array of values may start at
// the end of the file or run past it; it then reads as zeros. A table or block whose offsets
// are followed (the header, the two tables, the detail, mesh and uv headers,
// the texture records) must lie wholly within the file: read as zeros, its
// offsets would lead back to the header, and a save would write there.
// Counts are never trusted for an allocation: a count whose data could not
// fit in the file at all is rejected, and every allocation is charged to a
// budget of 32 bytes per file byte plus 1 MiB, so a file of S bytes can never
// make the loader hold more than 32 * S + 1 MiB of model (shared sections
// included).
class CRavLoader {
public:
    CRavLoader(CRavFile& rav, std::span<const std::uint8_t> image)
        : m_rav(rav), m_in(image), m_size(image.size()),
          m_budget(32 * static_cast<std::uint64_t>(image.size()) + (1u << 20)) {}

    // False with `failed` set to the section whose check failed.
    [[nodiscard]] bool Run(RavSection& failed) {
        m_failed = &failed;
        return ReadHeader() && ReadTextures() && ReadObjects();
    }

private:
    bool Fail(RavSection section) {
        *m_failed = section;
        return false;
    }

    [[nodiscard]] bool Beyond(std::uint32_t offset) const { return offset > m_size; }
    [[nodiscard]] bool Beyond(std::int32_t offset) const {
        return Beyond(static_cast<std::uint32_t>(offset));
    }
    // Whether `size` bytes from `offset` lie within the file.
    [[nodiscard]] bool Holds(std::uint32_t offset, std::uint64_t size) const {
        return offset + size <= m_size;
    }
    [[nodiscard]] bool Holds(std::int32_t offset, std::uint64_t size) const {
        return Holds(static_cast<std::uint32_t>(offset), size);
    }

    // A count is usable when it is not negative, its data could fit in the
    // file, and the allocation stays within the budget.
    [[nodiscard]] bool Affordable(std::int32_t count, std::uint64_t elementSize,
                                  std::uint64_t modelSize) {
        if (count < 0 || static_cast<std::uint64_t>(count) * elementSize > m_size) {
            return false;
        }
        return Charge(static_cast<std::uint64_t>(count) * modelSize);
    }

    [[nodiscard]] bool Charge(std::uint64_t bytes) {
        if (bytes > m_budget) {
            return false;
        }
        m_budget -= bytes;
        return true;
    }

    // A name ends at its first zero byte or at the end of the file; longer
    // names are cut to the length the rest of the system expects.
    [[nodiscard]] bool ReadName(std::uint32_t offset, std::string& name) {
        std::size_t length = 0;
        while (length < kRavMaxNameLength && offset + length < m_size &&
               m_in.U8(offset + length) != 0) {
            ++length;
        }
        if (!Charge(length + sizeof(std::string))) {
            return false;
        }
        name.resize(length);
        for (std::size_t i = 0; i < length; ++i) {
            name[i] = static_cast<char>(m_in.U8(offset + i));
        }
        return true;
    }

    template <typename T, typename Decode>
    void ReadArray(std::vector<T>& out, std::int32_t count, std::uint64_t offset,
                   std::uint64_t stride, Decode decode) {
        out.assign(static_cast<std::size_t>(count), T{});
        for (std::size_t i = 0; i < out.size(); ++i) {
            const std::uint64_t at = offset + i * stride;
            if (at >= m_size) {
                break;
            }
            out[i] = decode(at);
        }
    }

    // A record read field by field from `offset`, as its field list says.
    template <typename Record> Record ReadRecord(std::uint64_t offset) const {
        Record record{};
        ForEachField(record, CLeCursor(m_in, offset));
        return record;
    }

    // An array of records, each read by its field list.
    template <typename Record>
    void ReadRecords(std::vector<Record>& out, std::int32_t count, std::uint64_t offset) {
        ReadArray(out, count, offset, RavFieldBytes<Record>(),
                  [this](std::uint64_t p) { return ReadRecord<Record>(p); });
    }

    bool ReadHeader() {
        RavHeader& h = m_rav.header;
        h = ReadRecord<RavHeader>(0);
        if (m_size < kRavHeaderSize || Beyond(h.objectTableOffset) ||
            Beyond(h.textureTableOffset) || Beyond(h.offset00) || Beyond(h.offset10) ||
            Beyond(h.recordTableOffset)) {
            return Fail(RavSection::Start);
        }
        return true;
    }

    bool ReadTextures() {
        const RavHeader& h = m_rav.header;
        if (!Affordable(h.textureCount, 4, sizeof(RavTexture)) ||
            !Holds(h.textureTableOffset, 4 * static_cast<std::uint64_t>(h.textureCount))) {
            return Fail(RavSection::Texture);
        }
        auto& textures = m_rav.m_textures;
        textures.assign(static_cast<std::size_t>(h.textureCount), RavTexture{});
        const auto table = static_cast<std::uint32_t>(h.textureTableOffset);
        for (std::size_t i = 0; i < textures.size(); ++i) {
            RavTexture& texture = textures[i];
            texture.nameOffset = m_in.U32(table + 4 * static_cast<std::uint64_t>(i));
            if (Beyond(texture.nameOffset) || !ReadName(texture.nameOffset, texture.name)) {
                return Fail(RavSection::Texture);
            }
        }
        // The same wrap-around arithmetic as the game's 32-bit words, so the
        // values compare equal with the references stored in files.
        const auto base = static_cast<std::uint32_t>(h.recordTableOffset);
        const auto skip = static_cast<std::uint32_t>(h.recordSkip);
        for (std::size_t i = 0; i < textures.size(); ++i) {
            const std::uint32_t ref =
                base + (skip + static_cast<std::uint32_t>(i)) * kRavRecordSize;
            textures[i].textureRef = static_cast<std::int32_t>(ref);
        }
        return true;
    }

    bool ReadObjects() {
        const RavHeader& h = m_rav.header;
        if (!Affordable(h.objectCount, kRavObjectEntrySize, sizeof(RavObject)) ||
            !Holds(h.objectTableOffset,
                   kRavObjectEntrySize * static_cast<std::uint64_t>(h.objectCount))) {
            return Fail(RavSection::Poly1);
        }
        auto& objects = m_rav.m_objects;
        objects.assign(static_cast<std::size_t>(h.objectCount), RavObject{});
        const auto table = static_cast<std::uint32_t>(h.objectTableOffset);
        for (std::size_t j = 0; j < objects.size(); ++j) {
            if (!ReadObject(table + kRavObjectEntrySize * static_cast<std::uint64_t>(j),
                            objects[j])) {
                return false;
            }
        }
        return true;
    }

    bool ReadObject(std::uint64_t entry, RavObject& object) {
        const std::uint32_t nameOffset = m_in.U32(entry);
        const std::int32_t kind = m_in.I32(entry + 4);
        const std::uint32_t detailOffset = m_in.U32(entry + 8);
        if (Beyond(detailOffset) || Beyond(nameOffset)) {
            return Fail(RavSection::Poly1);
        }
        object.nameOffset = nameOffset;
        if (!ReadName(nameOffset, object.name)) {
            return Fail(RavSection::Poly1);
        }
        object.kind = kind;
        if (kind != 1) {
            return true;
        }
        if (!Holds(detailOffset, kRavDetailSize)) {
            return Fail(RavSection::Poly1);
        }
        object.detailOffset = detailOffset;
        return ReadDetail(object) && ReadMesh(object) && ReadUvs(object) &&
               ReadTextureRecords(object) && ReadColours(object);
    }

    bool ReadDetail(RavObject& object) {
        const RavObjectDetail& d = object.detail = ReadRecord<RavObjectDetail>(object.detailOffset);
        if (!Holds(d.meshOffset, kRavMeshSize) || Beyond(d.textureRecordOffset) ||
            Beyond(d.offset08) || Beyond(d.offset10) || Beyond(d.offset38)) {
            return Fail(RavSection::Poly2);
        }
        return true;
    }

    bool ReadMesh(RavObject& object) {
        const RavMeshHeader& m = object.mesh = ReadRecord<RavMeshHeader>(object.detail.meshOffset);
        if (Beyond(m.vertexOffset) || !Holds(m.uvHeaderOffset, kRavUvHeaderSize) ||
            !Affordable(m.vertexCount, kRavVertexSize, sizeof(RavVertex))) {
            return Fail(RavSection::Poly3);
        }
        ReadRecords(object.vertices, m.vertexCount, m.vertexOffset);
        return true;
    }

    bool ReadUvs(RavObject& object) {
        ForEachUvHeaderField(object, CLeCursor(m_in, object.mesh.uvHeaderOffset));
        if (Beyond(object.uvOffset) || !Affordable(object.uvCount, kRavUvSize, sizeof(RavUv))) {
            return Fail(RavSection::Poly4);
        }
        ReadRecords(object.uvs, object.uvCount, object.uvOffset);
        return true;
    }

    bool ReadTextureRecords(RavObject& object) {
        const RavObjectDetail& d = object.detail;
        if (!Affordable(d.textureRecordCount, kRavRecordSize,
                        sizeof(RavObjectTexture) + sizeof(std::vector<std::uint16_t>)) ||
            !Holds(d.textureRecordOffset,
                   kRavRecordSize * static_cast<std::uint64_t>(d.textureRecordCount))) {
            return Fail(RavSection::Poly2);
        }
        ReadRecords(object.textureRecords, d.textureRecordCount, d.textureRecordOffset);
        object.orders.resize(object.textureRecords.size());
        for (std::size_t k = 0; k < object.textureRecords.size(); ++k) {
            const RavObjectTexture& record = object.textureRecords[k];
            if (!Affordable(record.orderCount, 2, 2)) {
                return Fail(RavSection::Poly2);
            }
            ReadArray(object.orders[k], record.orderCount, record.orderOffset, 2,
                      [this](std::uint64_t p) { return m_in.U16(p); });
        }
        return true;
    }

    bool ReadColours(RavObject& object) {
        const RavMeshHeader& m = object.mesh;
        if (!Affordable(m.colourCount, kRavColourSize, sizeof(RavColour))) {
            return Fail(RavSection::Poly3);
        }
        ReadArray(object.colours, m.colourCount, m.colourOffset, kRavColourSize,
                  [this](std::uint64_t p) {
            return RavColour{m_in.U8(p), m_in.U8(p + 1), m_in.U8(p + 2), m_in.U8(p + 3)};
        });
        return true;
    }

    CRavFile& m_rav;
    CLeReader m_in;
    std::uint64_t m_size;
    std::uint64_t m_budget;
    RavSection* m_failed = nullptr;
};

bool CRavFile::Load(const std::string& path) {
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        FailWithReason(Format("Error opening %s", path.c_str()), errno);
        return false;
    }
    Clear();
    // The budget keeps a hostile file from asking for much, but a large
    // genuine file may still not fit in memory: that is reported, not fatal.
    try {
        if (!ReadToEnd(file.get(), m_image)) {
            const int error = errno;
            Clear();
            FailWithReason(Format("Error reading %s", path.c_str()), error);
            return false;
        }
    } catch (const std::bad_alloc&) {
        Clear();
        Fail(Format("Not enough memory to load %s", path.c_str()));
        return false;
    }
    return Decode(path);
}

bool CRavFile::LoadBytes(std::span<const std::uint8_t> bytes, const std::string& path) {
    Clear();
    try {
        m_image.assign(bytes.begin(), bytes.end());
    } catch (const std::bad_alloc&) {
        Clear();
        Fail(Format("Not enough memory to load %s", path.c_str()));
        return false;
    }
    return Decode(path);
}

bool CRavFile::Decode(const std::string& path) {
    try {
        RavSection failed = RavSection::Start;
        CRavLoader loader(*this, m_image);
        if (!loader.Run(failed)) {
            m_image.clear();
            m_image.shrink_to_fit();
            Fail(Format("%s is not a valid RAV file (or a new format) [Section: %s]", path.c_str(),
                        SectionName(failed)));
            return false;
        }
        for (std::size_t i = m_textures.size(); i-- > 0;) {
            m_textureByRef[m_textures[i].textureRef] = static_cast<std::int32_t>(i);
        }
        VisitLayout([this](std::uint32_t word) { m_loadedLayout.push_back(word); });
    } catch (const std::bad_alloc&) {
        Clear();
        Fail(Format("Not enough memory to load %s", path.c_str()));
        return false;
    }
    m_path = path;
    m_loaded = true;
    return true;
}

void CRavFile::Clear() {
    m_objects.clear();
    m_objects.shrink_to_fit();
    m_textures.clear();
    m_textures.shrink_to_fit();
    m_textureByRef.clear();
    m_loadedLayout.clear();
    m_loadedLayout.shrink_to_fit();
    m_image.clear();
    m_image.shrink_to_fit();
    header = RavHeader{};
    m_path.clear();
    m_loaded = false;
}

namespace {

// The element at `index` when it lies below the header's count.
template <typename T> T* ElementAt(std::span<T> items, std::int32_t count, std::int32_t index) {
    if (index < 0 || index >= count || static_cast<std::size_t>(index) >= items.size()) {
        return nullptr;
    }
    return &items[static_cast<std::size_t>(index)];
}

} // namespace

RavObject* CRavFile::GetObject(std::int32_t index) {
    return ElementAt(Objects(), header.objectCount, index);
}

const RavObject* CRavFile::GetObject(std::int32_t index) const {
    return ElementAt(Objects(), header.objectCount, index);
}

RavTexture* CRavFile::GetTexture(std::int32_t index) {
    return ElementAt(Textures(), header.textureCount, index);
}

const RavTexture* CRavFile::GetTexture(std::int32_t index) const {
    return ElementAt(Textures(), header.textureCount, index);
}

const char* CRavFile::GetTextureName(std::int32_t textureRef) const {
    const auto found = m_textureByRef.find(textureRef);
    if (found == m_textureByRef.end()) {
        return nullptr;
    }
    const RavTexture* texture = GetTexture(found->second);
    return texture != nullptr ? texture->name.c_str() : nullptr;
}

const RavTexture* CRavFile::FindTexture(std::string_view name) const {
    for (const RavTexture& texture : Textures()) {
        if (EqualNoCase(texture.name, name)) {
            return &texture;
        }
    }
    return nullptr;
}

template <typename Word> void CRavFile::VisitLayout(Word&& word) const {
    auto add = [&word](auto... values) { (word(static_cast<std::uint32_t>(values)), ...); };
    add(header.objectCount, header.textureCount);
    for (const RavTexture& texture : m_textures) {
        add(texture.nameOffset);
    }
    for (const RavObject& o : m_objects) {
        add(o.nameOffset, o.kind, o.detailOffset, o.detail.meshOffset, o.detail.textureRecordCount,
            o.detail.textureRecordOffset, o.mesh.vertexCount, o.mesh.vertexOffset,
            o.mesh.colourCount, o.mesh.colourOffset, o.mesh.uvHeaderOffset, o.uvCount, o.uvOffset);
        for (const RavObjectTexture& record : o.textureRecords) {
            add(record.orderCount, record.orderOffset);
        }
    }
}

bool CRavFile::SameLayout(const CRavFile& other) const {
    std::vector<std::uint32_t> words;
    VisitLayout([&words](std::uint32_t word) { words.push_back(word); });
    return other.LayoutIs(words);
}

bool CRavFile::LayoutIs(const std::vector<std::uint32_t>& words) const {
    std::size_t next = 0;
    bool same = true;
    VisitLayout([&](std::uint32_t word) {
        same = same && next < words.size() && words[next] == word;
        ++next;
    });
    return same && next == words.size();
}

bool CRavFile::LayoutUnchanged() const {
    return LayoutIs(m_loadedLayout);
}

bool CRavFile::ArraysMatchCounts() const {
    auto same = [](std::size_t size, std::int32_t count) {
        return count >= 0 && size == static_cast<std::size_t>(count);
    };
    if (!same(m_objects.size(), header.objectCount) ||
        !same(m_textures.size(), header.textureCount)) {
        return false;
    }
    for (const RavObject& o : m_objects) {
        if (o.kind != 1) {
            continue;
        }
        if (!same(o.vertices.size(), o.mesh.vertexCount) ||
            !same(o.colours.size(), o.mesh.colourCount) || !same(o.uvs.size(), o.uvCount) ||
            !same(o.textureRecords.size(), o.detail.textureRecordCount) ||
            o.orders.size() != o.textureRecords.size()) {
            return false;
        }
        for (std::size_t k = 0; k < o.orders.size(); ++k) {
            if (!same(o.orders[k].size(), o.textureRecords[k].orderCount)) {
                return false;
            }
        }
    }
    return true;
}
