#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CRavFile;

// What differs between two RAV models and the files they were read from:
// the model loaded and the one about to be saved, or two files. Objects and
// textures are matched by index. Where the layouts differ (counts or
// offsets), only the header and the names are compared.
struct RavChangeReport {
    struct TextureReference {
        std::int32_t record = 0; // the object's texture record
        std::string before, after;
    };
    struct ObjectChange {
        std::int32_t index = 0;
        std::string name; // as it was
        std::string newName;
        bool renamed = false;
        std::size_t verticesMoved = 0;
        double largestMove = 0; // the furthest a vertex moved, in units
        std::size_t uvs = 0;
        std::size_t colours = 0;
        std::size_t orderEntries = 0;
        bool boxChanged = false; // the bounding box a save computes
        // Words of the detail block, mesh header and texture records that
        // hold neither counts, offsets, the box nor a texture reference.
        std::size_t otherWords = 0;
        std::vector<TextureReference> textureReferences;
    };
    struct Rename {
        std::int32_t index = 0;
        std::string before, after;
    };
    struct HeaderWord {
        const char* name = "";
        std::int32_t before = 0, after = 0;
    };
    // [begin, end) in the file.
    using ByteRange = std::pair<std::uint64_t, std::uint64_t>;

    bool sameLayout = true;
    std::size_t objectsBefore = 0, objectsAfter = 0;
    std::size_t texturesBefore = 0, texturesAfter = 0;
    std::vector<HeaderWord> header;
    std::vector<ObjectChange> objects; // only those that changed
    std::vector<Rename> textures;      // only those renamed
    // The bytes that differ, runs closer than 16 bytes joined; a file that
    // grew or shrank differs from the shorter one's end on.
    std::vector<ByteRange> changedBytes;
    // Whether a differing byte lies outside every section either model
    // reads.
    bool outsideModelDiffers = false;

    [[nodiscard]] bool ModelChanged() const {
        return !sameLayout || !header.empty() || !objects.empty() || !textures.empty();
    }
    // One line: "12 objects changed: 48 vertices moved up to 40.5 units, 8
    // colours, 2 texture references", parts that are zero left out;
    // "nothing changed" when the models are the same.
    [[nodiscard]] std::string Summary() const;
    // A line per change: the layout, header words, each object and texture.
    [[nodiscard]] std::vector<std::string> Lines() const;
};

// Compares `before` with `after`; each model's Bytes() are its file.
[[nodiscard]] RavChangeReport CompareRav(const CRavFile& before, const CRavFile& after);

// A distance or coordinate as the reports write it: at most three decimals,
// no trailing zeros, the same in every locale.
[[nodiscard]] std::string ReportNumber(double value);
