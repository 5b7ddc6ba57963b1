#pragma once

#include "gamefiles/RavRecords.h"
#include "output/MessageOutput.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A RAV file: the game's container of named objects (vertices, colours,
// texture coordinates, texture records with vertex orders) and of the
// texture-name table they refer to.
//
// Layout, all little-endian, every section reached through an absolute
// offset stored in another section (so sections may lie anywhere, in any
// order, and may be shared):
//   header (36 bytes at 0) -> texture-name table (u32 name offsets),
//                             record table (16-byte records, never read),
//                             object table (12-byte entries: name, kind, detail)
//   kind-1 object: detail block (64 bytes) -> mesh header (36 bytes)
//                  -> vertices, colours, uv header -> uvs;
//                  detail -> texture records (16 bytes) -> order lists (u16)
// A texture is identified by the offset of its record in the record table:
//   textureRef = recordTableOffset + (recordSkip + index) * 16.
//
// The file is never rebuilt: Save patches the model back at the offsets it
// was read from.
class CRavPatcher;

// <windows.h> turns GetObject into a macro; the model's accessor keeps its name.
#ifdef GetObject
#undef GetObject
#endif

class CRavFile : public CMessageOutput {
public:
    RavHeader header;

    // Replaces the model with the file at `path` (UTF-8). False after one
    // message (flag 1) naming the path and, for a damaged file, the section
    // that failed. A file that cannot be opened leaves the model as it was;
    // any later failure leaves it cleared but for what was read before the
    // failing check, and it must not be used.
    [[nodiscard]] bool Load(const std::string& path);

    // The same for a file image in memory; `path` names it in messages and
    // is where Save writes.
    [[nodiscard]] bool LoadBytes(std::span<const std::uint8_t> bytes, const std::string& path);

    // Returns the model to empty.
    void Clear();

    [[nodiscard]] bool IsLoaded() const { return m_loaded; }
    // The loaded file's path; empty unless a load succeeded.
    [[nodiscard]] const std::string& GetPath() const { return m_path; }

    // The objects and textures in file order: as many as the header counts
    // once a load succeeded.
    [[nodiscard]] std::span<RavObject> Objects() { return m_objects; }
    [[nodiscard]] std::span<const RavObject> Objects() const { return m_objects; }
    [[nodiscard]] std::span<RavTexture> Textures() { return m_textures; }
    [[nodiscard]] std::span<const RavTexture> Textures() const { return m_textures; }

    // Null when `index` is outside the header's count.
    [[nodiscard]] RavObject* GetObject(std::int32_t index);
    [[nodiscard]] const RavObject* GetObject(std::int32_t index) const;
    [[nodiscard]] RavTexture* GetTexture(std::int32_t index);
    [[nodiscard]] const RavTexture* GetTexture(std::int32_t index) const;

    // The name of the first texture, in table order, with this textureRef;
    // null when there is none. The references are fixed by the load.
    [[nodiscard]] const char* GetTextureName(std::int32_t textureRef) const;

    // The first texture, in table order, whose name equals `name` without
    // regard to the case of ASCII letters; null when there is none. (Any
    // 32-bit value can be a textureRef, so none is kept free to mean "none".)
    [[nodiscard]] const RavTexture* FindTexture(std::string_view name) const;

    // Writes the model back into the loaded file at the offsets it was read
    // from: every object's name and, for kind 1, its blocks with a freshly
    // computed bounding box. Names longer than the stored ones are cropped
    // (with a warning) in the file and in the model. The file is replaced
    // whole, or not at all; nothing is written unless the file still holds
    // exactly what was loaded. False after a message (and the system's
    // reason where it gave one) otherwise.
    [[nodiscard]] bool Save();

    // As Save, but writes the names of the texture-name table only.
    [[nodiscard]] bool SaveTextureNames();

    // What a prepared save does: write, succeed without writing (a dry run),
    // or fail (the gate has said why).
    enum class SaveDecision { Write, Skip, Stop };
    // Asked once a save is prepared and before anything is written, with the
    // file's bytes as they are, which the gate may keep; the bytes to be
    // written are Bytes() by then. After Skip, Bytes() are ahead of the file.
    using SaveGate = std::function<SaveDecision(std::vector<std::uint8_t>& previous)>;
    void SetSaveGate(SaveGate gate) { m_saveGate = std::move(gate); }

    // The file's bytes as last loaded, or as the save being prepared leaves
    // them.
    [[nodiscard]] std::span<const std::uint8_t> Bytes() const { return m_image; }

    // Whether both models have the same counts and offsets: then every
    // section of one lies where the other's does.
    [[nodiscard]] bool SameLayout(const CRavFile& other) const;

    // The file as Save (or SaveTextureNames) would leave it, prepared from
    // the bytes last loaded or saved, without touching the file system. The
    // model changes as a save changes it (names cropped, boxes computed).
    // False after a message when the model no longer fits the loaded file.
    [[nodiscard]] bool PrepareSave(std::vector<std::uint8_t>& image);
    [[nodiscard]] bool PrepareSaveTextureNames(std::vector<std::uint8_t>& image);

protected:
    [[nodiscard]] std::string OutputName() const override { return "RAVfile"; }

private:
    // What a save writes: the whole model, or the texture names alone.
    enum class SavePart { Model, TextureNames };
    // (begin, end) of a run of bytes a save changes.
    using ByteRun = std::pair<std::uint64_t, std::uint64_t>;

    // False after a message when the model's layout or array lengths differ
    // from what was loaded: a save would write outside the sections read.
    [[nodiscard]] bool FitsLoadedFile();
    // True after a message when a colour array or order list that starts
    // at or past the end of the file (`fileSize`) no longer holds the zeros
    // it loaded as: the file cannot take it.
    [[nodiscard]] bool ArraysBeyondTheEnd(std::uint64_t fileSize);
    // False after a message when the model cannot be saved at all.
    [[nodiscard]] bool CanSave(SavePart part);
    // Applies the model to `image` in the order the sections are written;
    // the runs of bytes that changed.
    [[nodiscard]] std::vector<ByteRun> Patch(SavePart part, std::vector<std::uint8_t>& image);
    [[nodiscard]] bool PrepareImage(SavePart part, std::vector<std::uint8_t>& image);
    // Saves through a whole-file replacement, or in place where that would
    // change the file's identity.
    [[nodiscard]] bool WriteFile(SavePart part);
    [[nodiscard]] bool WriteRunsInPlace(const std::vector<ByteRun>& runs);

    // Calls `word` with every count and offset the writers follow, in a
    // fixed order. A save refuses a model whose layout differs from the
    // loaded one, or whose arrays differ from their counts: either would
    // write outside the sections that were read.
    template <typename Word> void VisitLayout(Word&& word) const;
    // Decodes the bytes in m_image as the file at `path`.
    [[nodiscard]] bool Decode(const std::string& path);
    [[nodiscard]] bool LayoutUnchanged() const;
    // Whether the model's layout, visited, gives exactly `words`.
    [[nodiscard]] bool LayoutIs(const std::vector<std::uint32_t>& words) const;
    [[nodiscard]] bool ArraysMatchCounts() const;

    friend class CRavLoader;
    friend class CRavPatcher;

    std::vector<RavObject> m_objects;
    std::vector<RavTexture> m_textures;
    std::unordered_map<std::int32_t, std::int32_t> m_textureByRef;
    std::vector<std::uint32_t> m_loadedLayout;
    // The file's bytes as last read or written. A save compares the file
    // with them and patches them where they lie, rather than into fresh
    // memory, which for a large file costs more than the read itself; after
    // a save that failed they may be ahead of the file, which a second
    // attempt then finds changed.
    std::vector<std::uint8_t> m_image;
    std::string m_path;
    SaveGate m_saveGate;
    bool m_loaded = false;
};
