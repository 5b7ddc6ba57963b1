#pragma once

#include "filters/Filter.h"

#include <string>

// The filter of DesignWorkshop text files (".dw"): each G2 object of a RAV
// model, a textured rectangle, becomes a four-cornered polyline that the
// modelling program can edit, and comes back as the rectangle's corners and
// texture. Nothing else of the model is written or changed; object 0 never.
//
// The file, lines ending with CR LF:
//   a fixed header of 36 lines (the object count less one on line 2),
//   "numMaterials: <texture count>", an empty line,
//   per texture i:  "Material: <name>", <i + 1>, an empty line,
//   per G2 object from object 1 on:
//     "Polyline:", "Phase: 1", "Mat: <material>", "Name:",
//     "Color: 65535 64000 56000", "numVerts: 4",
//     per corner:  "<x> <z> <y> 1" (the RAV's y axis goes last, "%f" numbers),
//     "numEdges: 4", the four edges, "numFaces: 0", "numOpenings: 0", "",
//   and one more empty line.
// Materials are the RAV texture table numbered from 1; 0 means none. The
// reader looks only for the keywords "Polyline:", "Mat:" and "numVerts:" and
// the corner lines after the last, and gives the k-th polyline to the k-th
// G2 object from object 1 on, the object the export wrote it from.
class CDesignWorkshopFilter final : public CFilter {
public:
    CDesignWorkshopFilter();

    // True when every G2 object after object 0 got its polyline; more
    // polylines than that are reported and left out. A file with fewer is
    // reported and gives false, with what was read so far in the model.
    [[nodiscard]] bool Import(const std::string& path, CRavFile* rav) override;
    // True when the whole file was written; objects that are not G2 objects
    // are reported and left out.
    [[nodiscard]] bool Export(const std::string& path, const CRavFile* rav) override;
};
