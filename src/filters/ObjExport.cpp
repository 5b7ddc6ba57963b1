#include "filters/ObjFilter.h"

#include "filters/NumberText.h"
#include "gamefiles/AsciiCase.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/ImageFileName.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The material of objects whose first texture record names no texture: in
// OBJ the current material would carry over to them otherwise.
constexpr std::string_view kNoMaterial = "(none)";

// Where a path's file name starts.
std::size_t FileNameStart(const std::string& path) {
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.rfind('/');
#endif
    return slash == std::string::npos ? 0 : slash + 1;
}

// The path with the file name's extension (if any) replaced by `extension`.
std::string WithExtension(const std::string& path, std::string_view extension) {
    const std::size_t dot = path.rfind('.');
    const std::size_t end =
        dot != std::string::npos && dot >= FileNameStart(path) ? dot : path.size();
    return path.substr(0, end) + std::string(extension);
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t more = lead < 0x80       ? 0
                                 : lead >> 5 == 6  ? 1
                                 : lead >> 4 == 14 ? 2
                                 : lead >> 3 == 30 ? 3
                                                   : 4;
        if (more == 4 || text.size() - i <= more) {
            return false;
        }
        char32_t code = lead & (0x7FU >> more);
        for (std::size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next >> 6 != 2) {
                return false;
            }
            code = code << 6 | (next & 0x3FU);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[more] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        i += more + 1;
    }
    return true;
}

// Modelling tools split names at white space and may drop or replace bytes
// they cannot show.
bool ToolsMayChange(std::string_view name) {
    return !IsUtf8(name) || std::ranges::any_of(name, [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == 0x7F;
    });
}

// A name as the last word of a line: a line end inside it would start a
// statement of its own, and a "\" at its end would join the next line.
void AppendName(std::string& out, std::string_view name) {
    for (const char c : name) {
        out += c == '\n' || c == '\r' ? '_' : c;
    }
    if (name.ends_with('\\')) {
        out += ' ';
    }
    out += '\n';
}

// The shortest text that reads back as the same float.
void AppendFloat(std::string& out, float value) {
    char digits[32];
    out += ' ';
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct Png {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

// Builds the OBJ text, the material library and the images of one export.
class CObjWriter {
public:
    CObjWriter(const CRavFile& rav, const std::string& mtlName, CMessageOutput& output)
        : m_rav(rav), m_output(output) {
        m_obj = "mtllib " + mtlName + "\n";
    }

    void WriteObjects() {
        std::size_t vertices = 0;
        std::size_t uvs = 0;
        for (std::size_t i = 0; i < m_rav.Objects().size(); ++i) {
            const RavObject& object = m_rav.Objects()[i];
            if (!HoldsQuadrilateral(object)) {
                continue;
            }
            WriteObject(static_cast<std::int32_t>(i), object, vertices, uvs);
            vertices += 4;
            uvs += object.uvs.size() >= 4 ? 4 : 0;
        }
    }

    // One material a texture: white, its image flipped top to bottom, as
    // the game's texture coordinates count v downwards. Image files are
    // named after their textures, safely, and never twice alike (the case
    // of letters aside, which many file systems ignore); `taken` holds the
    // names already in use.
    void WriteMaterials(const std::string& folder, std::vector<std::string> taken) {
        for (const std::string& name : m_materials) {
            if (!m_mtl.empty()) {
                m_mtl += '\n';
            }
            m_mtl += "newmtl ";
            AppendName(m_mtl, name);
            m_mtl += "Kd 1 1 1\n";
            if (name == kNoMaterial) {
                continue;
            }
            const std::string safe = SafeFileNamePart(name);
            std::string file = safe + ".png";
            for (int n = 2; std::ranges::any_of(
                     taken, [&](const std::string& t) { return EqualNoCase(t, file); });
                 ++n) {
                file = safe + "_" + std::to_string(n) + ".png";
            }
            taken.push_back(file);
            m_mtl += "map_Kd -s 1 -1 1 " + file + "\n";
            m_images.push_back({name, folder + file});
        }
    }

    // Encodes the image of each texture that `archive` holds.
    void EncodeImages(const CFshFile& archive, std::vector<Png>& pngs) {
        for (const auto& texture : m_images) {
            const std::string& name = texture.first;
            const std::string& path = texture.second;
            const std::span<const FshEntry> entries = archive.Entries();
            const auto entry = std::ranges::find_if(
                entries, [&](const FshEntry& e) { return EqualNoCase(e.name.data(), name); });
            if (entry == entries.end()) {
                Warn(Format("Warning! Texture %s is not an image of %s; %s not written",
                            name.c_str(), archive.GetPath().c_str(), path.c_str()));
                continue;
            }
            const auto index = static_cast<std::int32_t>(entry - entries.begin());
            std::string problem;
            std::vector<std::string> warnings;
            Png& png = pngs.emplace_back(Png{path, {}});
            if (!archive.ImageAsPng(index, png.bytes, warnings, problem)) {
                Warn(Format("Warning! Image %d (%s) %s; %s not written", index, entry->name.data(),
                            problem.c_str(), path.c_str()));
                pngs.pop_back();
                continue;
            }
            for (const std::string& warning : warnings) {
                Warn(Format("Warning! Image %d (%s) %s", index, entry->name.data(),
                            warning.c_str()));
            }
        }
    }

    [[nodiscard]] const std::string& Obj() const { return m_obj; }
    [[nodiscard]] const std::string& Mtl() const { return m_mtl; }

private:
    void WriteObject(std::int32_t index, const RavObject& object, std::size_t vertices,
                     std::size_t uvs) {
        m_obj += "o " + std::to_string(index) + "_";
        AppendName(m_obj, object.name);
        if (ToolsMayChange(object.name)) {
            Warn(Format("Warning! Object %d (%s): its name holds white space, control bytes or "
                        "bytes that are not UTF-8, which modelling tools may change",
                        index, object.name.c_str()));
        }
        bool finite = true;
        for (std::size_t k = 0; k < 4; ++k) {
            const RavVertex& v = object.vertices[k];
            m_obj += 'v';
            for (const float value : {v.x, v.y, -v.z}) {
                finite = finite && std::isfinite(value);
                AppendFloat(m_obj, std::isfinite(value) ? value : 0.0f);
            }
            if (object.colours.size() >= 4) {
                // Bytes 2, 1, 0 are red, green and blue.
                for (const int channel : {2, 1, 0}) {
                    m_obj += ' ';
                    AppendFixed(m_obj, object.colours[k][static_cast<std::size_t>(channel)] / 255.0,
                                6);
                }
            }
            m_obj += '\n';
        }
        if (!finite) {
            Warn(Format("Warning! Object %d (%s) has a coordinate that is not a finite number; "
                        "written as 0",
                        index, object.name.c_str()));
        }
        const bool hasUvs = object.uvs.size() >= 4;
        for (std::size_t k = 0; k < 4 && hasUvs; ++k) {
            m_obj += "vt";
            AppendFloat(m_obj, object.uvs[k].u);
            AppendFloat(m_obj, object.uvs[k].v);
            m_obj += '\n';
        }
        m_obj += "usemtl ";
        AppendName(m_obj, UseMaterial(object));
        m_obj += 'f';
        for (std::size_t k = 4; k-- > 0;) {
            m_obj += ' ' + std::to_string(vertices + k + 1);
            if (hasUvs) {
                m_obj += '/' + std::to_string(uvs + k + 1);
            }
        }
        m_obj += '\n';
    }

    // The name of the object's first texture, noted as a material.
    std::string UseMaterial(const RavObject& object) {
        const char* texture = object.textureRecords.empty()
                                  ? nullptr
                                  : m_rav.GetTextureName(object.textureRecords[0].textureRef);
        const std::string name(texture == nullptr || *texture == '\0' ? kNoMaterial : texture);
        if (std::ranges::find(m_materials, name) == m_materials.end()) {
            m_materials.push_back(name);
            if (ToolsMayChange(name)) {
                Warn(Format("Warning! Texture %s: its name holds white space, control bytes or "
                            "bytes that are not UTF-8, which modelling tools may change; the "
                            "import matches texture names exactly",
                            name.c_str()));
            }
        }
        return name;
    }

    void Warn(const std::string& text) { m_output.Output(text, 1); }

    const CRavFile& m_rav;
    CMessageOutput& m_output;
    std::string m_obj;
    std::string m_mtl;
    // Texture names in order of first use.
    std::vector<std::string> m_materials;
    // Each texture's name and the path of its image.
    std::vector<std::pair<std::string, std::string>> m_images;
};

// Removes a file this export wrote; a failure to remove is not worth a
// second message after the one that made the export fail.
void Remove(const std::string& path) {
    std::error_code ignored;
    try {
        std::filesystem::remove(PathFromUtf8(path), ignored);
    } catch (...) {
    }
}

} // namespace

bool CObjFilter::Export(const std::string& path, const CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    const std::string mtlPath = WithExtension(path, ".mtl");
    const std::string folder = path.substr(0, FileNameStart(path));
    if (EqualNoCase(mtlPath, path)) {
        Fail(Format("Error! %s would be overwritten by its own material library; name the "
                    "export .obj. Nothing written",
                    path.c_str()));
        return false;
    }
    std::vector<Png> pngs;
    std::string obj;
    std::string mtl;
    // Each file's path and bytes, in the order they are written.
    using File = std::pair<std::string, std::span<const std::uint8_t>>;
    std::vector<File> files;
    std::vector<std::string> written;
    try {
        CObjWriter writer(*rav, mtlPath.substr(FileNameStart(mtlPath)), *this);
        writer.WriteObjects();
        writer.WriteMaterials(folder, {path.substr(folder.size()), mtlPath.substr(folder.size())});
        if (!m_fshPath.empty()) {
            CFshFile archive;
            // The archive speaks through this filter; its notice of the new
            // output is not worth a line.
            bool forward = false;
            archive.SetOutput([&](const char* text, int flag, Severity severity) {
                if (forward && severity == Severity::Failure) {
                    Fail(text, flag);
                } else if (forward) {
                    Output(text, flag);
                }
            });
            forward = true;
            if (!archive.Load(m_fshPath, 1)) {
                Fail(Format("Error! No images for %s. Nothing written", path.c_str()));
                return false;
            }
            writer.EncodeImages(archive, pngs);
        }
        obj = writer.Obj();
        mtl = writer.Mtl();
        // The library and images first, so a tool that opens the OBJ file
        // finds them in place.
        files.emplace_back(mtlPath, Bytes(mtl));
        for (const Png& png : pngs) {
            files.emplace_back(png.path, png.bytes);
        }
        files.emplace_back(path, Bytes(obj));
        written.reserve(files.size());
    } catch (const std::bad_alloc&) {
        Fail(Format("Not enough memory to write %s", path.c_str()));
        return false;
    }
    for (const auto& [target, bytes] : files) {
        if (IsSameFile(target, rav->GetPath())) {
            Fail(Format("Error! %s is the RAV file itself. Nothing written", target.c_str()));
            return false;
        }
    }
    for (const File& file : files) {
        if (!WriteExchangeFile(file.first, "Error opening %s for writing",
                               [&file](CWholeFileWriter& out) { return out.Write(file.second); })) {
            std::ranges::for_each(written, Remove);
            return false;
        }
        written.push_back(file.first);
    }
    for (const Png& png : pngs) {
        Output(Format("Written %s", png.path.c_str()), 0);
    }
    return true;
}
