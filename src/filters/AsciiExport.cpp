#include "filters/AsciiFilter.h"

#include "filters/NumberText.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"

#include <span>
#include <string>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, std::uint8_t byte) {
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

// One object's lines. Written into a growing string, so an object of any
// size comes out whole.
class CAsciiObjectWriter {
public:
    CAsciiObjectWriter(std::uint32_t mode, int decimals) : m_mode(mode), m_decimals(decimals) {}

    void Write(std::int32_t index, const RavObject& object, const CRavFile& rav,
               std::string& out) const {
        out += "Object ";
        out += std::to_string(index);
        out += ":\r\n\tNAME=";
        out += object.name;
        out += "\r\n\tVERTEXES=";
        out += std::to_string(object.mesh.vertexCount);
        out += "\r\n";
        for (std::size_t k = 0; k < object.vertices.size(); ++k) {
            WriteVertex(object, k, out);
        }
        out += "\tTEXTURES=";
        out += std::to_string(object.detail.textureRecordCount);
        out += "\r\n";
        for (std::size_t t = 0; t < object.textureRecords.size(); ++t) {
            WriteTexture(object.textureRecords[t], object.orders[t], rav, out);
        }
    }

private:
    void Number(std::string& out, float value) const {
        AppendFixed(out, static_cast<double>(value), m_decimals);
    }

    void WriteVertex(const RavObject& object, std::size_t k, std::string& out) const {
        if ((m_mode & ExportVertexes) != 0) {
            const RavVertex& v = object.vertices[k];
            out += "\t\t";
            Number(out, v.x);
            out += ", ";
            Number(out, v.y);
            out += ", ";
            Number(out, v.z);
        }
        if ((m_mode & ExportPlacements) != 0) {
            const RavUv uv = k < object.uvs.size() ? object.uvs[k] : RavUv{};
            out += ", ";
            Number(out, uv.u);
            out += ", ";
            Number(out, uv.v);
        }
        if ((m_mode & ExportShading) != 0) {
            out += ", ";
            if (k < object.colours.size()) {
                const RavColour& c = object.colours[k];
                AppendHexByte(out, c[2]);
                AppendHexByte(out, c[1]);
                AppendHexByte(out, c[0]);
            } else {
                out += "000000";
            }
        }
        out += "\r\n";
    }

    void WriteTexture(const RavObjectTexture& record, const std::vector<std::uint16_t>& orders,
                      const CRavFile& rav, std::string& out) const {
        // A record whose texture is missing from the table gets an empty
        // name, which the reader reports and leaves alone.
        const char* name = rav.GetTextureName(record.textureRef);
        out += "\t\tNAME=";
        out += name != nullptr ? name : "";
        out += "\r\n";
        if ((m_mode & ExportOrder) == 0) {
            return;
        }
        out += "\t\t\tORDERCOUNT=";
        out += std::to_string(record.orderCount);
        out += "\r\n\t\t\tORDER=";
        for (std::size_t j = 0; j < orders.size(); ++j) {
            if (j != 0) {
                out += ", ";
            }
            out += std::to_string(static_cast<std::int16_t>(orders[j]));
        }
        out += "\r\n";
    }

    std::uint32_t m_mode;
    int m_decimals;
};

} // namespace

bool CAsciiFilter::Export(const std::string& path, const CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    return WriteExchangeFile(path, "Error opening %s", [&](CWholeFileWriter& out) {
        // The mode is printed as a signed number, as the reader scans it.
        std::string text = "EXMODE=" + std::to_string(static_cast<std::int32_t>(m_exportMode)) +
                           "\r\nOBJECTS=" + std::to_string(rav->header.objectCount) + "\r\n";
        bool written = out.Write(text);
        // One object at a time, so that a large model never stands whole
        // in memory as text.
        const CAsciiObjectWriter writer(m_exportMode, m_decimals);
        const std::span<const RavObject> objects = rav->Objects();
        for (std::size_t i = 0; written && i < objects.size(); ++i) {
            text.clear();
            writer.Write(static_cast<std::int32_t>(i), objects[i], *rav, text);
            written = out.Write(text);
        }
        return written && out.Write("[End of file]\r\n");
    });
}
