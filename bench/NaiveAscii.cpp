#include "NaiveAscii.h"

#include "filters/AsciiExportMode.h"
#include "gamefiles/RavFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Appends what snprintf wrote into `line` to the object's text.
struct TextBuffer {
    std::vector<char> text = std::vector<char>(65536);
    std::size_t used = 0;

    void Append(const char* line, int length) {
        if (used + static_cast<std::size_t>(length) > text.size()) {
            text.resize(2 * (used + static_cast<std::size_t>(length)));
        }
        std::memcpy(text.data() + used, line, static_cast<std::size_t>(length));
        used += static_cast<std::size_t>(length);
    }
};

// One line without its line end into `line`, passing over empty, blank and
// "//" lines and leading spaces and TABs; null when no complete line is left.
const char* ReadLine(const char* cursor, char* line, std::size_t size) {
    line[0] = '\0';
    if (cursor == nullptr) {
        return nullptr;
    }
    while (std::strncmp(cursor, "//", 2) == 0 || *cursor == '\r' || *cursor == '\n' ||
           *cursor == ' ' || *cursor == '\t') {
        if (*cursor != ' ' && *cursor != '\t') {
            cursor = std::strchr(cursor, '\n');
            if (cursor == nullptr) {
                return nullptr;
            }
        }
        ++cursor;
    }
    const char* end = std::strchr(cursor, '\n');
    if (end == nullptr) {
        return nullptr;
    }
    std::size_t length = static_cast<std::size_t>(end - cursor);
    if (length > size - 1) {
        length = size - 1;
    }
    if (length > 0 && cursor[length - 1] == '\r') {
        --length;
    }
    std::memcpy(line, cursor, length);
    line[length] = '\0';
    return end + 1;
}

} // namespace

bool NaiveAsciiExport(const std::string& path, const CRavFile& rav, unsigned mode, int decimals) {
    std::FILE* file = std::fopen(path.c_str(), "w+b");
    if (file == nullptr) {
        return false;
    }
    char line[1024];
    int length = std::snprintf(line, sizeof line, "EXMODE=%d\r\nOBJECTS=%d\r\n",
                               static_cast<int>(mode), rav.header.objectCount);
    std::fwrite(line, 1, static_cast<std::size_t>(length), file);
    char positions[256];
    char placements[256];
    std::snprintf(positions, sizeof positions, "\t\t%%.%df, %%.%df, %%.%df", decimals, decimals,
                  decimals);
    std::snprintf(placements, sizeof placements, ", %%.%df, %%.%df", decimals, decimals);
    TextBuffer object;
    for (std::int32_t i = 0; i < rav.header.objectCount; ++i) {
        const RavObject& o = *rav.GetObject(i);
        object.used = 0;
        length = std::snprintf(line, sizeof line, "Object %d:\r\n\tNAME=%s\r\n\tVERTEXES=%d\r\n", i,
                               o.name.c_str(), o.mesh.vertexCount);
        object.Append(line, length);
        for (std::size_t k = 0; k < o.vertices.size(); ++k) {
            if ((mode & ExportVertexes) != 0) {
                const RavVertex& v = o.vertices[k];
                length = std::snprintf(line, sizeof line, positions, static_cast<double>(v.x),
                                       static_cast<double>(v.y), static_cast<double>(v.z));
                object.Append(line, length);
            }
            if ((mode & ExportPlacements) != 0) {
                const RavUv uv = k < o.uvs.size() ? o.uvs[k] : RavUv{};
                length = std::snprintf(line, sizeof line, placements, static_cast<double>(uv.u),
                                       static_cast<double>(uv.v));
                object.Append(line, length);
            }
            if ((mode & ExportShading) != 0) {
                const RavColour c = k < o.colours.size() ? o.colours[k] : RavColour{};
                length = std::snprintf(line, sizeof line, ", %.2X%.2X%.2X", c[2], c[1], c[0]);
                object.Append(line, length);
            }
            object.Append("\r\n", 2);
        }
        length = std::snprintf(line, sizeof line, "\tTEXTURES=%d\r\n", o.detail.textureRecordCount);
        object.Append(line, length);
        for (std::size_t t = 0; t < o.textureRecords.size(); ++t) {
            const char* name = rav.GetTextureName(o.textureRecords[t].textureRef);
            length = std::snprintf(line, sizeof line, "\t\tNAME=%s\r\n", name ? name : "");
            object.Append(line, length);
            if ((mode & ExportOrder) == 0) {
                continue;
            }
            length = std::snprintf(line, sizeof line, "\t\t\tORDERCOUNT=%d\r\n\t\t\tORDER=",
                                   o.textureRecords[t].orderCount);
            object.Append(line, length);
            const std::vector<std::uint16_t>& orders = o.orders[t];
            for (std::size_t j = 0; j < orders.size(); ++j) {
                length = std::snprintf(line, sizeof line, j == 0 ? "%d" : ", %d",
                                       static_cast<std::int16_t>(orders[j]));
                object.Append(line, length);
            }
            object.Append("\r\n", 2);
        }
        std::fwrite(object.text.data(), 1, object.used, file);
    }
    std::fputs("[End of file]\r\n", file);
    return std::fclose(file) == 0;
}

bool NaiveAsciiImport(const std::string& path, CRavFile& rav) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fseek(file, 0, SEEK_END);
    std::vector<char> text(static_cast<std::size_t>(std::ftell(file)) + 1);
    std::fseek(file, 0, SEEK_SET);
    const std::size_t read = std::fread(text.data(), 1, text.size() - 1, file);
    std::fclose(file);
    if (read + 1 != text.size()) {
        return false;
    }
    std::vector<char> line(16384);
    char name[1024];
    const char* cursor = ReadLine(text.data(), line.data(), line.size());
    unsigned mode = 0;
    int objects = 0;
    std::sscanf(line.data(), "EXMODE=%u", &mode);
    cursor = ReadLine(cursor, line.data(), line.size());
    std::sscanf(line.data(), "OBJECTS=%d", &objects);
    if (objects != rav.header.objectCount) {
        return false;
    }
    for (std::int32_t i = 0; i < objects; ++i) {
        RavObject& o = *rav.GetObject(i);
        cursor = ReadLine(cursor, line.data(), line.size());
        cursor = ReadLine(cursor, line.data(), line.size());
        if (std::sscanf(line.data(), "\tNAME=%1023s", name) != 1) {
            return false;
        }
        o.name = name;
        int count = 0;
        cursor = ReadLine(cursor, line.data(), line.size());
        if (std::sscanf(line.data(), "VERTEXES=%d", &count) != 1 || count != o.mesh.vertexCount) {
            return false;
        }
        for (std::size_t k = 0; k < o.vertices.size(); ++k) {
            if ((mode & ExportVertexes) == 0) {
                return false;
            }
            cursor = ReadLine(cursor, line.data(), line.size());
            RavVertex& v = o.vertices[k];
            RavUv uv = k < o.uvs.size() ? o.uvs[k] : RavUv{};
            if ((mode & ExportPlacements) != 0) {
                std::sscanf(line.data(), "%f, %f, %f, %f, %f", &v.x, &v.y, &v.z, &uv.u, &uv.v);
            } else {
                std::sscanf(line.data(), "%f, %f, %f", &v.x, &v.y, &v.z);
            }
            if (k < o.uvs.size()) {
                o.uvs[k] = uv;
            }
            const std::size_t length = std::strlen(line.data());
            if ((mode & ExportShading) != 0 && k < o.colours.size() && length >= 6) {
                const unsigned long rgb = std::strtoul(line.data() + length - 6, nullptr, 16);
                o.colours[k][0] = static_cast<std::uint8_t>(rgb);
                o.colours[k][1] = static_cast<std::uint8_t>(rgb >> 8);
                o.colours[k][2] = static_cast<std::uint8_t>(rgb >> 16);
            }
        }
        cursor = ReadLine(cursor, line.data(), line.size());
        if (std::sscanf(line.data(), "TEXTURES=%d", &count) != 1 ||
            count != o.detail.textureRecordCount) {
            return false;
        }
        for (std::size_t t = 0; t < o.textureRecords.size(); ++t) {
            RavObjectTexture& record = o.textureRecords[t];
            cursor = ReadLine(cursor, line.data(), line.size());
            const RavTexture* texture = std::sscanf(line.data(), "NAME=%1023s", name) == 1
                                            ? rav.FindTexture(name)
                                            : nullptr;
            if (texture == nullptr) {
                return false;
            }
            record.textureRef = texture->textureRef;
            if ((mode & ExportOrder) == 0) {
                continue;
            }
            cursor = ReadLine(cursor, line.data(), line.size());
            if (std::sscanf(line.data(), "ORDERCOUNT=%d", &count) != 1 ||
                count != record.orderCount) {
                return false;
            }
            cursor = ReadLine(cursor, line.data(), line.size());
            const char* p = line.data() + 6;
            for (std::uint16_t& entry : o.orders[t]) {
                entry = static_cast<std::uint16_t>(std::atoi(p));
                const char* comma = std::strchr(p, ',');
                if (comma == nullptr) {
                    break;
                }
                p = comma + 1;
            }
        }
        if (cursor == nullptr) {
            return false;
        }
    }
    return true;
}
