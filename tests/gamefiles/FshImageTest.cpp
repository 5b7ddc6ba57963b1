#include "gamefiles/FshFile.h"
#include "gamefiles/FshImage.h"
#include "gamefiles/RefPackEncoder.h"
#include "support/FshBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <tuple>

namespace {

using namespace std::literals;
using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view text) {
    return {text.begin(), text.end()};
}

// Pixels written 0xRRGGBBAA, as bytes R, G, B, A.
Bytes Rgba(std::initializer_list<std::uint32_t> pixels) {
    Bytes bytes;
    for (const std::uint32_t p : pixels) {
        bytes.insert(bytes.end(),
                     {static_cast<std::uint8_t>(p >> 24), static_cast<std::uint8_t>(p >> 16),
                      static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)});
    }
    return bytes;
}

FshImage Record(std::uint8_t id, std::uint16_t width, std::uint16_t height, std::string_view body,
                std::uint8_t mipmaps = 0) {
    return {
        .recordId = id, .width = width, .height = height, .pixels = B(body), .mipmaps = mipmaps};
}

std::string Crc(std::span<const std::uint8_t> bytes) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lx",
                  crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
    return text;
}

// Every real archive, against what the independent decoder read from it.
TEST(FshImageTest, ReadsRealArchivesAsTheIndependentDecoderDid) {
    int files = 0;
    for (const auto& file :
         std::filesystem::directory_iterator(POLYPORT_TEST_DATA "/fsh/expected")) {
        const nlohmann::json expected = nlohmann::json::parse(std::ifstream(file.path()));
        const std::string name = expected["file"];
        SCOPED_TRACE(name);
        ++files;
        CFshFile archive;
        ASSERT_TRUE(archive.Load(POLYPORT_TEST_DATA "/fsh/" + name, 1));
        EXPECT_EQ(archive.PackedSize(), expected["bytes"]);
        EXPECT_EQ(archive.IsCompressed(), expected["compressed"]);
        if (expected["compressed"]) {
            EXPECT_EQ(archive.Bytes().size(), expected["unpackedSize"]);
            EXPECT_EQ(Crc(archive.Bytes()), expected["unpackedCrc32"]);
        }
        EXPECT_EQ(std::string(archive.header.directoryId.data(), 4), expected["directoryId"]);
        for (const auto& want : expected["entries"]) {
            const std::span<const std::uint8_t> entry = archive.EntryBytes(want["index"]);
            FshImageInfo info;
            CFshImage image;
            std::string problem;
            ASSERT_TRUE(CFshImage::Describe(entry, info, problem));
            EXPECT_EQ(info.recordId, want["recordId"]);
            EXPECT_EQ(FshPixelFormatName(info.format), want["format"]);
            EXPECT_EQ(info.width, want["width"]);
            EXPECT_EQ(info.height, want["height"]);
            EXPECT_EQ(info.mipmaps, want["mipmaps"]);
            EXPECT_EQ(info.attachments, want["attachments"].get<Bytes>());
            ASSERT_TRUE(image.Decode(entry, {}, problem)) << problem;
            EXPECT_EQ(Crc(image.rgba), want["rgbaCrc32"]);
            EXPECT_TRUE(image.warnings.empty());
        }
    }
    EXPECT_EQ(files, 15);
}

// Asymmetric pixels in every format, palette kind and DXT block mode. The
// DXT colours are 0xFA83 = (255, 81, 24) and 0x1654 = (16, 203, 165).
TEST(FshImageTest, DecodesEveryFormatChannelByChannel) {
    const Bytes ownPalette = MakeFshEntry({Record(0x24, 2, 1, "\x01\x02\x03\x04\x05\x06"sv)});
    const auto indexed = [](std::uint8_t paletteId, std::string_view colours) {
        return MakeFshEntry({Record(0x7B, 2, 1, "\x01\x00"sv), Record(paletteId, 2, 1, colours)});
    };
    const std::string_view bgra = "\x10\x20\x30\x40"
                                  "\xFF\x00\x80\xC0"
                                  "\x00\x00\xFF\xFF"
                                  "\x01\x02\x03\x00"sv;
    const Bytes bgraPixels = Rgba({0x30201040, 0x8000FFC0, 0xFF0000FF, 0x03020100});
    const std::string_view dxt5Tail = "\x77\xA0\xB1\x00\x00\x00"
                                      "\x83\xFA\x54\x16"
                                      "\xE4\x1B\x00\x00"sv;
    struct Case {
        const char* label;
        Bytes entry;
        Bytes shared;
        std::uint16_t width, height;
        Bytes rgba;
        std::vector<std::string> warnings = {};
    };
    // clang-format off
    const Case cases[] = {
        {"argb8888", MakeFshEntry({Record(0x7D, 2, 2, bgra)}), {}, 2, 2, bgraPixels},
        {"rgb888", MakeFshEntry({Record(0x7F, 2, 1, "\x01\x02\x03\xFF\x80\x00"sv)}), {}, 2, 1,
         Rgba({0x030201FF, 0x0080FFFF})},
        {"rgb565", MakeFshEntry({Record(0x78, 2, 1, "\xC5\xA2\x3A\x1F"sv)}), {}, 2, 1,
         Rgba({0xA55929FF, 0x18E7D6FF})},
        {"argb1555", MakeFshEntry({Record(0x7E, 2, 1, "\xC5\xA2\x3A\x1F"sv)}), {}, 2, 1,
         Rgba({0x42B529FF, 0x39CED600})},
        {"argb4444", MakeFshEntry({Record(0x6D, 2, 1, "\xC5\xA2\x3A\x1F"sv)}), {}, 2, 1,
         Rgba({0x22CC55AA, 0xFF33AA11})},
        // The own palette wins over the shared one.
        {"palette 0x24", indexed(0x24, "\x10\x20\x30\xC0\x80\x40"sv), ownPalette, 2, 1,
         Rgba({0xC08040FF, 0x102030FF})},
        {"palette 0x22", indexed(0x22, "\x01\x02\x03\x3F\x20\x10"sv), {}, 2, 1,
         Rgba({0xFF8241FF, 0x04080CFF})},
        {"palette 0x2A", indexed(0x2A, "\x30\x20\x10\x80\x40\x80\xC0\x00"sv), {}, 2, 1,
         Rgba({0xC0804000, 0x10203080})},
        {"palette 0x2D", indexed(0x2D, "\xC5\xA2\x3A\x1F"sv), {}, 2, 1,
         Rgba({0x39CED600, 0x42B529FF})},
        {"palette 0x29", indexed(0x29, "\xC5\xA2\x3A\x1F"sv), {}, 2, 1,
         Rgba({0x18E7D6FF, 0xA55929FF})},
        {"palette 0x23", indexed(0x23, "\x30\x20\x10\x40\x80\xC0"sv), {}, 2, 1,
         Rgba({0xC08040FF, 0x102030FF})},
        {"shared !pal behind a name", MakeFshEntry({Record(0x7B, 2, 1, "\x01\x00"sv),
                                                    Record(0x70, 0, 0, "ab\0\0"sv)}),
         ownPalette, 2, 1, Rgba({0x040506FF, 0x010203FF})},
        {"no palette", MakeFshEntry({Record(0x7B, 2, 1, "\x01\x00"sv)}), {}, 2, 1,
         Rgba({0x010101FF, 0x000000FF}), {"has no palette; shown as grey"}},
        {"palette cut short", indexed(0x24, "\x10\x20\x30"sv), {}, 2, 1,
         Rgba({0x000000FF, 0x102030FF}), {"its palette ends after 1 of 2 colours"}},
        // Rows: indices 0 1 2 3, 3 2 1 0, all 0, all 1.
        {"dxt1 four colours",
         MakeFshEntry({Record(0x60, 4, 4, "\x83\xFA\x54\x16\xE4\x1B\x00\x55"sv)}), {}, 4, 4,
         Rgba({0xFF5118FF, 0x10CBA5FF, 0xAF7947FF, 0x5FA276FF,
               0x5FA276FF, 0xAF7947FF, 0x10CBA5FF, 0xFF5118FF,
               0xFF5118FF, 0xFF5118FF, 0xFF5118FF, 0xFF5118FF,
               0x10CBA5FF, 0x10CBA5FF, 0x10CBA5FF, 0x10CBA5FF})},
        // First colour not the larger: index 3 is transparent black. The
        // second block shows only its first pixel.
        {"dxt1 three colours, cut",
         MakeFshEntry({Record(0x60, 5, 1, "\x54\x16\x83\xFA\xE4\x00\x00\x00"
                                          "\x83\xFA\x54\x16\x01\x00\x00\x00"sv)}), {}, 5, 1,
         Rgba({0x10CBA5FF, 0xFF5118FF, 0x878E5EFF, 0x00000000, 0x10CBA5FF})},
        // Alphas 0 5 10 15, 1 2 3 4; the colours keep four even though the
        // first is the smaller.
        {"dxt3", MakeFshEntry({Record(0x61, 4, 2, "\x50\xFA\x21\x43\x00\x00\x00\x00"
                                                  "\x54\x16\x83\xFA\x4E\x1B\x00\x00"sv)}),
         {}, 4, 2,
         Rgba({0x5FA27600, 0xAF794755, 0x10CBA5AA, 0xFF5118FF,
               0xAF794711, 0x5FA27622, 0xFF511833, 0x10CBA544})},
        // Alpha indices 7 6 1 0, 2 3 4 5.
        {"dxt5 eight alphas",
         MakeFshEntry({Record(0x62, 4, 2, "\xC8\x14"s + std::string(dxt5Tail))}), {}, 4, 2,
         Rgba({0xFF51182D, 0x10CBA547, 0xAF794714, 0x5FA276C8,
               0x5FA276AE, 0xAF794794, 0x10CBA57A, 0xFF511861})},
        {"dxt5 six alphas",
         MakeFshEntry({Record(0x62, 4, 2, "\x14\xC8"s + std::string(dxt5Tail))}), {}, 4, 2,
         Rgba({0xFF5118FF, 0x10CBA500, 0xAF7947C8, 0x5FA27614,
               0x5FA27638, 0xAF79475C, 0x10CBA580, 0xFF5118A4})},
        {"mipmapped", MakeFshEntry({Record(0x7D, 2, 2, std::string(bgra) + "\x01\x02\x03\x04", 1)}),
         {}, 2, 2, bgraPixels},
        {"compressed", MakeFshEntry({{.recordId = 0xFD, .width = 2, .height = 2,
                                      .pixels = PackRefPack(B(bgra))}}),
         {}, 2, 2, bgraPixels},
    };
    // clang-format on
    for (const Case& c : cases) {
        CFshImage image;
        std::string problem;
        ASSERT_TRUE(image.Decode(c.entry, c.shared, problem)) << c.label << ": " << problem;
        EXPECT_EQ(image.width, c.width) << c.label;
        EXPECT_EQ(image.height, c.height) << c.label;
        EXPECT_EQ(image.rgba, c.rgba) << c.label;
        EXPECT_EQ(image.warnings, c.warnings) << c.label;
    }
}

// What an entry cannot be decoded from; a refused image leaves the object
// empty, even after an image decoded before.
TEST(FshImageTest, RefusesEntriesItCannotDecode) {
    Bytes cutStream = MakeFshEntry(
        {{.recordId = 0xFD, .width = 2, .height = 2, .pixels = PackRefPack(Bytes(16, 7))}});
    cutStream.resize(cutStream.size() - 2);
    // clang-format off
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"too short", B("\x7D\x00\x00\x00\x02\x00\x02\x00"sv), "is too short for a record header"},
        {"not an image", MakeFshEntry({Record(0x24, 2, 1, "abcdef"sv)}),
         "has record id 0x24, which is no image"},
        {"no width", MakeFshEntry({Record(0x7D, 0, 4, ""sv)}), "has no pixels (0 x 4)"},
        {"huge", MakeFshEntry({Record(0x60, 65535, 65535, ""sv)}),
         "is too large to show (65535 x 65535, more than 256 MiB decoded)"},
        {"pixels cut", MakeFshEntry({Record(0x7D, 2, 2, std::string(15, 'x'))}),
         "needs 16 bytes of pixels but holds only 15"},
        {"dxt blocks cut", MakeFshEntry({Record(0x60, 5, 5, std::string(24, 'x'))}),
         "needs 32 bytes of pixels but holds only 24"},
        {"stream cut", cutStream, "the compressed data ends early"},
        {"unpacks short", MakeFshEntry({{.recordId = 0xFD, .width = 2, .height = 2,
                                         .pixels = PackRefPack(Bytes(8, 7))}}),
         "needs 16 bytes of pixels but holds only 8"},
    };
    // clang-format on
    const Bytes good = MakeFshEntry({Record(0x7D, 1, 1, "abcd"sv)});
    for (const auto& [label, entry, expected] : cases) {
        CFshImage image;
        std::string problem;
        ASSERT_TRUE(image.Decode(good, {}, problem));
        EXPECT_FALSE(image.Decode(entry, {}, problem)) << label;
        EXPECT_EQ(problem, expected) << label;
        EXPECT_TRUE(image.rgba.empty() && image.width == 0 && image.height == 0) << label;
    }
}

} // namespace
