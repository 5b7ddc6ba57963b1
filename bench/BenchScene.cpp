#include "BenchScene.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/RavFile.h"
#include "support/RavBuilder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

std::vector<std::uint8_t> MakeBenchScene(int objects, int verticesPerObject) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> coordinate(-3000.0f, 3000.0f);
    std::uniform_real_distribution<float> placement(0.0f, 1.0f);
    RavBuilder scene;
    scene.textures = {"crw0", "crw1"};
    for (int i = 0; i < objects; ++i) {
        RavBuilder::Object object;
        object.name = "obj" + std::to_string(i);
        for (int k = 0; k < verticesPerObject; ++k) {
            object.vertices.push_back({coordinate(random), coordinate(random), coordinate(random)});
            object.uvs.push_back({placement(random), placement(random)});
            const auto rgb = static_cast<std::uint32_t>(random());
            object.colours.push_back({static_cast<std::uint8_t>(rgb),
                                      static_cast<std::uint8_t>(rgb >> 8),
                                      static_cast<std::uint8_t>(rgb >> 16), 255});
        }
        object.textureRecords.push_back(RavBuilder::Record(i % 2, {0, 1, 2, 0, 2, 3}));
        scene.objects.push_back(std::move(object));
    }
    return scene.Build().image.Bytes();
}

namespace {

template <typename T> bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

} // namespace

bool SameContent(const CRavFile& a, const CRavFile& b) {
    if (a.header.objectCount != b.header.objectCount) {
        return false;
    }
    for (std::int32_t i = 0; i < a.header.objectCount; ++i) {
        const RavObject& x = *a.GetObject(i);
        const RavObject& y = *b.GetObject(i);
        const bool sameRecords = std::equal(
            x.textureRecords.begin(), x.textureRecords.end(), y.textureRecords.begin(),
            y.textureRecords.end(), [](const RavObjectTexture& r, const RavObjectTexture& s) {
                return r.textureRef == s.textureRef && r.orderCount == s.orderCount;
            });
        if (x.name != y.name || !SameBits(x.vertices, y.vertices) || !SameBits(x.uvs, y.uvs) ||
            !SameBits(x.colours, y.colours) || !sameRecords || x.orders != y.orders) {
            return false;
        }
    }
    return true;
}

bool SameFileBytes(const std::string& path, const std::string& otherPath) {
    const FilePtr file = OpenFile(path, "rb");
    const FilePtr other = OpenFile(otherPath, "rb");
    if (!file || !other) {
        return false;
    }
    std::vector<char> piece(1 << 20);
    std::vector<char> otherPiece(piece.size());
    for (;;) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), file.get());
        const std::size_t otherGot = std::fread(otherPiece.data(), 1, piece.size(), other.get());
        if (got != otherGot || std::memcmp(piece.data(), otherPiece.data(), got) != 0) {
            return false;
        }
        if (got < piece.size()) {
            return std::ferror(file.get()) == 0 && std::ferror(other.get()) == 0;
        }
    }
}
