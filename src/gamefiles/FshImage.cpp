#include "gamefiles/FshImage.h"

#include "gamefiles/FshRecordHeader.h"
#include "gamefiles/RefPack.h"
#include "output/Format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// Pixels by record id, top row first: 0x7D B, G, R, A; 0x7F B, G, R; 0x78,
// 0x7E and 0x6D little-endian words of 565, 1555 and 4444 with red (alpha
// for the last two) in the high bits; 0x7B one palette index each; 0x60,
// 0x61 and 0x62 DXT1, DXT3 and DXT5 blocks of 4 x 4 pixels. Palette records
// hold as many colours as their width says: 0x22 6-bit R, G, B; 0x24 R, G, B;
// 0x2A B, G, R, A; 0x2D 1555; 0x29 565; 0x23 B, G, R (taken on trust).

namespace {

constexpr std::uint64_t kMaxRgbaBytes = 256u << 20;

// A pixel as it lies in memory: R, G, B, A.
using Pixel = std::uint32_t;
constexpr bool kLittle = std::endian::native == std::endian::little;
constexpr int kAlphaShift = kLittle ? 24 : 0;

constexpr Pixel Pack(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    return kLittle ? r | g << 8 | b << 16 | a << 24 : r << 24 | g << 16 | b << 8 | a;
}

std::uint32_t Le16(const std::uint8_t* p) {
    return p[0] | p[1] << 8u;
}

// Narrow channels widen by repeating their top bits.
constexpr std::uint32_t Widen5(std::uint32_t v) {
    return v << 3 | v >> 2;
}
constexpr std::uint32_t Widen6(std::uint32_t v) {
    return v << 2 | v >> 4;
}

constexpr Pixel From565(std::uint32_t v) {
    return Pack(Widen5(v >> 11), Widen6((v >> 5) & 0x3F), Widen5(v & 0x1F), 255);
}
constexpr Pixel From1555(std::uint32_t v) {
    return Pack(Widen5((v >> 10) & 0x1F), Widen5((v >> 5) & 0x1F), Widen5(v & 0x1F),
                (v & 0x8000) ? 255 : 0);
}
constexpr Pixel From4444(std::uint32_t v) {
    return Pack(((v >> 8) & 0xF) * 17, ((v >> 4) & 0xF) * 17, (v & 0xF) * 17, (v >> 12) * 17);
}

// Little-endian words, one load each on a little-endian machine.
template <typename Word> Word LoadLe(const std::uint8_t* p) {
    Word v = 0;
    if constexpr (kLittle) {
        std::memcpy(&v, p, sizeof v);
    } else {
        for (std::size_t i = sizeof v; i-- > 0;) {
            v = static_cast<Word>(v << 8 | p[i]);
        }
    }
    return v;
}
std::uint32_t Le32(const std::uint8_t* p) {
    return LoadLe<std::uint32_t>(p);
}
std::uint64_t Le64(const std::uint8_t* p) {
    return LoadLe<std::uint64_t>(p);
}

void Store(std::uint8_t* out, Pixel pixel) {
    std::memcpy(out, &pixel, 4);
}

// A 16-bit pixel is the OR of what each of its bytes gives alone: no
// widened channel bit depends on bits of both bytes. Two 256-entry tables
// then replace the shifts of every pixel.
struct ByteTables {
    std::array<Pixel, 256> low{};
    std::array<Pixel, 256> high{};
};

template <Pixel (*Convert)(std::uint32_t)> constexpr ByteTables MakeByteTables() {
    ByteTables tables;
    for (std::uint32_t b = 0; b < 256; ++b) {
        tables.low[b] = Convert(b);
        tables.high[b] = Convert(b << 8);
    }
    return tables;
}

constexpr ByteTables k565 = MakeByteTables<From565>();
constexpr ByteTables k1555 = MakeByteTables<From1555>();
constexpr ByteTables k4444 = MakeByteTables<From4444>();

// Whole-pixel formats: `convert` turns the bytes of one pixel into a Pixel.
template <std::size_t Bytes, typename Convert>
void DecodePixels(const std::uint8_t* in, std::size_t count, std::uint8_t* out, Convert convert) {
    for (std::size_t i = 0; i < count; ++i) {
        Store(out + 4 * i, convert(in + Bytes * i));
    }
}

// B, G, R, A to R, G, B, A: two pixels at a time swap their bytes 0 and 2.
void DecodeBgra(const std::uint8_t* in, std::size_t count, std::uint8_t* out) {
    std::size_t i = 0;
    if constexpr (kLittle) {
        constexpr std::uint64_t kKeep = 0xFF00FF00FF00FF00u;
        constexpr std::uint64_t kLow = 0x000000FF000000FFu;
        for (; i + 2 <= count; i += 2) {
            const std::uint64_t v = Le64(in + 4 * i);
            const std::uint64_t swapped = (v & kKeep) | ((v >> 16) & kLow) | ((v & kLow) << 16);
            std::memcpy(out + 4 * i, &swapped, 8);
        }
    }
    DecodePixels<4>(in + 4 * i, count - i, out + 4 * i,
                    [](const std::uint8_t* p) { return Pack(p[2], p[1], p[0], p[3]); });
}

void DecodeWords(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                 const ByteTables& tables) {
    DecodePixels<2>(in, count, out, [&tables](const std::uint8_t* p) {
        return tables.low[p[0]] | tables.high[p[1]];
    });
}

// The four colours of a DXT colour block. DXT1 blocks whose first colour is
// not the larger use the three-colour rule with transparent black. DXT3 and
// DXT5 always use the four-colour rule, and leave the alpha bits clear for
// the alphas of their own.
template <bool Dxt1> void BlockColours(const std::uint8_t* block, Pixel colours[4]) {
    const std::uint32_t c0 = Le16(block);
    const std::uint32_t c1 = Le16(block + 2);
    const std::uint32_t r0 = Widen5(c0 >> 11), g0 = Widen6((c0 >> 5) & 0x3F),
                        b0 = Widen5(c0 & 0x1F);
    const std::uint32_t r1 = Widen5(c1 >> 11), g1 = Widen6((c1 >> 5) & 0x3F),
                        b1 = Widen5(c1 & 0x1F);
    const std::uint32_t a = Dxt1 ? 255 : 0;
    colours[0] = Pack(r0, g0, b0, a);
    colours[1] = Pack(r1, g1, b1, a);
    if (!Dxt1 || c0 > c1) {
        colours[2] = Pack((2 * r0 + r1) / 3, (2 * g0 + g1) / 3, (2 * b0 + b1) / 3, a);
        colours[3] = Pack((r0 + 2 * r1) / 3, (g0 + 2 * g1) / 3, (b0 + 2 * b1) / 3, a);
    } else {
        colours[2] = Pack((r0 + r1) / 2, (g0 + g1) / 2, (b0 + b1) / 2, a);
        colours[3] = 0;
    }
}

// A colour block: two 565 colours, then 2-bit indices, pixel 0 lowest.
struct Dxt1Block {
    static constexpr std::size_t kBytes = 8;
    void operator()(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) const {
        Pixel colours[4];
        BlockColours<true>(block, colours);
        const std::uint32_t indices = Le32(block + 4);
        for (int row = 0; row < 4; ++row, out += stride) {
            const std::uint32_t c = indices >> (8 * row);
            Store(out, colours[c & 3]);
            Store(out + 4, colours[(c >> 2) & 3]);
            Store(out + 8, colours[(c >> 4) & 3]);
            Store(out + 12, colours[(c >> 6) & 3]);
        }
    }
};

// The alpha bits of each 4-bit alpha.
constexpr std::array<Pixel, 16> kNibbleAlpha = [] {
    std::array<Pixel, 16> alphas{};
    for (Pixel n = 0; n < 16; ++n) {
        alphas[n] = n * 17 << kAlphaShift;
    }
    return alphas;
}();

// 4-bit alphas, pixel 0 in the low nibble, then a colour block.
struct Dxt3Block {
    static constexpr std::size_t kBytes = 16;
    void operator()(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) const {
        Pixel colours[4];
        BlockColours<false>(block + 8, colours);
        const std::uint32_t indices = Le32(block + 12);
        const std::uint64_t alphas = Le64(block);
        for (int row = 0; row < 4; ++row, out += stride) {
            const std::uint32_t c = indices >> (8 * row);
            const auto a = static_cast<std::uint32_t>(alphas >> (16 * row));
            Store(out, colours[c & 3] | kNibbleAlpha[a & 0xF]);
            Store(out + 4, colours[(c >> 2) & 3] | kNibbleAlpha[(a >> 4) & 0xF]);
            Store(out + 8, colours[(c >> 4) & 3] | kNibbleAlpha[(a >> 8) & 0xF]);
            Store(out + 12, colours[(c >> 6) & 3] | kNibbleAlpha[(a >> 12) & 0xF]);
        }
    }
};

// Two alphas, 3-bit indices into the eight they span, then a colour block.
struct Dxt5Block {
    static constexpr std::size_t kBytes = 16;
    void operator()(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) const {
        Pixel colours[4];
        BlockColours<false>(block + 8, colours);
        const std::uint32_t a0 = block[0];
        const std::uint32_t a1 = block[1];
        Pixel alpha[8] = {a0, a1};
        if (a0 > a1) {
            for (std::uint32_t k = 1; k <= 6; ++k) {
                alpha[k + 1] = ((7 - k) * a0 + k * a1) / 7;
            }
        } else {
            for (std::uint32_t k = 1; k <= 4; ++k) {
                alpha[k + 1] = ((5 - k) * a0 + k * a1) / 5;
            }
            alpha[6] = 0;
            alpha[7] = 255;
        }
        for (Pixel& value : alpha) {
            value <<= kAlphaShift;
        }
        const std::uint32_t indices = Le32(block + 12);
        const std::uint64_t alphaIndices = Le64(block) >> 16;
        for (int row = 0; row < 4; ++row, out += stride) {
            const std::uint32_t c = indices >> (8 * row);
            const auto a = static_cast<std::uint32_t>(alphaIndices >> (12 * row));
            Store(out, colours[c & 3] | alpha[a & 7]);
            Store(out + 4, colours[(c >> 2) & 3] | alpha[(a >> 3) & 7]);
            Store(out + 8, colours[(c >> 4) & 3] | alpha[(a >> 6) & 7]);
            Store(out + 12, colours[(c >> 6) & 3] | alpha[(a >> 9) & 7]);
        }
    }
};

// Blocks left to right, top to bottom. Whole blocks go straight into the
// image; blocks at the right or bottom edge go through a block of their
// own, and their pixels outside the image are dropped.
template <typename DecodeBlock>
void DecodeBlocks(const std::uint8_t* in, std::uint32_t width, std::uint32_t height,
                  std::uint8_t* out) {
    const DecodeBlock decodeBlock;
    const std::size_t stride = std::size_t{width} * 4;
    std::uint8_t edge[64];
    for (std::uint32_t y = 0; y < height; y += 4) {
        const std::uint32_t rows = std::min(4u, height - y);
        std::uint8_t* line = out + y * stride;
        for (std::uint32_t x = 0; x < width; x += 4, in += DecodeBlock::kBytes) {
            std::uint8_t* at = line + std::size_t{x} * 4;
            const std::uint32_t columns = std::min(4u, width - x);
            if (rows == 4 && columns == 4) {
                decodeBlock(in, at, stride);
                continue;
            }
            decodeBlock(in, edge, 16);
            for (std::uint32_t row = 0; row < rows; ++row) {
                std::copy_n(edge + 16 * row, 4 * columns, at + row * stride);
            }
        }
    }
}

using Palette = std::array<Pixel, 256>;

bool IsPaletteId(std::uint8_t id) {
    switch (id & 0x7F) {
    case 0x22:
    case 0x24:
    case 0x2A:
    case 0x2D:
    case 0x29:
    case 0x23:
        return true;
    default:
        return false;
    }
}

// The offsets of an entry's records, image first. Distances only go
// forward, so the walk ends; it stops at a distance of 0 or at one that
// leaves no room for a header.
std::vector<std::size_t> RecordOffsets(std::span<const std::uint8_t> entry) {
    std::vector<std::size_t> offsets;
    FshRecordHeader header;
    for (std::size_t at = 0; FshRecordHeader::Read(entry, at, header); at += header.next) {
        offsets.push_back(at);
        if (header.next == 0) {
            break;
        }
    }
    return offsets;
}

// The bytes after the header at `offset` up to the end of the entry,
// unpacked into `storage` when the record is compressed.
bool RecordBody(std::span<const std::uint8_t> entry, std::size_t offset,
                const FshRecordHeader& header, std::vector<std::uint8_t>& storage,
                std::span<const std::uint8_t>& body, std::string& problem) {
    body = entry.subspan(offset + FshRecordHeader::kSize);
    if (header.IsCompressed()) {
        if (!UnpackRefPack(body, storage, problem)) {
            return false;
        }
        body = storage;
    }
    return true;
}

// Fills `palette` from the palette record at `offset`. Colours beyond the
// record's bytes stay opaque black, with a warning.
bool ReadPalette(std::span<const std::uint8_t> entry, std::size_t offset, Palette& palette,
                 std::vector<std::string>& warnings) {
    FshRecordHeader header;
    if (!FshRecordHeader::Read(entry, offset, header) || !IsPaletteId(header.id)) {
        return false;
    }
    std::vector<std::uint8_t> storage;
    std::span<const std::uint8_t> body;
    std::string problem;
    if (!RecordBody(entry, offset, header, storage, body, problem)) {
        warnings.push_back("its palette cannot be unpacked: " + problem);
        return false;
    }
    const std::uint8_t kind = header.id & 0x7F;
    const std::size_t bytes = kind == 0x2A ? 4 : (kind == 0x2D || kind == 0x29) ? 2 : 3;
    const std::size_t wanted = std::min<std::size_t>(header.width, palette.size());
    const std::size_t count = std::min(wanted, body.size() / bytes);
    if (count < wanted) {
        warnings.push_back(Format("its palette ends after %zu of %zu colours", count, wanted));
    }
    palette.fill(Pack(0, 0, 0, 255));
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = body.data() + bytes * i;
        switch (kind) {
        case 0x22:
            palette[i] = Pack(Widen6(p[0] & 0x3F), Widen6(p[1] & 0x3F), Widen6(p[2] & 0x3F), 255);
            break;
        case 0x24:
            palette[i] = Pack(p[0], p[1], p[2], 255);
            break;
        case 0x2A:
            palette[i] = Pack(p[2], p[1], p[0], p[3]);
            break;
        case 0x2D:
            palette[i] = From1555(Le16(p));
            break;
        case 0x29:
            palette[i] = From565(Le16(p));
            break;
        default:
            palette[i] = Pack(p[2], p[1], p[0], 255);
            break;
        }
    }
    return true;
}

// The image's own palette, else the shared one, else grey with a warning.
void FindPalette(std::span<const std::uint8_t> entry, std::span<const std::uint8_t> shared,
                 Palette& palette, std::vector<std::string>& warnings) {
    const std::vector<std::size_t> offsets = RecordOffsets(entry);
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        if (ReadPalette(entry, offsets[i], palette, warnings)) {
            return;
        }
    }
    if (ReadPalette(shared, 0, palette, warnings)) {
        return;
    }
    warnings.emplace_back("has no palette; shown as grey");
    for (std::uint32_t i = 0; i < palette.size(); ++i) {
        palette[i] = Pack(i, i, i, 255);
    }
}

void DecodeLevel(FshPixelFormat format, const std::uint8_t* in, std::uint32_t width,
                 std::uint32_t height, const Palette& palette, std::uint8_t* out) {
    const std::size_t count = std::size_t{width} * height;
    switch (format) {
    case FshPixelFormat::Argb8888:
        DecodeBgra(in, count, out);
        break;
    case FshPixelFormat::Rgb888:
        DecodePixels<3>(in, count, out, [](const std::uint8_t* p) {
            const std::uint32_t v = Le16(p) | std::uint32_t{p[2]} << 16;
            return Pack(v >> 16, (v >> 8) & 0xFF, v & 0xFF, 255);
        });
        break;
    case FshPixelFormat::Rgb565:
        DecodeWords(in, count, out, k565);
        break;
    case FshPixelFormat::Argb1555:
        DecodeWords(in, count, out, k1555);
        break;
    case FshPixelFormat::Argb4444:
        DecodeWords(in, count, out, k4444);
        break;
    case FshPixelFormat::Indexed8:
        DecodePixels<1>(in, count, out, [&palette](const std::uint8_t* p) { return palette[*p]; });
        break;
    case FshPixelFormat::Dxt1:
        DecodeBlocks<Dxt1Block>(in, width, height, out);
        break;
    case FshPixelFormat::Dxt3:
        DecodeBlocks<Dxt3Block>(in, width, height, out);
        break;
    case FshPixelFormat::Dxt5:
        DecodeBlocks<Dxt5Block>(in, width, height, out);
        break;
    case FshPixelFormat::Unknown:
        break;
    }
}

bool Fail(std::string& problem, std::string text) {
    problem = std::move(text);
    return false;
}

// Reads the image record's header and finds its level-0 pixels in `body`,
// unpacked into `storage` when compressed. The decoded size is checked
// before anything is unpacked.
bool ReadImageRecord(std::span<const std::uint8_t> entry, FshRecordHeader& header,
                     std::vector<std::uint8_t>& storage, std::span<const std::uint8_t>& body,
                     std::string& problem) {
    if (!FshRecordHeader::Read(entry, 0, header)) {
        return Fail(problem, "is too short for a record header");
    }
    const FshPixelFormat format = FshPixelFormatOf(header.id);
    if (format == FshPixelFormat::Unknown) {
        return Fail(problem, Format("has record id 0x%02X, which is no image", header.id));
    }
    if (header.width == 0 || header.height == 0) {
        return Fail(problem, Format("has no pixels (%u x %u)", header.width, header.height));
    }
    if (std::uint64_t{header.width} * header.height * 4 > kMaxRgbaBytes) {
        return Fail(problem, Format("is too large to show (%u x %u, more than 256 MiB decoded)",
                                    header.width, header.height));
    }
    if (!RecordBody(entry, 0, header, storage, body, problem)) {
        return false;
    }
    const std::uint64_t needed = FshLevelBytes(format, header.width, header.height);
    if (body.size() < needed) {
        return Fail(problem, Format("needs %llu bytes of pixels but holds only %zu",
                                    static_cast<unsigned long long>(needed), body.size()));
    }
    return true;
}

} // namespace

bool CFshImage::Decode(std::span<const std::uint8_t> entry,
                       std::span<const std::uint8_t> sharedPalette, std::string& problem) {
    width = 0;
    height = 0;
    warnings.clear();
    FshRecordHeader header;
    std::vector<std::uint8_t> storage;
    std::span<const std::uint8_t> body;
    if (!ReadImageRecord(entry, header, storage, body, problem)) {
        rgba.clear();
        return false;
    }
    const FshPixelFormat format = FshPixelFormatOf(header.id);
    Palette palette{};
    if (format == FshPixelFormat::Indexed8) {
        FindPalette(entry, sharedPalette, palette, warnings);
    }
    width = header.width;
    height = header.height;
    // Every byte is written below, so the buffer of an image of the same
    // size decoded before is reused without being cleared.
    rgba.resize(std::size_t{width} * height * 4);
    DecodeLevel(format, body.data(), width, height, palette, rgba.data());
    return true;
}

bool CFshImage::Describe(std::span<const std::uint8_t> entry, FshImageInfo& info,
                         std::string& problem) {
    FshRecordHeader header;
    if (!FshRecordHeader::Read(entry, 0, header)) {
        return Fail(problem, "is too short for a record header");
    }
    info = {header.id, FshPixelFormatOf(header.id), header.width, header.height, header.mipmaps,
            {}};
    const std::vector<std::size_t> offsets = RecordOffsets(entry);
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        info.attachments.push_back(entry[offsets[i]]);
    }
    return true;
}
