#include "cli/InfoCommand.h"

#include "cli/ConsoleOutput.h"
#include "cli/ExitStatus.h"
#include "gamefiles/AsciiCase.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/FshPixelFormat.h"
#include "gamefiles/RavFile.h"
#include "output/Format.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <string_view>
#include <cstdint>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// The content decides: an archive named .rav is still one. A file named as
// an archive is read as one too, so that the archive reader says what is
// wrong with it.
bool LooksLikeFsh(const std::string& path) {
    if (EndsWithNoCase(path, ".fsh") || EndsWithNoCase(path, ".qfs")) {
        return true;
    }
    FilePtr file = OpenFile(path, "rb");
    std::uint8_t start[4] = {};
    const std::size_t got = file ? std::fread(start, 1, sizeof start, file.get()) : 0;
    return CFshFile::LooksLikeArchive(std::span(start, got));
}

std::string Dump(const Json& json) {
    // Names are 8-bit strings from game files; never let one that is not
    // UTF-8 break the document.
    return json.dump(2, ' ', false, Json::error_handler_t::replace);
}

// The header words in file order, named as in the JSON document.
std::array<std::pair<const char*, std::int32_t>, 9> HeaderWords(const RavHeader& h) {
    return {{{"offset00", h.offset00},
             {"textureCount", h.textureCount},
             {"textureTableOffset", h.textureTableOffset},
             {"value0C", h.value0C},
             {"offset10", h.offset10},
             {"recordSkip", h.recordSkip},
             {"recordTableOffset", h.recordTableOffset},
             {"objectCount", h.objectCount},
             {"objectTableOffset", h.objectTableOffset}}};
}

Json Triple(float x, float y, float z) {
    return Json::array({x, y, z});
}

Json RavToJson(const CRavFile& rav) {
    const RavHeader& h = rav.header;
    Json doc;
    doc["type"] = "rav";
    doc["path"] = rav.GetPath();
    Json header = Json::object();
    for (const auto& [name, value] : HeaderWords(h)) {
        header[name] = value;
    }
    doc["header"] = std::move(header);
    Json textures = Json::array();
    for (std::size_t i = 0; i < rav.Textures().size(); ++i) {
        const RavTexture& t = rav.Textures()[i];
        textures.push_back({{"index", i},
                            {"name", t.name},
                            {"nameOffset", t.nameOffset},
                            {"textureRef", t.textureRef}});
    }
    doc["textures"] = std::move(textures);
    Json objects = Json::array();
    for (std::size_t i = 0; i < rav.Objects().size(); ++i) {
        const RavObject* o = &rav.Objects()[i];
        Json vertices = Json::array();
        for (const RavVertex& v : o->vertices) {
            vertices.push_back(Triple(v.x, v.y, v.z));
        }
        Json uvs = Json::array();
        for (const RavUv& uv : o->uvs) {
            uvs.push_back(Json::array({uv.u, uv.v}));
        }
        Json colours = Json::array();
        for (const RavColour& c : o->colours) {
            colours.push_back(Json::array({c[0], c[1], c[2], c[3]}));
        }
        Json records = Json::array();
        for (std::size_t k = 0; k < o->textureRecords.size(); ++k) {
            const RavObjectTexture& r = o->textureRecords[k];
            const char* textureName = rav.GetTextureName(r.textureRef);
            records.push_back({{"textureRef", r.textureRef},
                               {"textureName", textureName ? Json(textureName) : Json(nullptr)},
                               {"orderCount", r.orderCount},
                               {"order", o->orders[k]}});
        }
        const auto& d = o->detail;
        objects.push_back({{"index", i},
                           {"name", o->name},
                           {"nameOffset", o->nameOffset},
                           {"kind", o->kind},
                           {"detailOffset", o->detailOffset},
                           {"vertexCount", o->mesh.vertexCount},
                           {"colourCount", o->mesh.colourCount},
                           {"uvCount", o->uvCount},
                           {"boxMin", Triple(d.boxMin[0], d.boxMin[1], d.boxMin[2])},
                           {"boxMax", Triple(d.boxMax[0], d.boxMax[1], d.boxMax[2])},
                           {"vertices", std::move(vertices)},
                           {"uvs", std::move(uvs)},
                           {"colours", std::move(colours)},
                           {"textureRecords", std::move(records)}});
    }
    doc["objects"] = std::move(objects);
    return doc;
}

void PrintRav(const CRavFile& rav, std::ostream& out) {
    const RavHeader& h = rav.header;
    out << "RAV file " << rav.GetPath() << "\n";
    out << "Header\n";
    for (const auto& [name, value] : HeaderWords(h)) {
        out << Format("  %-20s %11d  0x%08X\n", name, value, static_cast<unsigned>(value));
    }
    out << Format("Textures (%d)\n", h.textureCount);
    int i = 0;
    for (const RavTexture& t : rav.Textures()) {
        out << Format("  %4d  %-16s textureRef 0x%08X\n", i++, t.name.c_str(),
                      static_cast<unsigned>(t.textureRef));
    }
    out << Format("Objects (%d)\n", h.objectCount);
    i = 0;
    for (const RavObject& object : rav.Objects()) {
        const RavObject* o = &object;
        out << Format("  %4d  %-16s kind %d", i++, o->name.c_str(), o->kind);
        if (o->kind == 1) {
            out << Format("  vertices %d  colours %d  uvs %d  texture records %d",
                          o->mesh.vertexCount, o->mesh.colourCount, o->uvCount,
                          o->detail.textureRecordCount);
            std::string used;
            for (const RavObjectTexture& r : o->textureRecords) {
                const char* name = rav.GetTextureName(r.textureRef);
                used += used.empty() ? "  textures " : ", ";
                used += name ? name : Format("(none: 0x%08X)", static_cast<unsigned>(r.textureRef));
            }
            out << used;
        }
        out << "\n";
    }
}

// "18,663": sizes a reader takes in at a glance.
std::string Grouped(std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}

// What info tells of one entry, read from its record headers only.
struct EntryFacts {
    FshImageInfo image;
    std::string problem; // empty when the entry and its image lie within the archive
    std::uint64_t bytes = 0;
};

EntryFacts Describe(const CFshFile& fsh, std::int32_t index) {
    EntryFacts facts;
    facts.bytes = fsh.EntryBytes(index).size();
    const FshRecordHeader record = fsh.RecordHeader(index);
    facts.image.width = record.width;
    facts.image.height = record.height;
    if (!fsh.DescribeImage(index, facts.image, facts.problem)) {
        return facts;
    }
    const std::uint64_t pixels = FshLevelBytes(facts.image.format, facts.image.width,
                                               facts.image.height);
    if (!record.IsCompressed() && FshRecordHeader::kSize + pixels > facts.bytes) {
        facts.problem = "its image runs past the end of its entry";
    }
    return facts;
}

int InfoFsh(const std::string& path, bool json, std::ostream& out, CConsoleOutput& console) {
    CFshFile fsh;
    console.Attach(fsh);
    if (!fsh.Load(path, 1)) {
        return kExitFailed;
    }
    if (json) {
        Json entries = Json::array();
        for (std::int32_t i = 0; i < fsh.header.entryCount; ++i) {
            const FshEntry* e = fsh.GetEntry(i);
            const EntryFacts facts = Describe(fsh, i);
            Json entry = {{"index", i},
                          {"name", e->name.data()},
                          {"offset", e->offset},
                          {"width", facts.image.width},
                          {"height", facts.image.height},
                          {"recordId", facts.image.recordId},
                          {"format", FshPixelFormatName(facts.image.format)},
                          {"mipmaps", facts.image.mipmaps},
                          {"attachments", facts.image.attachments},
                          {"entryBytes", facts.bytes}};
            if (!facts.problem.empty()) {
                entry["problem"] = facts.problem;
            }
            entries.push_back(std::move(entry));
        }
        Json doc;
        doc["type"] = "fsh";
        doc["path"] = fsh.GetPath();
        doc["entryCount"] = fsh.header.entryCount;
        doc["entries"] = std::move(entries);
        doc["compressed"] = fsh.IsCompressed();
        doc["packedSize"] = fsh.PackedSize();
        doc["unpackedSize"] = fsh.Bytes().size();
        out << Dump(doc) << std::endl;
        return kExitOk;
    }
    out << "FSH archive " << fsh.GetPath() << "\n";
    if (fsh.IsCompressed()) {
        out << "RefPack-compressed, " << Grouped(fsh.PackedSize()) << " bytes, unpacked "
            << Grouped(fsh.Bytes().size()) << "\n";
    }
    out << Format("Entries (%d)\n", fsh.header.entryCount);
    for (std::int32_t i = 0; i < fsh.header.entryCount; ++i) {
        const FshEntry* e = fsh.GetEntry(i);
        const EntryFacts facts = Describe(fsh, i);
        std::string attachments;
        for (const std::uint8_t id : facts.image.attachments) {
            attachments += Format(" 0x%02X", id);
        }
        out << Format("  %4d  %-4s  offset %10u  %5u x %-5u  %-8s  mipmaps %u  attachments%s%s%s\n",
                      i, e->name.data(), e->offset, unsigned{facts.image.width},
                      unsigned{facts.image.height},
                      std::string(FshPixelFormatName(facts.image.format)).c_str(),
                      unsigned{facts.image.mipmaps}, attachments.empty() ? " none" : attachments.c_str(),
                      facts.problem.empty() ? "" : "  ", facts.problem.c_str());
    }
    out << std::flush;
    return kExitOk;
}

int InfoRav(const std::string& path, bool json, std::ostream& out, CConsoleOutput& console) {
    CRavFile rav;
    console.Attach(rav);
    if (!rav.Load(path)) {
        return kExitFailed;
    }
    if (json) {
        out << Dump(RavToJson(rav)) << std::endl;
    } else {
        PrintRav(rav, out);
        out << std::flush;
    }
    return kExitOk;
}

} // namespace

int RunInfo(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
    CConsoleOutput console(out, err);
    return LooksLikeFsh(path) ? InfoFsh(path, json, out, console)
                              : InfoRav(path, json, out, console);
}
