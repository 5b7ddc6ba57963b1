#pragma once

#include "filters/Filter.h"

#include <string>

// The filter of Wavefront OBJ files, which every modelling tool reads and
// writes: the four-vertex objects of a RAV model as named quadrilaterals
// with their texture coordinates, vertex colours and textures.
//
// An OBJ file is text, one statement a line ("\" at a line's end joins the
// next), "#" starting a comment. The statements written and read:
//   mtllib <file>       the material library (written beside the OBJ file)
//   o <name>            starts an object; "g <name>" a group
//   v x y z [r g b]     a position, colours 0..1 after it
//   vt u v              a texture coordinate
//   usemtl <name>       the material of the faces that follow
//   f a/ta b/tb ...     a face: 1-based v (and vt) indices, negative ones
//                       count back from the latest
// The game is left-handed with y up, OBJ right-handed: a RAV position
// (x, y, z) is written as (x, y, -z) and each face's corners in reverse
// order, so the scene is not mirrored and every quadrilateral keeps its
// front. Texture coordinates go out as they are; the material flips the
// image instead ("map_Kd -s 1 -1 1"), as 1 - v would not read back bit for
// bit.
//
// The export names each object "<index>_<RAV name>": the index survives
// what tools do to names (".001" appended, spaces turned into "_",
// objects reordered) and is what the import goes by. A file whose objects
// carry no index (or no objects at all) gives its quadrilaterals to the
// four-vertex objects in model order, as the export wrote them.
class CObjFilter final : public CFilter {
public:
    CObjFilter();

    // Sets the positions, and where the file and the object both have them
    // the texture coordinates, colours and first texture, of the objects its
    // faces target. False after a message when the file cannot be read or
    // holds neither a "v" nor an "f" statement; every face or group passed
    // over is reported with its line.
    [[nodiscard]] bool Import(const std::string& path, CRavFile* rav) override;
    // Writes the material library "<stem>.mtl" beside the file, with the
    // images of the archive set by --fsh as PNG files, then the file itself.
    // False after a message when any of them cannot be written whole; then
    // those already written are removed.
    [[nodiscard]] bool Export(const std::string& path, const CRavFile* rav) override;
    // --fsh FSH: the archive whose images the next export writes; an empty
    // value, or no option, writes none.
    [[nodiscard]] std::optional<std::string> ApplyOptions(const FilterOptionValues& given) override;

private:
    std::string m_fshPath;
};
