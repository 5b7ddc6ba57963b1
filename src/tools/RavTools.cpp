#include "tools/RavTools.h"

#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"
#include "tools/ToolDialogs.h"

#include <cmath>
#include <span>

CRavTools::CRavTools() : m_dialogs(&CToolDialogs::None()) {
}

bool CRavTools::TransformVertices(CRavFile* model, const std::array<float, 3>& vector,
                                  TransformMode mode) {
    if (model == nullptr) {
        return false;
    }
    const bool move = mode == TransformMode::Move;
    Output(Format(move ? "Moving all vertexes in %s" : "Scaling all vertexes in %s",
                  model->GetPath().c_str()),
           0);
    const float x = vector[0];
    const float y = vector[1];
    const float z = vector[2];
    const auto transformed = [move, x, y, z](const RavVertex& v) {
        return move ? RavVertex{v.x + x, v.y + y, v.z + z} : RavVertex{v.x * x, v.y * y, v.z * z};
    };
    // A coordinate made infinite or not a number is lost for good: refuse
    // before anything changes. One that already was so does not count.
    const std::span<RavObject> objects = model->Objects();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        for (const RavVertex& v : objects[i].vertices) {
            const RavVertex t = transformed(v);
            const auto lost = [](float before, float after) {
                return std::isfinite(before) && !std::isfinite(after);
            };
            if (lost(v.x, t.x) || lost(v.y, t.y) || lost(v.z, t.z)) {
                Fail(Format("Error! %s would make a coordinate of object %d infinite or not a "
                            "number. Nothing written",
                            move ? "The move" : "The scale", static_cast<int>(i)));
                return false;
            }
        }
    }
    for (RavObject& object : objects) {
        for (RavVertex& v : object.vertices) {
            v = transformed(v);
        }
    }
    if (!model->Save()) {
        return false;
    }
    Output(Format("Successfully written %d objects", model->header.objectCount), 0);
    return true;
}

bool CRavTools::NormalizeG2(CRavFile* model) {
    if (model == nullptr) {
        return false;
    }
    Output("Normalizing G2 ravfile", 0);
    const std::span<RavObject> objects = model->Objects();
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (!IsGeometryObject(objects[i])) {
            continue;
        }
        if (!IsNormalizableG2(objects[i])) {
            Output(Format("Warning! Object %d is not a G2 Object. Skipping", static_cast<int>(i)),
                   0);
            continue;
        }
        objects[i].uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    }
    if (!model->Save()) {
        return false;
    }
    Output(Format("Successfully written %d objects", model->header.objectCount), 0);
    return true;
}

std::vector<std::string> CRavTools::ImageNames(const CFshFile& archive) {
    std::vector<std::string> names;
    for (const FshEntry& entry : archive.Entries()) {
        names.emplace_back(entry.name.data());
    }
    return names;
}
