#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>

// Applies the model to an image of the file in the order the sections are
// written: each object's name, then for kind 1 its blocks. Where sections
// share bytes the later write wins, exactly as writing them one after the
// other into the file would. Writing into the image first means the file
// is only touched once everything to be written is known.
class CRavPatcher {
public:
    CRavPatcher(CRavFile& rav, std::vector<std::uint8_t>& image)
        : m_rav(rav), m_image(image), m_fileSize(image.size()) {}

    void ObjectName(std::int32_t index, RavObject& object) {
        Name(object.nameOffset, object.name, "Object %d: Warning! Objectname too long - cropping",
             index);
    }

    void TextureName(std::int32_t index, RavTexture& texture) {
        Name(texture.nameOffset, texture.name,
             "Texture %d: Warning! Objectname too long - cropping", index);
    }

    void ObjectBlocks(RavObject& object) {
        UpdateBox(object);
        const RavObjectDetail& d = object.detail;
        PutRecord(object.detailOffset, d);
        const RavMeshHeader& m = object.mesh;
        PutRecord(d.meshOffset, m);
        PutRecords(m.vertexOffset, object.vertices);

        CLeWriter& uvHeader = Block();
        ForEachUvHeaderField(std::as_const(object), [&uvHeader](auto field) { uvHeader.Field(field); });
        Put(m.uvHeaderOffset, uvHeader.Bytes());

        PutRecords(object.uvOffset, object.uvs);
        PutRecords(d.textureRecordOffset, object.textureRecords);
        for (std::size_t k = 0; k < object.textureRecords.size() && k < object.orders.size(); ++k) {
            CLeWriter& order = Block();
            order.Array(object.orders[k], 2, StoreLe16);
            PutInsideFile(object.textureRecords[k].orderOffset, order.Bytes());
        }

        CLeWriter& colours = Block();
        colours.Array(object.colours, kRavColourSize, [](std::uint8_t* p, const RavColour& colour) {
            std::memcpy(p, colour.data(), colour.size());
        });
        PutInsideFile(m.colourOffset, colours.Bytes());
    }

    // The ranges to write, sorted and joined. Ranges closer than a page are
    // joined: rewriting the unchanged bytes between them changes nothing and
    // saves a seek and a write call each.
    [[nodiscard]] std::vector<std::pair<std::uint64_t, std::uint64_t>> Runs() {
        constexpr std::uint64_t kJoinGap = 4096;
        std::sort(m_dirty.begin(), m_dirty.end());
        std::vector<std::pair<std::uint64_t, std::uint64_t>> runs;
        for (const auto& range : m_dirty) {
            if (!runs.empty() && range.first <= runs.back().second + kJoinGap) {
                runs.back().second = std::max(runs.back().second, range.second);
            } else {
                runs.push_back(range);
            }
        }
        return runs;
    }

private:
    // The box always holds the origin; a margin is added unless it is empty.
    static void UpdateBox(RavObject& object) {
        std::array<float, 3> low{0.0f, 0.0f, 0.0f};
        std::array<float, 3> high{0.0f, 0.0f, 0.0f};
        // std::min and std::max keep the bound on a NaN, as the comparisons
        // they stand for do.
        for (const RavVertex& v : object.vertices) {
            low = {std::min(low[0], v.x), std::min(low[1], v.y), std::min(low[2], v.z)};
            high = {std::max(high[0], v.x), std::max(high[1], v.y), std::max(high[2], v.z)};
        }
        const bool empty = std::all_of(low.begin(), low.end(), [](float f) { return f == 0.0f; }) &&
                           std::all_of(high.begin(), high.end(), [](float f) { return f == 0.0f; });
        if (!empty) {
            constexpr float kMargin = 2048.0f;
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] -= kMargin;
                high[axis] += kMargin;
            }
        }
        object.detail.boxMin = low;
        object.detail.boxMax = high;
    }

    // A new name may take the room of the stored one (its characters up to
    // the first zero byte or the end of the file) and no more: nothing says
    // the bytes after a stored name are free. The terminator is written only
    // where the stored name had one, so a name that ran to the end of the
    // file never grows it.
    void Name(std::uint32_t offset, std::string& name, const char* cropWarning,
              std::int32_t index) {
        if (offset > m_image.size()) {
            // The file has shrunk since it was loaded: there is no room.
            offset = static_cast<std::uint32_t>(m_image.size());
        }
        // Counting past the longest name the model can hold decides nothing
        // more, and an unbounded count over a long run of non-zero bytes
        // shared by many names would make the save quadratic.
        const std::size_t enough = std::max(name.size(), kRavMaxNameLength) + 1;
        std::size_t stored = 0;
        while (stored < enough && offset + stored < m_image.size() &&
               m_image[offset + stored] != 0) {
            ++stored;
        }
        if (name.size() > stored) {
            m_rav.Output(Format(cropWarning, index), 1);
            name.resize(stored);
        }
        // Byte for byte: char may be signed, and a name with bytes above 0x7F
        // must still compare equal to itself.
        const bool same =
            std::equal(name.begin(), name.end(), m_image.begin() + offset,
                       [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
        // A name read cut to the longest length the system keeps still
        // stands whole in the file; leave it there.
        if (same && (name.size() == stored || name.size() == kRavMaxNameLength)) {
            return;
        }
        std::vector<std::uint8_t> bytes(name.begin(), name.end());
        if (offset + name.size() < m_image.size()) {
            bytes.push_back(0);
        }
        Put(offset, bytes);
    }

    CLeWriter& Block() {
        m_block.Clear();
        return m_block;
    }

    // Colours and order lists may start at or past the end of the file,
    // where the loader read them as zeros. There is nothing to keep, and
    // writing them would grow the file, by up to 4 GiB: they are left out
    // (CRavFile::ArraysBeyondTheEnd refuses a save that changed one). One
    // that starts inside the file is written, whatever its end.
    void PutInsideFile(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
        if (offset < m_fileSize) {
            Put(offset, bytes);
        }
    }

    // A record written field by field, as its field list says.
    template <typename Record> void PutRecord(std::uint64_t offset, const Record& record) {
        CLeWriter& block = Block();
        ForEachField(record, [&block](auto field) { block.Field(field); });
        Put(offset, block.Bytes());
    }

    template <typename Record>
    void PutRecords(std::uint64_t offset, const std::vector<Record>& records) {
        CLeWriter& block = Block();
        block.Array(records, RavFieldBytes<Record>(), [](std::uint8_t* p, const Record& record) {
            ForEachField(record, [&p](auto field) { StoreLeField(p, field); });
        });
        Put(offset, block.Bytes());
    }

    // Writes into the image and remembers which bytes really changed; bytes
    // that extend the file count as changed whatever their value.
    void Put(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
        if (bytes.empty()) {
            return;
        }
        const std::uint64_t end = offset + bytes.size();
        const std::uint64_t oldSize = m_image.size();
        if (end > oldSize) {
            m_image.resize(static_cast<std::size_t>(end), 0);
            MarkDirty(std::max(offset, oldSize), end);
        }
        std::uint8_t* target = m_image.data() + offset;
        // Most of a save rewrites what is already there: settle that with
        // one fast compare before looking for where the bytes differ.
        if (std::memcmp(target, bytes.data(), bytes.size()) == 0) {
            return;
        }
        const auto first = std::mismatch(bytes.begin(), bytes.end(), target);
        if (first.first != bytes.end()) {
            const auto last = std::mismatch(bytes.rbegin(), bytes.rend(),
                                            std::reverse_iterator(target + bytes.size()));
            MarkDirty(offset + static_cast<std::uint64_t>(first.first - bytes.begin()),
                      end - static_cast<std::uint64_t>(last.first - bytes.rbegin()));
            std::memcpy(target, bytes.data(), bytes.size());
        }
    }

    void MarkDirty(std::uint64_t begin, std::uint64_t end) { m_dirty.emplace_back(begin, end); }

    CRavFile& m_rav;
    std::vector<std::uint8_t>& m_image;
    std::uint64_t m_fileSize;
    CLeWriter m_block;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_dirty;
};

bool CRavFile::FitsLoadedFile() {
    if (!LayoutUnchanged() || !ArraysMatchCounts()) {
        Fail(Format("Error! The data for %s no longer fits the file it was read from. Nothing "
                    "written",
                    m_path.c_str()));
        return false;
    }
    return true;
}

bool CRavFile::ArraysBeyondTheEnd(std::uint64_t fileSize) {
    const auto changed = [fileSize](std::uint64_t offset, const auto& values) {
        return offset >= fileSize && std::ranges::any_of(values, [](const auto& value) {
                   return value != std::remove_cvref_t<decltype(value)>{};
               });
    };
    for (std::size_t j = 0; j < m_objects.size(); ++j) {
        const RavObject& o = m_objects[j];
        const char* what = nullptr;
        if (changed(o.mesh.colourOffset, o.colours)) {
            what = "its colours lie";
        }
        for (std::size_t k = 0; what == nullptr && k < o.orders.size(); ++k) {
            if (changed(o.textureRecords[k].orderOffset, o.orders[k])) {
                what = "its order list lies";
            }
        }
        if (what != nullptr) {
            Fail(Format("Error! Object %d: %s beyond the end of %s. Nothing written",
                        static_cast<int>(j), what, m_path.c_str()));
            return true;
        }
    }
    return false;
}

std::vector<CRavFile::ByteRun> CRavFile::Patch(SavePart part, std::vector<std::uint8_t>& image) {
    CRavPatcher patcher(*this, image);
    if (part == SavePart::TextureNames) {
        for (std::size_t j = 0; j < m_textures.size(); ++j) {
            patcher.TextureName(static_cast<std::int32_t>(j), m_textures[j]);
        }
        return patcher.Runs();
    }
    for (std::size_t j = 0; j < m_objects.size(); ++j) {
        RavObject& object = m_objects[j];
        patcher.ObjectName(static_cast<std::int32_t>(j), object);
        if (IsGeometryObject(object)) {
            patcher.ObjectBlocks(object);
        }
    }
    return patcher.Runs();
}

bool CRavFile::CanSave(SavePart part) {
    if (!m_loaded) {
        Fail(Format("Error opening %s", m_path.c_str()));
        return false;
    }
    return FitsLoadedFile() && (part == SavePart::TextureNames || !ArraysBeyondTheEnd(m_image.size()));
}

bool CRavFile::PrepareImage(SavePart part, std::vector<std::uint8_t>& image) {
    if (!CanSave(part)) {
        return false;
    }
    try {
        image = m_image;
        (void)Patch(part, image);
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to save %s. Nothing written", m_path.c_str()));
        return false;
    }
    return true;
}

bool CRavFile::PrepareSave(std::vector<std::uint8_t>& image) {
    return PrepareImage(SavePart::Model, image);
}

bool CRavFile::PrepareSaveTextureNames(std::vector<std::uint8_t>& image) {
    return PrepareImage(SavePart::TextureNames, image);
}

// Everything that can be decided without writing is decided first: the
// model must fit the file, the user must be allowed to write it, and the
// file must still hold exactly what was loaded (another program may have
// changed or replaced it). The loaded bytes are then patched where they
// lie, so a large file needs no second copy, and written as a whole new
// file that replaces the old one only once it is complete: whatever fails,
// and wherever the process stops, the file is the old one or the new one.
// Where a new file would not be the same file to its other users, the
// changed runs are written in place instead, and the log says so.
bool CRavFile::WriteFile(SavePart part) {
    if (!CanSave(part)) {
        return false;
    }
    if (const std::error_code error = WriteAccessError(m_path)) {
        FailWithReason(Format("Error opening %s", m_path.c_str()), error);
        return false;
    }
    std::error_code error;
    if (!SameBytes(m_path, m_image, error)) {
        if (error) {
            FailWithReason(Format("Error opening %s", m_path.c_str()), error);
        } else {
            Fail(Format("Error! %s has changed since it was loaded. Nothing written",
                        m_path.c_str()));
        }
        return false;
    }
    std::vector<ByteRun> runs;
    std::vector<std::uint8_t> previous;
    try {
        if (m_saveGate) {
            previous = m_image;
        }
        runs = Patch(part, m_image);
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to save %s. Nothing written", m_path.c_str()));
        return false;
    }
    if (m_saveGate) {
        const SaveDecision decision = m_saveGate(previous);
        if (decision != SaveDecision::Write) {
            return decision == SaveDecision::Skip;
        }
    }
    if (runs.empty()) {
        return true; // the file already holds the model
    }
    if (const std::optional<std::string> why = WhyNotReplaceable(m_path)) {
        Output(Format("%s is saved in place, not atomically: %s", m_path.c_str(), why->c_str()),
               0);
        return WriteRunsInPlace(runs);
    }
    CWholeFileWriter writer(m_path);
    if (!writer.Open()) {
        FailWithReason(Format("Error opening %s", m_path.c_str()), writer.Error());
        return false;
    }
    if (!writer.Write(m_image) || !writer.Commit()) {
        FailWithReason(Format("Error writing %s", m_path.c_str()), writer.Error());
        return false;
    }
    return true;
}

bool CRavFile::WriteRunsInPlace(const std::vector<ByteRun>& runs) {
    FilePtr file = OpenFile(m_path, "r+b");
    if (!file) {
        FailWithReason(Format("Error opening %s", m_path.c_str()), errno);
        return false;
    }
    bool written = true;
    for (const auto& [begin, end] : runs) {
        written = written && WriteAt(file.get(), begin, m_image.data() + begin,
                                     static_cast<std::size_t>(end - begin));
    }
    const int error = written ? 0 : errno;
    if (!CloseFile(file) || !written) {
        FailWithReason(Format("Error writing %s", m_path.c_str()), error != 0 ? error : errno);
        return false;
    }
    return true;
}

bool CRavFile::Save() {
    return WriteFile(SavePart::Model);
}

bool CRavFile::SaveTextureNames() {
    return WriteFile(SavePart::TextureNames);
}
