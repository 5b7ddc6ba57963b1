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
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The two forms read: LightWave 5 (LWOB) and LightWave 6 (LWO2).
enum class LwForm { Lwob, Lwo2 };

struct Quad {
    std::array<std::uint32_t, 4> corners{};
    std::int32_t record = 0; // its number among all records of its chunk
    std::size_t points = 0;  // the point list its corners index
};

bool IsId(std::span<const std::uint8_t> bytes, std::string_view id) {
    return bytes.size() >= id.size() &&
           std::equal(id.begin(), id.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

// The form type for a message: bytes that are not printable as '?'.
std::string FormType(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12) {
        return "missing";
    }
    std::string type;
    for (const std::uint8_t b : bytes.subspan(8, 4)) {
        type += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '?';
    }
    return type;
}

// An LWO2 point index (VX): two bytes, or four when the first is 0xFF, of
// which the low 24 bits count.
bool ReadVx(CBeReader& in, std::uint32_t& index) {
    std::uint16_t high = 0;
    std::uint16_t low = 0;
    if (!in.U16(high) || (high >= 0xFF00 && !in.U16(low))) {
        return false;
    }
    index = high < 0xFF00 ? high : (std::uint32_t{high} & 0xFF) << 16 | low;
    return true;
}

// Reads the points and quadrilaterals of an LWOB or LWO2 image. Every size
// is checked against the bytes present before anything is read or
// allocated. In LWOB a later PNTS or POLS chunk replaces what an earlier one
// gave. In LWO2 each layer (LAYR) and each PNTS starts a new point list, a
// POLS chunk indexes the latest one, and the quadrilaterals of all POLS
// chunks follow one another.
class CLightwaveReader {
public:
    CLightwaveReader(const std::string& path, LwForm form, CMessageOutput& output)
        : m_path(path), m_form(form), m_output(output) {}

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
            } else if (IsId(id, "POLS") && m_form == LwForm::Lwob) {
                ReadLwobPolygons(data);
            } else if (IsId(id, "POLS")) {
                ReadLwo2Polygons(data);
            } else if (IsId(id, "LAYR") && m_form == LwForm::Lwo2) {
                m_pointLists.emplace_back();
            }
            if (size % 2 != 0) {
                (void)in.Skip(1); // the pad byte; a last one may be missing
            }
        }
    }

    [[nodiscard]] const std::vector<Quad>& Quads() const { return m_quads; }
    [[nodiscard]] std::span<const RavVertex> PointsOf(const Quad& quad) const {
        return m_pointLists[quad.points];
    }

private:
    void ReadPoints(std::span<const std::uint8_t> data) {
        if (m_form == LwForm::Lwo2) {
            m_pointLists.emplace_back();
        }
        std::vector<RavVertex>& points = m_pointLists.back();
        CBeReader in(data);
        points.assign(data.size() / 12, {});
        for (RavVertex& p : points) {
            (void)(in.F32(p.x) && in.F32(p.y) && in.F32(p.z)); // all there: 12 bytes each
        }
    }

    // Records: u16 corner count, that many u16 point indices, u16 surface.
    void ReadLwobPolygons(std::span<const std::uint8_t> data) {
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
                NotQuad(record);
                // Its corner indices and its surface number.
                if (!in.Skip(std::uint64_t{count} * 2 + 2)) {
                    return;
                }
                continue;
            }
            Quad quad{.record = record};
            std::array<std::uint16_t, 4> corners{};
            std::uint16_t surface = 0; // every quadrilateral is taken alike
            if (!(in.U16(corners[0]) && in.U16(corners[1]) && in.U16(corners[2]) &&
                  in.U16(corners[3]) && in.U16(surface))) {
                CutOff(record);
                return;
            }
            std::ranges::copy(corners, quad.corners.begin());
            m_quads.push_back(quad);
        }
    }

    // A polygon type, then records: u16 whose low 10 bits are the corner
    // count (the rest are flags), then that many VX point indices. Surfaces
    // are assigned elsewhere (PTAG). Only plain faces are read; patches and
    // other types are passed over.
    void ReadLwo2Polygons(std::span<const std::uint8_t> data) {
        CBeReader in(data);
        std::span<const std::uint8_t> type;
        if (!in.Take(4, type) || !IsId(type, "FACE")) {
            return;
        }
        for (std::int32_t record = 0; in.Remaining() > 0; ++record) {
            std::uint16_t head = 0;
            if (!in.U16(head)) {
                CutOff(record);
                return;
            }
            const unsigned count = head & 0x3FFU;
            if (count != 4) {
                NotQuad(record);
            }
            Quad quad{.record = record, .points = m_pointLists.size() - 1};
            for (unsigned corner = 0; corner < count; ++corner) {
                std::uint32_t index = 0;
                if (!ReadVx(in, index)) {
                    if (count == 4) {
                        CutOff(record);
                    }
                    return;
                }
                if (corner < 4) {
                    quad.corners[corner] = index;
                }
            }
            if (count == 4) {
                m_quads.push_back(quad);
            }
        }
    }

    void NotQuad(std::int32_t record) {
        Warn(Format("Object %d is not a G2 Object (not a rectangle)... skipping", record));
    }

    void CutOff(std::int32_t record) {
        Warn(Format("Object %d is cut off at the end of its chunk... skipping", record));
    }

    void Warn(const std::string& text) { m_output.Output(text, 1); }

    const std::string& m_path;
    LwForm m_form;
    CMessageOutput& m_output;
    // LWOB keeps one list; LWO2 quadrilaterals before any PNTS index the
    // first, empty one.
    std::vector<std::vector<RavVertex>> m_pointLists = std::vector<std::vector<RavVertex>>(1);
    std::vector<Quad> m_quads;
};

} // namespace

bool CLightwaveFilter::Import(const std::string& path, CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    std::optional<CLightwaveReader> reader;
    const bool read = ReadExchangeFile(path, [&](std::vector<std::uint8_t>& bytes) {
        if (!IsId(bytes, "FORM")) {
            Fail(Format("%s is not a valid IFF Lightwave file", path.c_str()));
            return false;
        }
        const std::span<const std::uint8_t> type =
            std::span(bytes).subspan(std::min<std::size_t>(bytes.size(), 8));
        if (IsId(type, "LWOB")) {
            reader.emplace(path, LwForm::Lwob, *this);
        } else if (IsId(type, "LWO2")) {
            reader.emplace(path, LwForm::Lwo2, *this);
        } else {
            Fail(Format("%s is not a LightWave object file (form type %s)", path.c_str(),
                        FormType(bytes).c_str()));
            return false;
        }
        reader->Read(bytes);
        return true;
    });
    if (!read) {
        return false;
    }

    // Quadrilateral i goes to the i-th object that the export would write;
    // when the counts differ, some go to objects they did not come from.
    const std::vector<Quad>& quads = reader->Quads();
    const auto takers = std::ranges::count_if(rav->Objects(), HoldsQuadrilateral);
    if (std::cmp_not_equal(quads.size(), takers)) {
        Output(Format("Warning! %s holds %lld quadrilateral%s but the RAV file has %lld "
                      "four-vertex object%s; quadrilaterals added or removed in a modelling tool "
                      "shift onto other objects",
                      path.c_str(), static_cast<long long>(quads.size()),
                      quads.size() == 1 ? "" : "s", static_cast<long long>(takers),
                      takers == 1 ? "" : "s"),
               1);
    }
    auto quad = quads.begin();
    for (RavObject& object : rav->Objects()) {
        if (quad == quads.end()) {
            break;
        }
        if (!HoldsQuadrilateral(object)) {
            continue;
        }
        const std::span<const RavVertex> points = reader->PointsOf(*quad);
        const auto missing = std::ranges::find_if(
            quad->corners, [&](std::uint32_t index) { return index >= points.size(); });
        if (missing != quad->corners.end()) {
            Output(Format("Object %d names point %u, but the file has %lld points... skipping",
                          quad->record, *missing, static_cast<long long>(points.size())),
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
