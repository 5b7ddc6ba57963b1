#include "tools/RavTools.h"

#include "gamefiles/FshFile.h"
#include "gamefiles/RavFile.h"
#include "output/Format.h"

bool CRavTools::TransformVertices(CRavFile* model, const std::array<float, 3>& vector,
                                  TransformMode mode) {
    if (model == nullptr) {
        return false;
    }
    const bool move = mode == TransformMode::Move;
    Output(Format(move ? "Moving all vertexes in %s" : "Scaling all vertexes in %s",
                  model->GetPath().c_str()),
           0);
    const auto [x, y, z] = vector;
    for (std::int32_t i = 0; i < model->header.objectCount; ++i) {
        RavObject* object = model->GetObject(i);
        if (object == nullptr || object->mesh.vertexCount <= 0) {
            continue;
        }
        for (RavVertex& v : object->vertices) {
            if (move) {
                v = {v.x + x, v.y + y, v.z + z};
            } else {
                v = {v.x * x, v.y * y, v.z * z};
            }
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
    for (std::int32_t i = 0; i < model->header.objectCount; ++i) {
        RavObject* object = model->GetObject(i);
        if (object == nullptr || object->kind != 1) {
            continue;
        }
        if (object->mesh.vertexCount != 4 || object->uvCount != 4) {
            Output(Format("Warning! Object %d is not a G2 Object. Skipping", i), 0);
            continue;
        }
        object->uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    }
    if (!model->Save()) {
        return false;
    }
    Output(Format("Successfully written %d objects", model->header.objectCount), 0);
    return true;
}

std::vector<std::string> CRavTools::ImageNames(const CFshFile& archive) {
    std::vector<std::string> names;
    for (std::int32_t i = 0; i < archive.header.entryCount; ++i) {
        const FshEntry* entry = archive.GetEntry(i);
        names.emplace_back(entry != nullptr ? entry->name.data() : "");
    }
    return names;
}
