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

// scanf's "%s" after a key, cut to the longest name the model holds.
bool ScanWord(const char* p, std::string& word) {
    p = SkipSpace(p);
    const char* end = p;
    while (*end != '\0' && !IsSpace(*end)) {
        ++end;
    }
    if (end == p) {
        return false;
    }
    word.assign(p, std::min<std::size_t>(static_cast<std::size_t>(end - p), kMaxNameLength));
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
// holds, so the next part is read from its own lines. Every line that
// carries a key by its place is checked for it: a text that lacks one is
// out of step with the model, and what it would put where is unknowable.
class CAsciiImporter {
public:
    CAsciiImporter(CAsciiLineReader& lines, CRavFile& rav, CMessageOutput& output,
                   const std::string& path)
        : m_lines(lines), m_rav(rav), m_output(output), m_path(path) {}

    // False when the text is out of step, after saying where; the model
    // may then hold part of the text.
    bool Run() {
        std::int32_t mode = 0;
        std::int32_t objects = 0;
        if (!NextCount("EXMODE=", mode) || !NextCount("OBJECTS=", objects)) {
            return false;
        }
        m_mode = static_cast<std::uint32_t>(mode);
        if (objects > m_rav.header.objectCount) {
            Warn(Format("Warning! Textfile has %d Objects but the Ravfile only has %d. Cropping",
                        objects, m_rav.header.objectCount));
            objects = m_rav.header.objectCount;
        }
        for (std::int32_t i = 0; i < objects; ++i) {
            if (!ReadObject(i, m_rav.Objects()[static_cast<std::size_t>(i)])) {
                return false;
            }
            if (m_lines.RanOut()) {
                Warn("Warning! Textfile has to few lines. Aborting");
                break;
            }
        }
        return true;
    }

private:
    bool Has(AsciiExportFlag flag) const { return (m_mode & flag) != 0; }

    const std::string& NextLine() {
        m_line.assign(m_lines.Next());
        return m_line;
    }

    // What follows `key` on the next line, or null when the line lacks it,
    // after reporting so. A line the text did not hold passes as empty:
    // running out is reported once the object has been read.
    const char* NextKeyed(const char* key) {
        const char* p = NextLine().c_str();
        if (m_lines.RanOut()) {
            return p;
        }
        p = SkipSpace(p);
        const std::size_t length = std::strlen(key);
        if (std::strncmp(p, key, length) == 0) {
            return p + length;
        }
        m_output.Fail(Format("Error! %s line %lld: expected %s but found \"%s\". Nothing imported",
                             m_path.c_str(), static_cast<long long>(m_lines.LineNumber()), key,
                             m_line.c_str()));
        return nullptr;
    }

    // The count on the next keyed line; 0 when the line holds none, so a
    // value of an earlier line is never taken again.
    bool NextCount(const char* key, std::int32_t& value) {
        value = 0;
        const char* p = NextKeyed(key);
        if (p != nullptr) {
            (void)ScanInt(p, value);
        }
        return p != nullptr;
    }

    void Skip(std::int64_t lines) {
        for (std::int64_t n = 0; n < lines && !m_lines.RanOut(); ++n) {
            (void)m_lines.Next();
        }
    }

    std::int64_t LinesPerTexture() const { return Has(ExportOrder) ? 3 : 1; }

    void Warn(const std::string& text) { m_output.Output(text, 1); }

    bool ReadObject(std::int32_t i, RavObject& object) {
        if (NextKeyed("Object") == nullptr) {
            return false;
        }
        const char* name = NextKeyed("NAME=");
        if (name == nullptr) {
            return false;
        }
        (void)ScanWord(name, object.name);
        const char* shown = object.name.c_str();

        std::int32_t vertexes = 0;
        if (!NextCount("VERTEXES=", vertexes)) {
            return false;
        }
        std::int32_t textures = 0;
        if (vertexes != object.mesh.vertexCount) {
            Warn(Format("Warning! Object %d (%s) has a %d Vertexes, the ravfile has %d. Skipping "
                        "Object",
                        i, shown, vertexes, object.mesh.vertexCount));
            Skip(HasVertexLines(m_mode) ? vertexes : 0);
            if (!NextCount("TEXTURES=", textures)) {
                return false;
            }
            Skip(std::int64_t{textures} * LinesPerTexture());
            return true;
        }
        if (HasVertexLines(m_mode)) {
            for (std::size_t k = 0; k < object.vertices.size(); ++k) {
                ReadVertex(object, k);
            }
        }

        if (!NextCount("TEXTURES=", textures)) {
            return false;
        }
        if (textures != object.detail.textureRecordCount) {
            Warn(Format("Warning! Object %d (%s) has a %d Textures, the ravfile has %d. Skipping "
                        "textures",
                        i, shown, textures, object.detail.textureRecordCount));
            Skip(std::int64_t{textures} * LinesPerTexture());
            return true;
        }
        for (std::size_t t = 0; t < object.textureRecords.size(); ++t) {
            if (!ReadTexture(i, object, t)) {
                return false;
            }
        }
        return true;
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

    bool ReadTexture(std::int32_t i, RavObject& object, std::size_t t) {
        RavObjectTexture& record = object.textureRecords[t];
        const char* p = NextKeyed("NAME=");
        if (p == nullptr) {
            return false;
        }
        std::string name;
        // An empty name never matches, not even a texture with an empty name:
        // it is what the export writes for a record whose texture is missing.
        const RavTexture* texture = ScanWord(p, name) ? m_rav.FindTexture(name) : nullptr;
        if (texture == nullptr) {
            Warn(Format("Warning! Object %d (%s) Texture %s not in ravfile. Skipping textures", i,
                        object.name.c_str(), name.c_str()));
            Skip(LinesPerTexture() - 1);
            return true;
        }
        record.textureRef = texture->textureRef;
        if (!Has(ExportOrder)) {
            return true;
        }
        std::int32_t count = 0;
        if (!NextCount("ORDERCOUNT=", count)) {
            return false;
        }
        if (count != record.orderCount) {
            Warn(Format("Warning! Object %d (%s) Textfile has %d order entries, the rav %d. "
                        "Skipping order entries",
                        i, object.name.c_str(), count, record.orderCount));
            Skip(1);
            return true;
        }
        return ReadOrder(i, object, t);
    }

    bool ReadOrder(std::int32_t i, RavObject& object, std::size_t t) {
        const char* p = NextKeyed("ORDER=");
        if (p == nullptr) {
            return false;
        }
        if (m_lines.RanOut()) {
            return true; // a missing line holds no entries, not zeros
        }
        std::vector<std::uint16_t>& orders = object.orders[t];
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
                return true;
            }
        }
        return true;
    }

    CAsciiLineReader& m_lines;
    CRavFile& m_rav;
    CMessageOutput& m_output;
    const std::string& m_path;
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
        lines.SkipByteOrderMark();
        return CAsciiImporter(lines, *rav, *this, path).Run();
    });
}
