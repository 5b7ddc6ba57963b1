#include "filters/LightwaveFilter.h"

#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <span>
#include <string_view>
#include <vector>

namespace {

struct Quad {
    std::array<std::uint16_t, 4> corners{};
    std::int32_t record = 0; // its number among all records of its chunk
};

bool IsId(std::span<const std::uint8_t> bytes, std::string_view id) {
    return bytes.size() >= id.size() &&
           std::equal(id.begin(), id.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

// Reads the points and quadrilaterals of an LWOB image. Every size is
// checked against the bytes present before anything is read or allocated;
// a later PNTS or POLS chunk replaces what an earlier one gave.
class CLwobReader {
public:
    CLwobReader(const std::string& path, CMessageOutput& output) : m_path(path), m_output(output) {}

    void Read(std::span<const std::uint8_t> bytes) {
        CBeReader in(bytes);
        std::uint32_t formSize = 0;
        if (!in.Skip(4) || !in.U32(formSize) || !in.Skip(4)) {
            return; // a bare "FORM" holds nothing
        }
        const std::uint64_t formEnd = std::uint64_t{formSize} + 8;
        while (in.Position() < formEnd && in.Remaining() > 0) {
            std::span<const std::uint8_t> id;
            std::uint32_t size = 0;
            std::span<const std::uint8_t> data;
            if (!in.Take(4, id) || !in.U32(size) || !in.Take(size, data)) {
                Warn(Format("Warning! %s ends inside a chunk. Ignoring the rest", m_path.c_str()));
                return;
            }
            if (IsId(id, "PNTS")) {
                ReadPoints(data);
            } else if (IsId(id, "POLS")) {
                ReadPolygons(data);
            }
            if (size % 2 != 0) {
                (void)in.Skip(1); // the pad byte; a last one may be missing
            }
        }
    }

    [[nodiscard]] const std::vector<RavVertex>& Points() const { return m_points; }
    [[nodiscard]] const std::vector<Quad>& Quads() const { return m_quads; }

private:
    void ReadPoints(std::span<const std::uint8_t> data) {
        CBeReader in(data);
        m_points.assign(data.size() / 12, {});
        for (RavVertex& p : m_points) {
            (void)(in.F32(p.x) && in.F32(p.y) && in.F32(p.z)); // all there: 12 bytes each
        }
    }

    void ReadPolygons(std::span<const std::uint8_t> data) {
        CBeReader in(data);
        m_quads.clear();
        m_quads.reserve(data.size() / 12);
        for (std::int32_t record = 0; in.Remaining() > 0; ++record) {
            std::uint16_t count = 0;
            if (!in.U16(count)) {
                CutOff(record);
                return;
            }
            if (count != 4) {
                Warn(Format("Object %d is not a G2 Object (not a rectangle)... skipping", record));
                // Its corner indices and its surface number.
                if (!in.Skip(std::uint64_t{count} * 2 + 2)) {
                    return;
                }
                continue;
            }
            Quad quad{.record = record};
            std::uint16_t surface = 0; // every quadrilateral is taken alike
            if (!(in.U16(quad.corners[0]) && in.U16(quad.corners[1]) && in.U16(quad.corners[2]) &&
                  in.U16(quad.corners[3]) && in.U16(surface))) {
                CutOff(record);
                return;
            }
            m_quads.push_back(quad);
        }
    }

    void CutOff(std::int32_t record) {
        Warn(Format("Object %d is cut off at the end of its chunk... skipping", record));
    }

    void Warn(const std::string& text) { m_output.Output(text, 1); }

    const std::string& m_path;
    CMessageOutput& m_output;
    std::vector<RavVertex> m_points;
    std::vector<Quad> m_quads;
};

} // namespace

bool CLightwaveFilter::Import(const std::string& path, CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    CLwobReader reader(path, *this);
    const bool read = ReadExchangeFile(path, [&](std::vector<std::uint8_t>& bytes) {
        if (!IsId(bytes, "FORM")) {
            Fail(Format("%s is not a valid IFF Lightwave file", path.c_str()));
            return false;
        }
        reader.Read(bytes);
        return true;
    });
    if (!read) {
        return false;
    }

    // Quadrilateral i goes to the i-th object that the export would write.
    const std::vector<RavVertex>& points = reader.Points();
    auto quad = reader.Quads().begin();
    for (RavObject& object : rav->Objects()) {
        if (quad == reader.Quads().end()) {
            break;
        }
        if (!HoldsQuadrilateral(object)) {
            continue;
        }
        const auto missing =
            std::find_if(quad->corners.begin(), quad->corners.end(),
                         [&](std::uint16_t index) { return index >= points.size(); });
        if (missing != quad->corners.end()) {
            Output(Format("Object %d names point %d, but the file has %d points... skipping",
                          quad->record, *missing, static_cast<int>(points.size())),
                   1);
        } else {
            for (std::size_t corner = 0; corner < 4; ++corner) {
                object.vertices[corner] = points[quad->corners[corner]];
            }
        }
        ++quad;
    }
    return true;
}
