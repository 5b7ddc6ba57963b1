// Writes a small but plausible scene: a pitch, four stands, a few objects of
// other kinds and a few hundred crowd quads around the pitch, with
// 4-character texture names, plus an FSH archive whose images carry those
// names, most in 32 bits and a few in each of the other pixel formats, and
// the same archive RefPack-compressed. Everything is computed, nothing is
// random, so the files come out the same on every machine.

#include "gamefiles/RefPackEncoder.h"
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

// A simple recognisable pattern per image: a colour ramp with a grid, and
// an alpha that falls towards the bottom where `fading`. B, G, R, A.
std::vector<std::uint8_t> Pattern(const TextureKind& texture, int seed, bool fading) {
    std::vector<std::uint8_t> bgra;
    bgra.reserve(static_cast<std::size_t>(texture.width) * texture.height * 4);
    for (int y = 0; y < texture.height; ++y) {
        for (int x = 0; x < texture.width; ++x) {
            const bool grid = (x % 16 == 0) || (y % 16 == 0);
            const auto r = static_cast<std::uint8_t>((x * 255) / std::max(1, texture.width - 1));
            const auto g = static_cast<std::uint8_t>((y * 255) / std::max(1, texture.height - 1));
            const auto b = static_cast<std::uint8_t>((seed * 37) & 0xFF);
            const auto a = fading ? static_cast<std::uint8_t>(255 - g) : std::uint8_t{255};
            bgra.insert(bgra.end(), {grid ? std::uint8_t{255} : b, grid ? std::uint8_t{255} : g,
                                     grid ? std::uint8_t{255} : r, a});
        }
    }
    return bgra;
}

std::uint16_t To565(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
}

// 16-bit pixels, little-endian: 565, 1555 or 4444 by record id.
std::vector<std::uint8_t> Pixels16(const std::vector<std::uint8_t>& bgra, std::uint8_t id) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        const std::uint8_t* p = &bgra[i];
        std::uint16_t v = 0;
        if (id == 0x78) {
            v = To565(p);
        } else if (id == 0x7E) {
            v = static_cast<std::uint16_t>((p[3] >= 128) << 15 | (p[2] >> 3) << 10 |
                                           (p[1] >> 3) << 5 | p[0] >> 3);
        } else {
            v = static_cast<std::uint16_t>((p[3] >> 4) << 12 | (p[2] >> 4) << 8 |
                                           (p[1] >> 4) << 4 | p[0] >> 4);
        }
        out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
    }
    return out;
}

// 8-bit indices into a palette of 256 greys ramped from dark blue to white,
// with the palette as a 24-bit attachment (R, G, B).
FshImage Indexed(const TextureKind& texture, const std::vector<std::uint8_t>& bgra) {
    FshImage image{.recordId = 0x7B, .width = texture.width, .height = texture.height, .pixels = {}};
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        image.pixels.push_back(static_cast<std::uint8_t>((bgra[i] + bgra[i + 1] + bgra[i + 2]) / 3));
    }
    FshImage palette{.recordId = 0x24, .width = 256, .height = 1, .pixels = {}};
    for (int k = 0; k < 256; ++k) {
        palette.pixels.insert(palette.pixels.end(), {static_cast<std::uint8_t>(k),
                                                     static_cast<std::uint8_t>(k),
                                                     static_cast<std::uint8_t>(128 + k / 2)});
    }
    image.attachments.push_back(std::move(palette));
    return image;
}

// A DXT colour block: the block's darkest and lightest colours as the two
// ends, each pixel the nearest of the four colours between them.
void ColourBlock(const std::uint8_t* px[16], std::vector<std::uint8_t>& out) {
    const auto light = [](const std::uint8_t* p) { return p[0] + 2 * p[1] + p[2]; };
    const std::uint8_t* lo = px[0];
    const std::uint8_t* hi = px[0];
    for (int i = 1; i < 16; ++i) {
        lo = light(px[i]) < light(lo) ? px[i] : lo;
        hi = light(px[i]) > light(hi) ? px[i] : hi;
    }
    std::uint16_t c0 = To565(hi);
    std::uint16_t c1 = To565(lo);
    if (c0 < c1) {
        std::swap(c0, c1);
    }
    std::uint32_t bits = 0;
    if (c0 != c1) {
        const int l0 = light(hi);
        const int l1 = light(lo);
        for (int i = 0; i < 16; ++i) {
            // 0 is c0, 1 is c1, 2 and 3 lie a third and two thirds of the way.
            const int step = l0 == l1 ? 0 : ((l0 - light(px[i])) * 3 + (l0 - l1) / 2) / (l0 - l1);
            const int index = step == 0 ? 0 : step == 3 ? 1 : step == 1 ? 2 : 3;
            bits |= static_cast<std::uint32_t>(index) << (2 * i);
        }
    }
    for (const std::uint32_t v : {std::uint32_t{c0}, std::uint32_t{c1}}) {
        out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
    }
    for (int k = 0; k < 4; ++k) {
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));
    }
}

// DXT5's alpha block: the largest and smallest alpha, each pixel the nearest
// of the eight values between them.
void AlphaBlock(const std::uint8_t* px[16], std::vector<std::uint8_t>& out) {
    int a0 = 0;
    int a1 = 255;
    for (int i = 0; i < 16; ++i) {
        a0 = std::max<int>(a0, px[i][3]);
        a1 = std::min<int>(a1, px[i][3]);
    }
    std::uint64_t bits = 0;
    for (int i = 0; a0 != a1 && i < 16; ++i) {
        const int step = ((a0 - px[i][3]) * 7 + (a0 - a1) / 2) / (a0 - a1);
        const int index = step == 0 ? 0 : step == 7 ? 1 : step + 1;
        bits |= static_cast<std::uint64_t>(index) << (3 * i);
    }
    out.insert(out.end(), {static_cast<std::uint8_t>(a0), static_cast<std::uint8_t>(a1)});
    for (int k = 0; k < 6; ++k) {
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));
    }
}

std::vector<std::uint8_t> Dxt(const TextureKind& texture, const std::vector<std::uint8_t>& bgra,
                              bool alpha) {
    std::vector<std::uint8_t> out;
    for (int by = 0; by < texture.height; by += 4) {
        for (int bx = 0; bx < texture.width; bx += 4) {
            const std::uint8_t* px[16];
            for (int i = 0; i < 16; ++i) {
                px[i] = &bgra[(static_cast<std::size_t>(by + i / 4) * texture.width + bx + i % 4) * 4];
            }
            if (alpha) {
                AlphaBlock(px, out);
            }
            ColourBlock(px, out);
        }
    }
    return out;
}

// Most images in 32 bits; one each in the other formats, so that every
// decoder has something to show.
FshNamedImage Image(const TextureKind& texture, int seed) {
    const std::string name = texture.name;
    const bool fading = name == "sky0" || name == "std2" || name == "std3";
    std::vector<std::uint8_t> bgra = Pattern(texture, seed, fading);
    FshImage image{.width = texture.width, .height = texture.height, .pixels = {}};
    if (name == "grs1") {
        image.recordId = 0x60;
        image.pixels = Dxt(texture, bgra, false);
    } else if (name == "sky0") {
        image.recordId = 0x62;
        image.pixels = Dxt(texture, bgra, true);
    } else if (name == "lin0" || name == "std2" || name == "std3") {
        image.recordId = name == "lin0" ? 0x78 : name == "std2" ? 0x7E : 0x6D;
        image.pixels = Pixels16(bgra, image.recordId);
    } else if (name == "roof") {
        image = Indexed(texture, bgra);
    } else {
        image = MakeFshImage32(texture.width, texture.height, std::move(bgra));
    }
    return {MakeFshTag(texture.name), std::move(image)};
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
    const std::vector<std::uint8_t> archive = MakeFshArchive(images, MakeFshTag("GIMX"));
    const bool ok = WriteFile(dir + "/sample.rav", Scene().Build().image.Bytes()) &&
                    WriteFile(dir + "/sample.fsh", archive) &&
                    WriteFile(dir + "/sample-packed.fsh", PackRefPack(archive));
    return ok ? 0 : 1;
}
