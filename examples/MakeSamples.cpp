// Writes a small but plausible scene: a pitch, four stands, a few objects of
// other kinds and a few hundred crowd quads around the pitch, with
// 4-character texture names, plus an FSH archive whose images carry those
// names and real 32-bit pixels. Everything is computed, nothing is random,
// so the files come out the same on every machine.

#include "support/FshBuilder.h"
#include "support/RavBuilder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct TextureKind {
    const char* name;
    std::uint16_t width;
    std::uint16_t height;
};

// Mixed sizes, as real archives have: large pitch and stand textures, small
// crowd and advertising tiles, some of them equal in area.
const TextureKind kTextures[] = {
    {"grs0", 256, 256}, {"grs1", 128, 128}, {"lin0", 64, 256}, {"std0", 256, 128},
    {"std1", 256, 128}, {"std2", 128, 64},  {"std3", 128, 64}, {"roof", 128, 32},
    {"crw0", 64, 64},   {"crw1", 64, 64},   {"crw2", 64, 64},  {"crw3", 64, 64},
    {"crw4", 32, 64},   {"crw5", 32, 64},   {"adv0", 128, 16}, {"adv1", 128, 16},
    {"adv2", 64, 32},   {"net0", 32, 32},   {"flag", 16, 16},  {"sky0", 256, 64},
};

int TextureIndex(const std::string& name) {
    for (std::size_t i = 0; i < std::size(kTextures); ++i) {
        if (name == kTextures[i].name) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

RavBuilder::TextureRecord Record(const char* texture, std::vector<std::uint16_t> orders) {
    RavBuilder::TextureRecord record;
    record.texture = TextureIndex(texture);
    record.orders = std::move(orders);
    return record;
}

// A flat grid of quads on y = 0, two triangles per cell.
RavBuilder::Object Pitch() {
    RavBuilder::Object pitch;
    pitch.name = "pitch";
    constexpr int kCells = 4;
    constexpr float kHalfX = 2400.0f;
    constexpr float kHalfZ = 3400.0f;
    for (int row = 0; row <= kCells; ++row) {
        for (int col = 0; col <= kCells; ++col) {
            const float u = static_cast<float>(col) / kCells;
            const float v = static_cast<float>(row) / kCells;
            pitch.vertices.push_back({-kHalfX + 2 * kHalfX * u, 0.0f, -kHalfZ + 2 * kHalfZ * v});
            pitch.uvs.push_back({u * 8, v * 8});
            pitch.colours.push_back({180, 220, 180, 255});
        }
    }
    std::vector<std::uint16_t> order;
    for (int row = 0; row < kCells; ++row) {
        for (int col = 0; col < kCells; ++col) {
            const auto a = static_cast<std::uint16_t>(row * (kCells + 1) + col);
            const auto b = static_cast<std::uint16_t>(a + 1);
            const auto c = static_cast<std::uint16_t>(a + kCells + 2);
            const auto d = static_cast<std::uint16_t>(a + kCells + 1);
            order.insert(order.end(), {a, b, c, a, c, d});
        }
    }
    pitch.textureRecords.push_back(Record("grs0", order));
    pitch.textureRecords.push_back(Record("lin0", {0, 4, 24, 0, 24, 20}));
    return pitch;
}

// A sloped block of seats along one side of the pitch, with a roof edge.
RavBuilder::Object Stand(const char* name, const char* texture, float x0, float z0, float x1,
                         float z1, float outward) {
    RavBuilder::Object stand;
    stand.name = name;
    const float dx = (z0 == z1) ? 0.0f : outward;
    const float dz = (z0 == z1) ? outward : 0.0f;
    stand.vertices = {{x0, 0, z0},
                      {x1, 0, z1},
                      {x1 + dx, 900, z1 + dz},
                      {x0 + dx, 900, z0 + dz},
                      {x0 + dx, 1100, z0 + dz},
                      {x1 + dx, 1100, z1 + dz}};
    stand.uvs = {{0, 1}, {4, 1}, {4, 0}, {0, 0}, {0, 0.2f}, {4, 0.2f}};
    stand.colours.assign(stand.vertices.size(), {200, 200, 200, 255});
    stand.textureRecords.push_back(Record(texture, {0, 1, 2, 0, 2, 3}));
    stand.textureRecords.push_back(Record("roof", {3, 2, 5, 3, 5, 4}));
    return stand;
}

// One crowd quad: four corners facing the pitch, four colours, four uvs and
// one texture record of two triangles.
RavBuilder::Object CrowdQuad(int index, float x, float y, float z, bool alongX) {
    RavBuilder::Object quad;
    char name[16];
    std::snprintf(name, sizeof name, "crowd%03d", index);
    quad.name = name;
    constexpr float kWidth = 180.0f;
    constexpr float kHeight = 160.0f;
    const float wx = alongX ? kWidth : 0.0f;
    const float wz = alongX ? 0.0f : kWidth;
    quad.vertices = {
        {x, y, z}, {x + wx, y, z + wz}, {x + wx, y + kHeight, z + wz}, {x, y + kHeight, z}};
    quad.uvs = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    quad.colours.assign(4, {255, 255, 255, 255});
    static const char* const kCrowd[] = {"crw0", "crw1", "crw2", "crw3", "crw4", "crw5"};
    quad.textureRecords.push_back(Record(kCrowd[index % 6], {0, 1, 2, 0, 2, 3}));
    return quad;
}

// The box the game expects: it holds the origin and has a margin of 2048 on
// every side unless the object has no extent at all.
void SetBox(RavBuilder::Object& object) {
    RavBuilder::Vertex low;
    RavBuilder::Vertex high;
    for (const RavBuilder::Vertex& v : object.vertices) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
    }
    if (object.vertices.empty()) {
        return;
    }
    constexpr float kMargin = 2048.0f;
    object.boxMin = {low.x - kMargin, low.y - kMargin, low.z - kMargin};
    object.boxMax = {high.x + kMargin, high.y + kMargin, high.z + kMargin};
}

RavBuilder Scene() {
    RavBuilder scene;
    for (const TextureKind& t : kTextures) {
        scene.textures.emplace_back(t.name);
    }
    scene.recordSkip = 2;
    scene.objects.push_back(Pitch());
    scene.objects.push_back(Stand("standN", "std0", -2600, -3600, 2600, -3600, -1900));
    scene.objects.push_back(Stand("standS", "std1", -2600, 3600, 2600, 3600, 1900));
    scene.objects.push_back(Stand("standW", "std2", -2600, -3600, -2600, 3600, -1900));
    scene.objects.push_back(Stand("standE", "std3", 2600, -3600, 2600, 3600, 1900));
    for (const auto& [name, kind] :
         {std::pair{"camera_main", 0}, std::pair{"light_pole", 2}, std::pair{"goal_marker", 3}}) {
        RavBuilder::Object other;
        other.name = name;
        other.kind = kind;
        scene.objects.push_back(other);
    }
    // Rows of crowd on the four stands: along x on the long sides (|z| from
    // 3700 to 5500), along z on the short sides (|x| from 2700 to 4500).
    int index = 0;
    for (int row = 0; row < 6; ++row) {
        const float rise = 150.0f * static_cast<float>(row);
        const float depth = 3700.0f + 360.0f * static_cast<float>(row);
        for (int seat = 0; seat < 14; ++seat) {
            const float x = -2520.0f + 360.0f * static_cast<float>(seat);
            scene.objects.push_back(CrowdQuad(index++, x, rise, -depth, true));
            scene.objects.push_back(CrowdQuad(index++, x, rise, depth, true));
        }
        const float side = 2700.0f + 360.0f * static_cast<float>(row);
        for (int seat = 0; seat < 10; ++seat) {
            const float z = -3420.0f + 700.0f * static_cast<float>(seat);
            scene.objects.push_back(CrowdQuad(index++, -side, rise, z, false));
            scene.objects.push_back(CrowdQuad(index++, side, rise, z, false));
        }
    }
    for (RavBuilder::Object& object : scene.objects) {
        SetBox(object);
    }
    return scene;
}

// A simple recognisable pattern per image: a colour ramp with a grid.
FshNamedImage Image(const TextureKind& texture, int seed) {
    std::vector<std::uint8_t> bgra;
    bgra.reserve(static_cast<std::size_t>(texture.width) * texture.height * 4);
    for (int y = 0; y < texture.height; ++y) {
        for (int x = 0; x < texture.width; ++x) {
            const bool grid = (x % 16 == 0) || (y % 16 == 0);
            const auto r = static_cast<std::uint8_t>((x * 255) / std::max(1, texture.width - 1));
            const auto g = static_cast<std::uint8_t>((y * 255) / std::max(1, texture.height - 1));
            const auto b = static_cast<std::uint8_t>((seed * 37) & 0xFF);
            bgra.insert(bgra.end(), {grid ? std::uint8_t{255} : b, grid ? std::uint8_t{255} : g,
                                     grid ? std::uint8_t{255} : r, std::uint8_t{255}});
        }
    }
    return {MakeFshTag(texture.name),
            MakeFshImage32(texture.width, texture.height, std::move(bgra))};
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "Error writing %s\n", path.c_str());
        return false;
    }
    std::printf("Wrote %s (%zu bytes)\n", path.c_str(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<FshNamedImage> images;
    for (std::size_t i = 0; i < std::size(kTextures); ++i) {
        images.push_back(Image(kTextures[i], static_cast<int>(i)));
    }
    const bool ok = WriteFile(dir + "/sample.rav", Scene().Build().image.Bytes()) &&
                    WriteFile(dir + "/sample.fsh", MakeFshArchive(images, MakeFshTag("GIMX")));
    return ok ? 0 : 1;
}
