#include "filters/DesignWorkshopFilter.h"

#include "filters/NumberText.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <algorithm>
#include <span>
#include <string>

namespace {

// The program expects these settings before the objects; only the object
// count varies.
constexpr const char* kHeader[] = {
    "4",
    nullptr, // the object count
    "",
    "LengthUnits: Feet.3",
    "AngleUnits: Degrees.2",
    "BackgroundGridSizeAndSpacing: 50, 50",
    "SectionPoint: 0 -4.572 1.2192",
    "SnapGridSpacing: 50",
    "",
    "SnapToHandleDistance: 2",
    "WallifyThickness: 0.5",
    "CircleFaceting: 16",
    "RotationConstraint: 45",
    "RotationPrecision: 0.5",
    "PerspLinkedWithAxon: 0",
    "ViewRotateFactor: 20",
    "ViewMoveFactor: 20",
    "",
    "SunStudyWidthAndHeight: 200, 200",
    "SunStudyFrameCount: 3",
    "SunStudyQuickTime: 1",
    "SunStudyPICT: 0",
    "SunStudyStartTime: 11:00",
    "SunStudyEndTime: 13:00",
    "",
    "Latitude: 40",
    "GroundPlaneVisible: 1",
    "GroundColor: 32110  37355  29490",
    "SkyColor: 51110  58320  65535",
    "ObjectColor: 65535  64000  56000",
    "",
    "numPhases: 1",
    "",
    "Phase: Sketch 1",
    "1  1  1",
    "",
};

void WriteHeader(const CRavFile& rav, std::string& out) {
    for (const char* line : kHeader) {
        if (line == nullptr) {
            out += "//\tNumber of Objects: ";
            out += std::to_string(static_cast<std::int64_t>(rav.header.objectCount) - 1);
        } else {
            out += line;
        }
        out += "\r\n";
    }
    out += "numMaterials: " + std::to_string(rav.header.textureCount) + "\r\n\r\n";
    std::size_t number = 0;
    for (const RavTexture& texture : rav.Textures()) {
        out += "Material: ";
        out += texture.name;
        out += "\r\n" + std::to_string(++number) + "\r\n\r\n";
    }
}

// The number of the first texture with the record's textureRef; 0, which the
// reader leaves alone, when none has it.
std::int32_t MaterialOf(const RavObject& object, const CRavFile& rav) {
    const std::span<const RavTexture> textures = rav.Textures();
    const auto found = std::ranges::find(textures, object.textureRecords[0].textureRef,
                                         &RavTexture::textureRef);
    return found == textures.end() ? 0 : static_cast<std::int32_t>(found - textures.begin()) + 1;
}

void WritePolyline(const RavObject& object, std::int32_t material, std::string& out) {
    out += "Polyline:\r\nPhase: 1\r\nMat: " + std::to_string(material) +
           "\r\nName:\r\nColor: 65535 64000 56000\r\nnumVerts: 4\r\n";
    for (const RavVertex& v : object.vertices) {
        for (const float value : {v.x, v.z, v.y}) {
            AppendFixed(out, static_cast<double>(value), 6);
            out += ' ';
        }
        out += "1\r\n";
    }
    out += "numEdges: 4\r\n0 1\r\n1 2\r\n2 3\r\n3 0\r\nnumFaces: 0\r\nnumOpenings: 0\r\n\r\n";
}

} // namespace

bool CDesignWorkshopFilter::Export(const std::string& path, const CRavFile* rav) {
    if (path.empty() || rav == nullptr) {
        return false;
    }
    return WriteExchangeFile(path, "Error opening %s", [&](CWholeFileWriter& out) {
        std::string text;
        WriteHeader(*rav, text);
        bool written = out.Write(text);
        const std::span<const RavObject> objects = rav->Objects();
        for (std::size_t k = 1; written && k < objects.size(); ++k) {
            if (!IsDesignWorkshopG2(objects[k])) {
                Output(Format("Error! Object %d is not a G2 object", static_cast<int>(k)), 1);
                continue;
            }
            text.clear();
            WritePolyline(objects[k], MaterialOf(objects[k], *rav), text);
            written = out.Write(text);
        }
        return written && out.Write("\r\n");
    });
}
