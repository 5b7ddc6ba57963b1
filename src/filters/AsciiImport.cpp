#include "filters/AsciiFilter.h"

#include "filters/AsciiLineReader.h"
#include "filters/NumberText.h"
#include "gamefiles/RavFile.h"
#include "output/Format.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxLineLength = 16383;
constexpr std::size_t kMaxNameLength = 1023;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) {
        ++p;
    }
    return p;
}

// scanf's "KEY=%d": the key must stand at the start of the line.
bool ScanCount(const std::string& line, const char* key, std::int32_t& value) {
    const std::size_t length = std::strlen(key);
    return line.compare(0, length, key) == 0 && ScanInt(line.c_str() + length, value) != 0;
}

// scanf's "NAME=%s", cut to the longest name the model holds. White space
// before the key is allowed, as the object's "\tNAME=%s" allows it; the line
// source has already passed over spaces and TABs, so for a texture's line
// this only adds vertical tabs and form feeds.
bool ScanName(const std::string& line, std::string& name) {
    const char* p = SkipSpace(line.c_str());
    if (std::strncmp(p, "NAME=", 5) != 0) {
        return false;
    }
    p = SkipSpace(p + 5);
    const char* end = p;
    while (*end != '\0' && !IsSpace(*end)) {
        ++end;
    }
    if (end == p) {
        return false;
    }
    name.assign(p, std::min<std::size_t>(static_cast<std::size_t>(end - p), kMaxNameLength));
    return true;
}

// scanf's "%f, %f, ..." (with a comma before the first number when
// `leadingComma`): a comma must follow each number directly, white space
// after it is optional. Returns how many numbers were read.
std::size_t ScanFloats(const char* p, bool leadingComma, std::span<float> values) {
    std::size_t count = 0;
    for (float& value : values) {
        if (count > 0 || leadingComma) {
            if (*p != ',') {
                break;
            }
            ++p;
        }
        const std::size_t used = ScanFloat(p, value);
        if (used == 0) {
            break;
        }
        p += used;
        ++count;
    }
    return count;
}

// Reads the text into the model object by object, matching objects by
// position. A part whose count differs from the model's is reported and
// passed over line by line, as many lines as the text's own counts say it
// holds, so the next part is read from its own lines.
class CAsciiImporter {
public:
    CAsciiImporter(CAsciiLineReader& lines, CRavFile& rav, CMessageOutput& output)
        : m_lines(lines), m_rav(rav), m_output(output) {}

    void Run() {
        std::int32_t mode = 0;
        std::int32_t objects = 0;
        (void)ScanCount(NextLine(), "EXMODE=", mode);
        (void)ScanCount(NextLine(), "OBJECTS=", objects);
        m_mode = static_cast<std::uint32_t>(mode);
        if (objects > m_rav.header.objectCount) {
            Warn(Format("Warning! Textfile has %d Objects but the Ravfile only has %d. Cropping",
                        objects, m_rav.header.objectCount));
            objects = m_rav.header.objectCount;
        }
        for (std::int32_t i = 0; i < objects; ++i) {
            ReadObject(i, m_rav.Objects()[static_cast<std::size_t>(i)]);
            if (m_lines.RanOut()) {
                Warn("Warning! Textfile has to few lines. Aborting");
                break;
            }
        }
    }

private:
    bool Has(AsciiExportFlag flag) const { return (m_mode & flag) != 0; }

    const std::string& NextLine() {
        m_line.assign(m_lines.Next());
        return m_line;
    }

    // The count on the next line; 0 when the line holds none, so a value of
    // an earlier line is never taken again.
    std::int32_t NextCount(const char* key) {
        std::int32_t value = 0;
        (void)ScanCount(NextLine(), key, value);
        return value;
    }

    void Skip(std::int64_t lines) {
        for (std::int64_t n = 0; n < lines && !m_lines.RanOut(); ++n) {
            (void)m_lines.Next();
        }
    }

    std::int64_t LinesPerTexture() const { return Has(ExportOrder) ? 3 : 1; }

    void Warn(const std::string& text) { m_output.Output(text, 1); }

    void ReadObject(std::int32_t i, RavObject& object) {
        (void)NextLine(); // "Object <i>:", never compared
        std::string name;
        if (ScanName(NextLine(), name)) {
            object.name = std::move(name);
        }
        const char* shown = object.name.c_str();

        const std::int32_t vertexes = NextCount("VERTEXES=");
        if (vertexes != object.mesh.vertexCount) {
            Warn(Format("Warning! Object %d (%s) has a %d Vertexes, the ravfile has %d. Skipping "
                        "Object",
                        i, shown, vertexes, object.mesh.vertexCount));
            Skip(HasVertexLines(m_mode) ? vertexes : 0);
            Skip(std::int64_t{NextCount("TEXTURES=")} * LinesPerTexture());
            return;
        }
        if (HasVertexLines(m_mode)) {
            for (std::size_t k = 0; k < object.vertices.size(); ++k) {
                ReadVertex(object, k);
            }
        }

        const std::int32_t textures = NextCount("TEXTURES=");
        if (textures != object.detail.textureRecordCount) {
            Warn(Format("Warning! Object %d (%s) has a %d Textures, the ravfile has %d. Skipping "
                        "textures",
                        i, shown, textures, object.detail.textureRecordCount));
            Skip(std::int64_t{textures} * LinesPerTexture());
            return;
        }
        for (std::size_t t = 0; t < object.textureRecords.size(); ++t) {
            ReadTexture(i, object, t);
        }
    }

    void ReadVertex(RavObject& object, std::size_t k) {
        const std::string& line = NextLine();
        std::array<float, 5> values{};
        if (Has(ExportVertexes)) {
            const std::size_t wanted = Has(ExportPlacements) ? 5 : 3;
            const std::size_t read =
                ScanFloats(line.c_str(), false, std::span(values).first(wanted));
            RavVertex& v = object.vertices[k];
            float* const fields[] = {&v.x, &v.y, &v.z};
            for (std::size_t n = 0; n < std::min<std::size_t>(read, 3); ++n) {
                *fields[n] = values[n];
            }
            StoreUv(object, k, std::span(values).subspan(3), read > 3 ? read - 3 : 0);
        } else if (Has(ExportPlacements)) {
            // Without positions the line begins with the comma before u.
            const std::size_t read = ScanFloats(line.c_str(), true, std::span(values).first(2));
            StoreUv(object, k, std::span(values).first(2), read);
        }
        if (Has(ExportShading) && k < object.colours.size() && line.size() >= 6) {
            // The last six characters are bytes 2, 1, 0 of the colour.
            const std::uint64_t rgb = ParseHex(line.c_str() + line.size() - 6);
            RavColour& colour = object.colours[k];
            colour[0] = static_cast<std::uint8_t>(rgb);
            colour[1] = static_cast<std::uint8_t>(rgb >> 8);
            colour[2] = static_cast<std::uint8_t>(rgb >> 16);
        }
    }

    // Coordinates of a vertex beyond the object's texture coordinates are
    // read and dropped.
    static void StoreUv(RavObject& object, std::size_t k, std::span<const float> uv,
                        std::size_t read) {
        if (k >= object.uvs.size()) {
            return;
        }
        if (read > 0) {
            object.uvs[k].u = uv[0];
        }
        if (read > 1) {
            object.uvs[k].v = uv[1];
        }
    }

    void ReadTexture(std::int32_t i, RavObject& object, std::size_t t) {
        RavObjectTexture& record = object.textureRecords[t];
        std::string name;
        // An empty name never matches, not even a texture with an empty name:
        // it is what the export writes for a record whose texture is missing.
        const RavTexture* texture = ScanName(NextLine(), name) ? m_rav.FindTexture(name) : nullptr;
        if (texture == nullptr) {
            Warn(Format("Warning! Object %d (%s) Texture %s not in ravfile. Skipping textures", i,
                        object.name.c_str(), name.c_str()));
            Skip(LinesPerTexture() - 1);
            return;
        }
        record.textureRef = texture->textureRef;
        if (!Has(ExportOrder)) {
            return;
        }
        const std::int32_t count = NextCount("ORDERCOUNT=");
        if (count != record.orderCount) {
            Warn(Format("Warning! Object %d (%s) Textfile has %d order entries, the rav %d. "
                        "Skipping order entries",
                        i, object.name.c_str(), count, record.orderCount));
            Skip(1);
            return;
        }
        ReadOrder(i, object, t);
    }

    void ReadOrder(std::int32_t i, RavObject& object, std::size_t t) {
        const std::string& line = NextLine();
        if (m_lines.RanOut()) {
            return; // a missing line holds no entries, not zeros
        }
        std::vector<std::uint16_t>& orders = object.orders[t];
        // The entries follow the six characters of "ORDER="; the key itself
        // is not compared.
        const char* p = line.c_str() + std::min<std::size_t>(line.size(), 6);
        for (std::size_t j = 0; j < orders.size(); ++j) {
            orders[j] = static_cast<std::uint16_t>(static_cast<std::uint64_t>(ParseInteger(p)));
            const char* comma = std::strchr(p, ',');
            if (comma != nullptr) {
                p = comma + 1;
            } else if (j + 1 < orders.size()) {
                Warn(Format("Warning! Object %d (%s) has %d order entries, %d were expected. "
                            "Skipping rest",
                            i, object.name.c_str(), static_cast<int>(j + 1),
                            static_cast<int>(orders.size())));
                return;
            }
        }
    }

    CAsciiLineReader& m_lines;
    CRavFile& m_rav;
    CMessageOutput& m_output;
    std::uint32_t m_mode = 0;
    std::string m_line;
};

} // namespace

bool CAsciiFilter::Import(const std::string& path, CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    return ReadExchangeStream(path, [&](std::FILE* file) {
        CAsciiLineReader lines(file, kMaxLineLength);
        CAsciiImporter(lines, *rav, *this).Run();
        return true;
    });
}
