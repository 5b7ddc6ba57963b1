#pragma once

#include "filters/Filter.h"

#include <string>

// The filter of LightWave object files: the four-vertex objects of a RAV
// model as quadrilaterals whose corners share points, written as LWOB and
// read back from LWOB or from the LWO2 that later modelling tools save.
//
// An LWOB file is an IFF "FORM" of type "LWOB": a sequence of chunks, each a
// four-letter id, a big-endian u32 size and that many data bytes, plus one
// pad byte after an odd size. All numbers are big-endian. The chunks used:
//   SRFS  surface names, each zero-terminated and padded to an even length
//   PNTS  points, three f32 each (x, y, z as in the RAV file)
//   POLS  polygon records: u16 corner count n, n u16 point indices, and a
//         u16 surface number (1-based into SRFS)
//   SURF  a surface: its name, then sub-chunks of id, u16 size and data
// The export writes FORM, SRFS ("SKETCH_1", "SKETCH$1"), PNTS, POLS with
// every quadrilateral on surface 1, then SURF "SKETCH$1" and SURF
// "SKETCH_1". The import reads only PNTS and POLS.
//
// LWO2 (form type "LWO2") differs where the import looks:
//   LAYR  starts a layer, with its own points
//   PNTS  as in LWOB; POLS indices refer to the latest PNTS
//   POLS  a four-letter polygon type, then records: u16 whose low 10 bits
//         are the corner count, and that many point indices of two bytes,
//         or of four when the first byte is 0xFF (the low 24 bits count).
//         Only type "FACE" holds plain polygons. No surface number.
// The quadrilaterals of all layers follow one another.
//
// A four-vertex object whose twelve coordinates are all 0.0 holds no shape:
// the export leaves it out and the import passes over it, so that each
// quadrilateral comes back to the object it was written from.
class CLightwaveFilter final : public CFilter {
public:
    CLightwaveFilter();

    // Sets the vertex positions of the four-vertex objects, in order, from
    // the file's quadrilaterals; nothing else changes. A count of
    // quadrilaterals other than the objects' is reported. False after a
    // message when the file cannot be read or is not an LWOB or LWO2 FORM;
    // damaged parts of such a file are reported and passed over.
    [[nodiscard]] bool Import(const std::string& path, CRavFile* rav) override;
    // False after a message when the file cannot be written whole, and when
    // the model has more distinct corner points than 16-bit indices reach;
    // then no file is created and an existing one is left as it was.
    [[nodiscard]] bool Export(const std::string& path, const CRavFile* rav) override;
};
