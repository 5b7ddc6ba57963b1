#include "filters/AsciiFilter.h"

#include "filters/AsciiLineReader.h"
#include "filters/NumberText.h"
#include "gamefiles/RavFile.h"
#include "output/Format.h"

#include <algorithm>
#include <array>
#include <cmath>
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

// A table: colours mix digits and letters at random, on which tests would
// mispredict.
constexpr auto kIsHexDigit = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    return table;
}();

bool IsHexDigit(char c) {
    return kIsHexDigit[static_cast<unsigned char>(c)];
}

// Commas are few in a line, so memchr passes over the rest.
std::ptrdiff_t CountCommas(const char* p, const char* end) {
    std::ptrdiff_t count = 0;
    while (const void* comma = std::memchr(p, ',', static_cast<std::size_t>(end - p))) {
        p = static_cast<const char*>(comma) + 1;
        ++count;
    }
    return count;
}

// scanf's "%f, %f, ..." (with a comma before the first number when
// `leadingComma`): a comma must follow each number directly, white space
// after it is optional. Returns how many numbers were read and where each
// one's text begins in `starts`; `p` ends up after the last.
std::size_t ScanFloats(const char*& p, bool leadingComma, std::span<float> values,
                       std::span<const char*> starts) {
    std::size_t count = 0;
    for (float& value : values) {
        const char* q = p;
        if (count > 0 || leadingComma) {
            if (*q != ',') {
                break;
            }
            ++q;
        }
        const std::size_t used = ScanFloat(q, value);
        if (used == 0) {
            break;
        }
        starts[count] = q;
        p = q + used;
        ++count;
    }
    return count;
}

// The number that ScanFloat reads at `start`, as written.
std::string WrittenNumber(const char* start) {
    float unused = 0.0f;
    const std::size_t used = ScanFloat(start, unused);
    const char* first = SkipSpace(start);
    return std::string(first, static_cast<std::size_t>(start + used - first));
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

    // A warning about the line read last.
    void WarnAtLine(const std::string& what) {
        Warn(Format("Warning! %s line %lld: %s", m_path.c_str(),
                    static_cast<long long>(m_lines.LineNumber()), what.c_str()));
    }

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
        // Without positions the line begins with the comma before u.
        const std::size_t uvFirst = Has(ExportVertexes) ? 3 : 0;
        const std::size_t wanted = uvFirst + (Has(ExportPlacements) ? 2 : 0);
        std::array<float, 5> values{};
        std::array<const char*, 5> starts{};
        const char* rest = line.c_str();
        const std::size_t read =
            ScanFloats(rest, uvFirst == 0, std::span(values).first(wanted), starts);
        RavVertex& v = object.vertices[k];
        const bool hasUv = k < object.uvs.size();
        float* const fields[] = {&v.x, &v.y, &v.z, hasUv ? &object.uvs[k].u : nullptr,
                                 hasUv ? &object.uvs[k].v : nullptr};
        static constexpr const char* kNames[] = {"x", "y", "z", "u", "v"};
        for (std::size_t n = 0; n < read; ++n) {
            const std::size_t field = n < uvFirst ? n : n - uvFirst + 3;
            if (fields[field] == nullptr) {
                continue; // beyond the object's texture coordinates: dropped
            }
            if (!std::isfinite(values[n])) {
                WarnAtLine(Format("%s is not a finite number; the old %s kept",
                                  WrittenNumber(starts[n]).c_str(), kNames[field]));
                continue;
            }
            *fields[field] = values[n];
        }
        CheckNumberCount(read, wanted, CountCommas(rest, line.c_str() + line.size()));
        if (Has(ExportShading) && k < object.colours.size()) {
            ReadColour(line, object.colours[k]);
        }
    }

    // A number missing or split in two by a decimal comma leaves the others
    // in the wrong fields, and nothing else would tell. Each comma after the
    // numbers read starts a field; the colour takes one of them.
    void CheckNumberCount(std::size_t read, std::size_t wanted, std::ptrdiff_t commasLeft) {
        std::ptrdiff_t found = static_cast<std::ptrdiff_t>(read);
        if (read == wanted) {
            found += commasLeft - (Has(ExportShading) ? 1 : 0);
        }
        if (found != static_cast<std::ptrdiff_t>(wanted)) {
            WarnAtLine(Format("EXMODE=%u writes %d numbers, the line has %d%s", m_mode,
                              static_cast<int>(wanted), static_cast<int>(found),
                              found > static_cast<std::ptrdiff_t>(wanted)
                                  ? "; a decimal comma splits a number in two, write 0.5, not 0,5"
                                  : ""));
        }
    }

    // The colour is read from the line's last six characters, so a field
    // after the last comma of another length reads as the wrong colour.
    void ReadColour(const std::string& line, RavColour& colour) {
        const char* const end = line.c_str() + line.size();
        const char* const last6 = end - std::min<std::size_t>(line.size(), 6);
        const char* before = last6;
        while (before > line.c_str() && IsSpace(before[-1])) {
            --before;
        }
        if (end - last6 != 6 || !std::all_of(last6, end, IsHexDigit) ||
            (before > line.c_str() && before[-1] != ',')) {
            const std::size_t comma = line.rfind(',');
            WarnAtLine(
                Format("colour \"%s\" is not six hexadecimal digits",
                       SkipSpace(line.c_str() + (comma == std::string::npos ? 0 : comma + 1))));
        }
        if (line.size() >= 6) {
            // The last six characters are bytes 2, 1, 0 of the colour.
            const std::uint64_t rgb = ParseHex(last6);
            colour[0] = static_cast<std::uint8_t>(rgb);
            colour[1] = static_cast<std::uint8_t>(rgb >> 8);
            colour[2] = static_cast<std::uint8_t>(rgb >> 16);
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
        bool reported = false;
        for (std::size_t j = 0; j < orders.size(); ++j) {
            const std::int64_t entry = ParseInteger(p);
            const auto stored = static_cast<std::uint16_t>(static_cast<std::uint64_t>(entry));
            // Only an entry the text changes: one the RAV file holds already
            // is not the text's doing, and would stop every strict import.
            // One warning a line is enough to find it.
            if (!reported && stored != orders[j] && entry != -1 &&
                (entry < 0 || entry >= object.mesh.vertexCount)) {
                WarnAtLine(Format("order entry %lld is out of range; Object %d (%s) has %d "
                                  "Vertexes",
                                  static_cast<long long>(entry), i, object.name.c_str(),
                                  object.mesh.vertexCount));
                reported = true;
            }
            orders[j] = stored;
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
