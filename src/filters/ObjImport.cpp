#include "filters/ObjFilter.h"

#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kNoMaterial = "(none)";

struct ObjVertex {
    RavVertex position;
    std::array<float, 3> rgb{};
    bool coloured = false;
    bool usable = false; // three finite coordinates, and finite colours
    std::int64_t line = 0;
};

struct ObjUv {
    RavUv uv;
    bool usable = false;
};

// A face: how many corners it has, and the first four as 0-based indices
// into the positions and texture coordinates (-1: none given).
struct ObjFace {
    std::size_t corners = 0;
    std::array<std::int64_t, 4> v{};
    std::array<std::int64_t, 4> vt{-1, -1, -1, -1};
    std::int64_t line = 0;
    std::int32_t material = -1; // into the material names
    std::string problem;        // why the face cannot be used
};

// An object or group: its name and the faces after it.
struct ObjGroup {
    std::string name;
    std::int64_t line = 0;
    std::size_t firstFace = 0;
    std::size_t endFace = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view WithoutCr(std::string_view line) {
    return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
}

// The next word of `text`, which loses it.
std::string_view NextWord(std::string_view& text) {
    text = Trimmed(text);
    const auto end = std::ranges::find_if(text, IsBlank);
    const std::string_view word = text.substr(0, static_cast<std::size_t>(end - text.begin()));
    text.remove_prefix(word.size());
    return word;
}

// A whole word as a float, "." the decimal point whatever the locale.
std::optional<float> ReadFloat(std::string_view word) {
    if (word.starts_with('+')) {
        word.remove_prefix(1);
    }
    float value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc{} || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

// The numbers of a statement, up to `count`; false when a word is not a
// finite number. A "#" word starts a comment.
bool ReadFloats(std::string_view rest, std::span<float> values, std::size_t& read) {
    read = 0;
    for (std::string_view word = NextWord(rest); !word.empty() && !word.starts_with('#');
         word = NextWord(rest)) {
        const std::optional<float> value = ReadFloat(word);
        if (!value || !std::isfinite(*value)) {
            return false;
        }
        if (read < values.size()) {
            values[read++] = *value;
        }
    }
    return true;
}

// The object index at the start of a name ("3_crowd01", "3 crowd.001",
// "3-a"), or nothing. Past the largest int it names no object either way.
std::optional<std::int64_t> IndexPrefix(std::string_view name) {
    const auto digits = std::ranges::find_if(name, [](char c) { return c < '0' || c > '9'; });
    if (digits == name.begin() || digits == name.end() ||
        std::string_view("_ .-").find(*digits) == std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t index = 0;
    const std::size_t length = static_cast<std::size_t>(digits - name.begin());
    if (std::from_chars(name.data(), name.data() + length, index).ec != std::errc{}) {
        index = INT64_MAX;
    }
    return index;
}

// Reads the statements of an OBJ text into positions, texture coordinates,
// faces and the objects and groups that hold them. Faces before the first
// object or group belong to an unnamed one.
class CObjReader {
public:
    void Read(std::string_view text) {
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        std::string joined;
        std::int64_t number = 0;
        while (!text.empty()) {
            const std::size_t lf = std::min(text.find('\n'), text.size());
            std::string_view line = text.substr(0, lf);
            text.remove_prefix(std::min(lf + 1, text.size()));
            ++number;
            const std::int64_t first = number;
            // A "\" right before the line end joins the next line.
            if (WithoutCr(line).ends_with('\\')) {
                joined.assign(line);
                while (WithoutCr(joined).ends_with('\\') && !text.empty()) {
                    joined.erase(joined.rfind('\\'));
                    const std::size_t next = std::min(text.find('\n'), text.size());
                    joined += ' ';
                    joined.append(text.substr(0, next));
                    text.remove_prefix(std::min(next + 1, text.size()));
                    ++number;
                }
                line = joined;
            }
            Statement(line, first);
        }
        m_objects.push_back({.name = {}, .line = 0, .firstFace = m_faces.size()});
        m_groups.push_back({.name = {}, .line = 0, .firstFace = m_faces.size()});
    }

    [[nodiscard]] bool IsEmpty() const { return m_vertices.empty() && m_faces.empty(); }

    // The objects, or the groups in a file without objects; each with the
    // range of its faces. The first is the unnamed one.
    [[nodiscard]] std::vector<ObjGroup> Groups() const {
        // Beyond the unnamed one and the end mark.
        const std::vector<ObjGroup>& marks = m_objects.size() > 2 ? m_objects : m_groups;
        std::vector<ObjGroup> groups;
        for (std::size_t i = 0; i + 1 < marks.size(); ++i) {
            groups.push_back(marks[i]);
            groups.back().endFace = marks[i + 1].firstFace;
        }
        return groups;
    }

    [[nodiscard]] const std::vector<ObjFace>& Faces() const { return m_faces; }
    [[nodiscard]] const ObjVertex& Vertex(std::int64_t i) const {
        return m_vertices[static_cast<std::size_t>(i)];
    }
    [[nodiscard]] const ObjUv& Uv(std::int64_t i) const {
        return m_uvs[static_cast<std::size_t>(i)];
    }
    [[nodiscard]] const std::string& Material(std::int32_t i) const {
        return m_materials[static_cast<std::size_t>(i)];
    }

private:
    void Statement(std::string_view line, std::int64_t number) {
        std::string_view rest = line;
        const std::string_view keyword = NextWord(rest);
        if (keyword == "v") {
            ReadVertex(rest, number);
        } else if (keyword == "vt") {
            std::array<float, 2> uv{};
            std::size_t read = 0;
            const bool usable = ReadFloats(rest, uv, read) && read >= 1;
            m_uvs.push_back({.uv = {uv[0], uv[1]}, .usable = usable});
        } else if (keyword == "f") {
            ReadFace(rest, number);
        } else if (keyword == "o" || keyword == "g") {
            (keyword == "o" ? m_objects : m_groups)
                .push_back({.name = std::string(Trimmed(rest)),
                            .line = number,
                            .firstFace = m_faces.size()});
        } else if (keyword == "usemtl") {
            const std::string name(Trimmed(rest));
            const auto known = std::ranges::find(m_materials, name);
            m_material = static_cast<std::int32_t>(known - m_materials.begin());
            if (known == m_materials.end()) {
                m_materials.push_back(name);
            }
        }
    }

    // x y z, an optional w, then optional r g b.
    void ReadVertex(std::string_view rest, std::int64_t number) {
        std::array<float, 7> values{};
        std::size_t read = 0;
        ObjVertex& vertex = m_vertices.emplace_back();
        vertex.line = number;
        vertex.usable = ReadFloats(rest, values, read) && read >= 3;
        vertex.position = {values[0], values[1], values[2]};
        vertex.coloured = read >= 6;
        const std::size_t rgb = read == 7 ? 4 : 3;
        vertex.rgb = {values[rgb], values[rgb + 1], values[rgb + 2]};
    }

    // Corners "v", "v/vt", "v//vn" or "v/vt/vn"; a negative index counts
    // back from the latest.
    void ReadFace(std::string_view rest, std::int64_t number) {
        ObjFace& face = m_faces.emplace_back();
        face.line = number;
        face.material = m_material;
        for (std::string_view word = NextWord(rest); !word.empty() && !word.starts_with('#');
             word = NextWord(rest)) {
            if (face.corners < 4) {
                const std::size_t slash = std::min(word.find('/'), word.size());
                const std::string_view vt = word.substr(std::min(slash + 1, word.size()));
                face.v[face.corners] = Resolve(word.substr(0, slash), m_vertices.size(), "v", face);
                if (!vt.empty() && !vt.starts_with('/')) {
                    face.vt[face.corners] =
                        Resolve(vt.substr(0, vt.find('/')), m_uvs.size(), "vt", face);
                }
            }
            ++face.corners;
        }
    }

    std::int64_t Resolve(std::string_view word, std::size_t count, const char* kind,
                         ObjFace& face) {
        std::int64_t index = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), index);
        const auto have = static_cast<std::int64_t>(count);
        if (error == std::errc{} && end == word.data() + word.size() && index != 0 &&
            index >= -have && index <= have) {
            return index > 0 ? index - 1 : have + index;
        }
        if (face.problem.empty()) {
            face.problem = Format(
                "the corner %s index %.*s does not name one of the %lld %s lines before it", kind,
                static_cast<int>(word.size()), word.data(), static_cast<long long>(have), kind);
        }
        return -1;
    }

    std::vector<ObjVertex> m_vertices;
    std::vector<ObjUv> m_uvs;
    std::vector<ObjFace> m_faces;
    std::vector<std::string> m_materials;
    std::int32_t m_material = -1;
    // Where each object or group starts; the unnamed one first, and an end
    // mark last.
    std::vector<ObjGroup> m_objects = std::vector<ObjGroup>(1);
    std::vector<ObjGroup> m_groups = std::vector<ObjGroup>(1);
};

// Puts the faces of a read file onto the objects they target.
class CObjImporter {
public:
    CObjImporter(const CObjReader& reader, CRavFile& rav, const std::string& path,
                 CMessageOutput& output)
        : m_reader(reader), m_rav(rav), m_path(path), m_output(output) {}

    void Run() {
        const std::vector<ObjGroup> groups = m_reader.Groups();
        if (std::ranges::any_of(
                groups, [](const ObjGroup& g) { return IndexPrefix(g.name).has_value(); })) {
            ByIndex(groups);
        } else {
            InModelOrder();
        }
    }

private:
    // Each group targets the object its name's index names.
    void ByIndex(const std::vector<ObjGroup>& groups) {
        std::vector<bool> taken(m_rav.Objects().size(), false);
        for (const ObjGroup& group : groups) {
            if (group.firstFace == group.endFace) {
                continue;
            }
            const std::optional<std::int64_t> index = IndexPrefix(group.name);
            if (!index) {
                WarnAt(group.line, Format("\"%s\" has no object index before its name... skipping",
                                          group.name.c_str()));
                continue;
            }
            if (*index >= static_cast<std::int64_t>(taken.size()) ||
                !IsFourVertexObject(m_rav.Objects()[static_cast<std::size_t>(*index)])) {
                WarnAt(group.line,
                       Format("\"%s\": the RAV file has no four-vertex object %lld... skipping",
                              group.name.c_str(), static_cast<long long>(*index)));
                continue;
            }
            const auto i = static_cast<std::size_t>(*index);
            if (taken[i]) {
                WarnAt(group.line, Format("\"%s\": object %lld (%s) was set by an earlier object "
                                          "of the file... skipping",
                                          group.name.c_str(), static_cast<long long>(*index),
                                          m_rav.Objects()[i].name.c_str()));
                continue;
            }
            taken[i] = true;
            bool set = false;
            for (std::size_t f = group.firstFace; f < group.endFace; ++f) {
                const ObjFace& face = m_reader.Faces()[f];
                if (face.corners != 4) {
                    NotQuad(face, static_cast<std::int32_t>(i));
                } else if (set) {
                    WarnAt(face.line, Format("object %d (%s) takes only the first face with four "
                                             "corners... skipping",
                                             static_cast<int>(i), m_rav.Objects()[i].name.c_str()));
                } else {
                    Apply(face, static_cast<std::int32_t>(i));
                    set = true;
                }
            }
        }
    }

    // Face k with four corners goes to the k-th object the export writes.
    void InModelOrder() {
        std::span<RavObject> objects = m_rav.Objects();
        std::size_t next = 0;
        const auto advance = [&] {
            while (next < objects.size() && !HoldsQuadrilateral(objects[next])) {
                ++next;
            }
        };
        advance();
        for (const ObjFace& face : m_reader.Faces()) {
            if (face.corners != 4) {
                NotQuad(face, -1);
            } else if (next == objects.size()) {
                WarnAt(face.line,
                       "a face with four corners past the last four-vertex object... skipping");
            } else {
                Apply(face, static_cast<std::int32_t>(next++));
                advance();
            }
        }
        if (next < objects.size()) {
            m_output.Output(
                Format(
                    "Warning! %s has fewer faces with four corners than the RAV file has "
                    "four-vertex objects; object %d (%s) and those after it are left as they were",
                    m_path.c_str(), static_cast<int>(next), objects[next].name.c_str()),
                1);
        }
    }

    void NotQuad(const ObjFace& face, std::int32_t index) {
        WarnAt(face.line,
               Format("%sa face with %lld corners, not four... skipping",
                      index < 0
                          ? ""
                          : Format("object %d (%s): ", index,
                                   m_rav.Objects()[static_cast<std::size_t>(index)].name.c_str())
                                .c_str(),
                      static_cast<long long>(face.corners)));
    }

    void Apply(const ObjFace& face, std::int32_t index) {
        RavObject& object = m_rav.Objects()[static_cast<std::size_t>(index)];
        const auto warn = [&](const std::string& what) {
            WarnAt(face.line,
                   Format("object %d (%s): %s", index, object.name.c_str(), what.c_str()));
        };
        if (!face.problem.empty()) {
            warn(face.problem + "... skipping");
            return;
        }
        for (const std::int64_t v : face.v) {
            if (!m_reader.Vertex(v).usable) {
                warn(Format("the v line %lld does not hold three finite numbers... skipping",
                            static_cast<long long>(m_reader.Vertex(v).line)));
                return;
            }
        }
        // The corners come in reverse order, z negated: see the header.
        for (std::size_t k = 0; k < 4; ++k) {
            const ObjVertex& corner = m_reader.Vertex(face.v[3 - k]);
            object.vertices[k] = {corner.position.x, corner.position.y, -corner.position.z};
        }
        if (object.uvs.size() >= 4 &&
            std::ranges::none_of(face.vt, [](std::int64_t vt) { return vt < 0; })) {
            if (std::ranges::all_of(face.vt,
                                    [&](std::int64_t vt) { return m_reader.Uv(vt).usable; })) {
                for (std::size_t k = 0; k < 4; ++k) {
                    object.uvs[k] = m_reader.Uv(face.vt[3 - k]).uv;
                }
            } else {
                warn("a vt line does not hold finite numbers; texture coordinates kept");
            }
        }
        if (object.colours.size() >= 4 && std::ranges::all_of(face.v, [&](std::int64_t v) {
                return m_reader.Vertex(v).coloured;
            })) {
            for (std::size_t k = 0; k < 4; ++k) {
                const std::array<float, 3>& rgb = m_reader.Vertex(face.v[3 - k]).rgb;
                for (std::size_t c = 0; c < 3; ++c) {
                    const double byte = std::clamp(std::round(double{rgb[c]} * 255.0), 0.0, 255.0);
                    object.colours[k][2 - c] = static_cast<std::uint8_t>(byte);
                }
            }
        }
        if (face.material < 0 || object.textureRecords.empty()) {
            return;
        }
        const std::string& material = m_reader.Material(face.material);
        if (material == kNoMaterial) {
            return;
        }
        const RavTexture* texture = material.empty() ? nullptr : m_rav.FindTexture(material);
        if (texture == nullptr) {
            warn(Format("Texture %s not in ravfile. Keeping its texture", material.c_str()));
            return;
        }
        object.textureRecords[0].textureRef = texture->textureRef;
    }

    void WarnAt(std::int64_t line, const std::string& what) {
        m_output.Output(Format("Warning! %s line %lld: %s", m_path.c_str(),
                               static_cast<long long>(line), what.c_str()),
                        1);
    }

    const CObjReader& m_reader;
    CRavFile& m_rav;
    const std::string& m_path;
    CMessageOutput& m_output;
};

} // namespace

bool CObjFilter::Import(const std::string& path, CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    return ReadExchangeFile(path, [&](std::vector<std::uint8_t>& bytes) {
        CObjReader reader;
        reader.Read({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        if (reader.IsEmpty()) {
            Fail(Format("%s is not a Wavefront OBJ file", path.c_str()));
            return false;
        }
        CObjImporter(reader, *rav, path, *this).Run();
        return true;
    });
}
