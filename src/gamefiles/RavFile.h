#pragma once

#include "gamefiles/RavRecords.h"
#include "output/MessageOutput.h"

#include <cstdint>
#include <functional>
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

    // Returns the model to empty.
    void Clear();

    [[nodiscard]] bool IsLoaded() const { return m_loaded; }
    // The loaded file's path; empty unless a load succeeded.
    [[nodiscard]] const std::string& GetPath() const { return m_path; }

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

    // Patch the model back into the loaded file in place: every object's
    // name and, for kind 1, its blocks with a freshly computed bounding box.
    // Names longer than the stored ones are cropped (with a warning) in the
    // file and in the model. Nothing is written unless the whole patch could
    // be prepared. False after a message when the file cannot be opened for
    // update or a write, flush or close fails.
    [[nodiscard]] bool Save();

    // As Save, but writes the names of the texture-name table only.
    [[nodiscard]] bool SaveTextureNames();

protected:
    [[nodiscard]] std::string OutputName() const override { return "RAVfile"; }

private:
    // Opens the file for update, lets `patch` apply the model to an image of
    // it, then writes the bytes that changed.
    [[nodiscard]] bool PatchFile(const std::function<void(CRavPatcher&)>& patch);

    // Calls `word` with every count and offset the writers follow, in a
    // fixed order. A save refuses a model whose layout differs from the
    // loaded one, or whose arrays differ from their counts: either would
    // write outside the sections that were read.
    template <typename Word> void VisitLayout(Word&& word) const;
    [[nodiscard]] bool LayoutUnchanged() const;
    [[nodiscard]] bool ArraysMatchCounts() const;

    friend class CRavLoader;
    friend class CRavPatcher;

// <windows.h> turns GetObject into a macro; the model's accessor keeps its name.
#ifdef GetObject
#undef GetObject
#endif

    std::vector<RavObject> m_objects;
    std::vector<RavTexture> m_textures;
    std::unordered_map<std::int32_t, std::int32_t> m_textureByRef;
    std::vector<std::uint32_t> m_loadedLayout;
    // The file's bytes as last read or written. A save reads the file into
    // this storage again rather than into fresh memory, which for a large
    // file costs more than the read itself.
    std::vector<std::uint8_t> m_image;
    std::string m_path;
    bool m_loaded = false;
};
