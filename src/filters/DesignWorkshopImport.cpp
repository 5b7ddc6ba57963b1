#include "filters/DesignWorkshopFilter.h"

#include "filters/NumberText.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) {
        ++p;
    }
    return p;
}

// scanf's "<keyword> %d" at `p`, where the keyword is known to stand; no
// value when no number follows.
std::optional<std::int32_t> ScanKeywordInt(const char* p, std::string_view keyword) {
    std::int32_t value = 0;
    if (ScanInt(p + keyword.size(), value) == 0) {
        return std::nullopt;
    }
    return value;
}

// scanf's "%f %f %f 1\r\n" four times (the last line without its line end):
// white space between the parts may be of any kind and length, even none,
// and each line must carry the literal 1. Returns how many numbers were read
// before the first part that did not fit.
std::size_t ScanCorners(const char* p, std::array<float, 12>& values) {
    std::size_t count = 0;
    for (int corner = 0; corner < 4; ++corner) {
        for (int axis = 0; axis < 3; ++axis) {
            const std::size_t used = ScanFloat(p, values[count]);
            if (used == 0) {
                return count;
            }
            p += used;
            ++count;
        }
        p = SkipSpace(p);
        if (*p != '1') {
            return count;
        }
        p = SkipSpace(p + 1);
    }
    return count;
}

// Walks the text with one cursor, giving the k-th polyline to the k-th G2
// object from object 1 on: the export leaves every other object out.
class CDesignWorkshopImporter {
public:
    CDesignWorkshopImporter(const char* text, CRavFile& rav, CMessageOutput& output)
        : m_text(text), m_rav(rav), m_output(output) {}

    // False when the text ran out before every G2 object got its polyline.
    // Polylines beyond the last G2 object are counted and reported.
    bool Run() {
        const std::span<RavObject> objects = m_rav.Objects();
        std::size_t g2 = 0;
        for (std::size_t k = 1; k < objects.size(); ++k) {
            if (!IsDesignWorkshopG2(objects[k])) {
                continue;
            }
            ++g2;
            if (!ReadPolyline(static_cast<std::int32_t>(k), objects[k])) {
                m_output.Fail("Fatal error - aborting");
                return false;
            }
        }
        std::size_t surplus = 0;
        for (; Find("Polyline:"); ++m_cursor) {
            ++surplus;
        }
        if (surplus > 0) {
            const std::size_t total = g2 + surplus;
            Warn(Format("Warning! The file has %lld polyline%s but the RAV file has %lld G2 "
                        "object%s; the rest are left out",
                        static_cast<long long>(total), total == 1 ? "" : "s",
                        static_cast<long long>(g2), g2 == 1 ? "" : "s"));
        }
        return true;
    }

private:
    void Warn(const std::string& text) { m_output.Output(text, 1); }

    // Moves the cursor to the next `keyword`; false when there is none.
    bool Find(std::string_view keyword) {
        const std::size_t at = m_text.find(keyword, m_cursor);
        if (at == std::string_view::npos) {
            return false;
        }
        m_cursor = at;
        return true;
    }

    const char* Cursor() const { return m_text.data() + m_cursor; }

    bool ReadPolyline(std::int32_t k, RavObject& object) {
        if (!Find("Polyline:") || !Find("Mat:")) {
            return false;
        }
        const std::optional<std::int32_t> material = ScanKeywordInt(Cursor(), "Mat:");
        if (material) {
            SetMaterial(k, object, *material);
        }
        if (!Find("numVerts:")) {
            return false;
        }
        if (ScanKeywordInt(Cursor(), "numVerts:") != 4) {
            Warn(Format("Error: Object %d is not a G2 object", k));
            return true;
        }
        // The corners start on the next line; without one the text has ended.
        const std::size_t lineEnd = m_text.find('\n', m_cursor);
        m_cursor = lineEnd == std::string_view::npos ? m_text.size() : lineEnd + 1;
        ReadCorners(object);
        return true;
    }

    void SetMaterial(std::int32_t k, RavObject& object, std::int32_t material) {
        if (material <= 0) {
            return; // no material: the texture stays
        }
        if (material > m_rav.header.textureCount) {
            Warn(Format("Error: Object %d has material %d but the RAV file has %d textures; "
                        "texture left unchanged",
                        k, material, m_rav.header.textureCount));
            return;
        }
        object.textureRecords[0].textureRef =
            m_rav.Textures()[static_cast<std::size_t>(material - 1)].textureRef;
    }

    // The numbers read before the first part that does not fit are stored;
    // the other coordinates keep their values.
    void ReadCorners(RavObject& object) {
        std::array<float, 12> values{};
        const std::size_t read = ScanCorners(Cursor(), values);
        for (std::size_t n = 0; n < read; ++n) {
            RavVertex& v = object.vertices[n / 3];
            float* const axes[] = {&v.x, &v.z, &v.y};
            *axes[n % 3] = values[n];
        }
    }

    std::string_view m_text;
    std::size_t m_cursor = 0;
    CRavFile& m_rav;
    CMessageOutput& m_output;
};

} // namespace

bool CDesignWorkshopFilter::Import(const std::string& path, CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    return ReadExchangeFile(path, [&](std::vector<std::uint8_t>& bytes) {
        // The text ends at the first zero byte; a terminator is added when
        // the file has none.
        bytes.push_back(0);
        return CDesignWorkshopImporter(reinterpret_cast<const char*>(bytes.data()), *rav, *this)
            .Run();
    });
}
