#include "filters/LightwaveFilter.h"

#include "filters/SharedPoints.h"
#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <array>
#include <cstdint>
#include <limits>
#include <new>
#include <string_view>
#include <vector>

namespace {

using Quad = std::array<std::uint16_t, 4>;

// Point indices are 16 bits wide.
constexpr std::size_t kMaxPoints = 65536;

// Ids and names, byte by byte.
void Text(CBeWriter& out, std::string_view text) {
    for (char c : text) {
        out.U8(static_cast<std::uint8_t>(c));
    }
}

// A surface name of eight letters, its terminator and the pad byte that
// brings it to an even length.
void Name(CBeWriter& out, std::string_view name) {
    Text(out, name);
    out.U16(0);
}

void Surface(CBeWriter& out, std::string_view name) {
    Text(out, "SURF");
    out.U32(60);
    Name(out, name);
    Text(out, "COLR");
    out.U16(4);
    for (std::uint8_t byte : {200, 200, 200, 0}) {
        out.U8(byte);
    }
    // FLAG and DIFF 256, TRAN, SPEC and GLOS 0.
    for (const auto& [id, value] : std::array<std::pair<std::string_view, std::uint16_t>, 5>{
             {{"FLAG", 256}, {"DIFF", 256}, {"TRAN", 0}, {"SPEC", 0}, {"GLOS", 0}}}) {
        Text(out, id);
        out.U16(2);
        out.U16(value);
    }
}

std::vector<std::uint8_t> Lwob(const std::vector<RavVertex>& points,
                               const std::vector<Quad>& quads) {
    CBeWriter out;
    out.Reserve(192 + 12 * (points.size() + quads.size()));
    Text(out, "FORM");
    out.U32(0); // the size, patched at the end
    Text(out, "LWOB");
    Text(out, "SRFS");
    out.U32(20);
    Name(out, "SKETCH_1");
    Name(out, "SKETCH$1");
    Text(out, "PNTS");
    out.U32(static_cast<std::uint32_t>(12 * points.size()));
    for (const RavVertex& p : points) {
        out.F32(p.x);
        out.F32(p.y);
        out.F32(p.z);
    }
    Text(out, "POLS");
    out.U32(static_cast<std::uint32_t>(12 * quads.size()));
    for (const Quad& quad : quads) {
        out.U16(4);
        for (std::uint16_t corner : quad) {
            out.U16(corner);
        }
        out.U16(1); // SKETCH_1
    }
    Surface(out, "SKETCH$1");
    Surface(out, "SKETCH_1");
    out.PatchU32(4, static_cast<std::uint32_t>(out.Bytes().size() - 8));
    return out.Bytes();
}

} // namespace

bool CLightwaveFilter::Export(const std::string& path, const CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    try {
        CSharedPoints points;
        std::vector<Quad> quads;
        for (const RavObject& object : rav->Objects()) {
            if (!HoldsQuadrilateral(object)) {
                continue;
            }
            Quad& quad = quads.emplace_back();
            for (std::size_t corner = 0; corner < 4; ++corner) {
                const std::size_t index = points.Add(object.vertices[corner]);
                if (index >= kMaxPoints) {
                    // Decided before the file is opened: an existing file
                    // stays as it was.
                    Fail(Format("Error! The objects have more than %d distinct corner points, "
                                "more than a Lightwave object file can index. Nothing written "
                                "to %s",
                                static_cast<int>(kMaxPoints), path.c_str()));
                    return false;
                }
                quad[corner] = static_cast<std::uint16_t>(index);
            }
        }
        // The FORM size is a u32; only an impossible number of objects
        // could exceed it, but a wrong size would go unnoticed.
        const std::uint64_t formSize =
            184 + 12 * (std::uint64_t{points.Points().size()} + quads.size());
        if (formSize > std::numeric_limits<std::uint32_t>::max()) {
            Fail(Format("Error! %s would be larger than 4 GiB. Nothing written", path.c_str()));
            return false;
        }
        bytes = Lwob(points.Points(), quads);
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to write %s", path.c_str()));
        return false;
    }
    return WriteExchangeFile(path, "Error opening %s for writing",
                             [&bytes](CWholeFileWriter& out) { return out.Write(bytes); });
}
