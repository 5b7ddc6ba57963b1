#include "gamefiles/RefPack.h"
#include "gamefiles/RefPackEncoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <tuple>

namespace {

using namespace std::literals;
using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view text) {
    return {text.begin(), text.end()};
}

// The command kinds and overlapping copies are covered by the real archives.
TEST(RefPackTest, ReadsEveryHeaderForm) {
    // clang-format off
    const std::tuple<const char*, Bytes, std::string_view> cases[] = {
        // Flags, FB, 3-byte size 6; four literals; stop with two.
        {"plain", B("\x10\xFB\x00\x00\x06" "\xE0" "abcd" "\xFE" "ef"sv), "abcdef"},
        // A prefix whose value is not the stream's size.
        {"prefix", B("\x01\x00\x00\x00" "\x10\xFB\x00\x00\x03" "\xFF" "xyz"sv), "xyz"},
        // Flag 0x01: compressed size 9 first, then the unpacked size.
        {"0x11", B("\x11\xFB\x00\x00\x09\x00\x00\x03" "\xFF" "xyz"sv), "xyz"},
        {"0x90", B("\x90\xFB\x00\x00\x00\x03" "\xFF" "xyz"sv), "xyz"},
        {"0x91", B("\x91\xFB\x00\x00\x00\x0B\x00\x00\x00\x03" "\xFF" "xyz"sv), "xyz"},
        // Full after four literals: no stop command needed.
        {"no stop", B("\x10\xFB\x00\x00\x04" "\xE0" "abcd"sv), "abcd"},
    };
    // clang-format on
    for (const auto& [label, stream, expected] : cases) {
        Bytes unpacked;
        std::string problem;
        EXPECT_EQ(SniffRefPack(stream), RefPackKind::RefPack) << label;
        EXPECT_TRUE(UnpackRefPack(stream, unpacked, problem)) << label << ": " << problem;
        EXPECT_EQ(unpacked, B(expected)) << label;
    }
}

TEST(RefPackTest, RefusesHostileStreamsWithOneReason) {
    constexpr auto kEarly = "the compressed data ends early";
    // clang-format off
    const std::tuple<const char*, Bytes, std::string_view> cases[] = {
        {"plain archive", B("SHPI\x00\x10\x00\x00"sv), "is not RefPack-compressed"},
        {"scheme 0x46", B("\x46\xFB\x00\x00\x03"sv), "uses another compression scheme (0x46 0xFB)"},
        {"scheme 0x30 after a prefix", B("\x09\x00\x00\x00\x30\xFB"sv),
         "uses another compression scheme (0x30 0xFB)"},
        {"header cut", B("\x10\xFB\x00\x00"sv), kEarly},
        {"literals cut", B("\x10\xFB\x00\x00\x08" "\xE0" "ab"sv), kEarly},
        {"command cut", B("\x10\xFB\x00\x00\x05" "\x0A"sv), kEarly},
        {"copy literals cut", B("\x10\xFB\x00\x00\x08" "\xC3\x00\x02\x00" "x"sv), kEarly},
        {"stops short", B("\x10\xFB\x00\x00\x05" "\xFF" "xyz"sv), kEarly},
        {"runs out", B("\x10\xFB\x00\x00\x08" "\xE0" "abcd"sv), kEarly},
        // 3 back after 2 bytes.
        {"before start", B("\x10\xFB\x00\x00\x07" "\x0A\x02" "ab" "\xFC"sv),
         "refers back before its start"},
        {"literals overflow", B("\x10\xFB\x00\x00\x03" "\xE0" "abcd"sv),
         "unpacks to more than it declares"},
        {"copy overflows", B("\x10\xFB\x00\x00\x04" "\x0A\x01" "ab" "\xFC"sv),
         "unpacks to more than it declares"},
        {"size no stream can reach", B("\x10\xFB\x01\x01\x01" "\xC0\x00\x00\xFF"sv),
         "declares more than its data can unpack to"},
        {"size above the cap", B("\x90\xFB\x20\x00\x00\x01" "\xFC"sv),
         "declares more than 512 MiB unpacked"},
    };
    // clang-format on
    for (const auto& [label, stream, expected] : cases) {
        Bytes unpacked{1, 2, 3};
        std::string problem;
        EXPECT_FALSE(UnpackRefPack(stream, unpacked, problem)) << label;
        EXPECT_EQ(problem, expected) << label;
        EXPECT_TRUE(unpacked.empty()) << label;
    }
}

// Random bytes, long runs, repeats from every distance the commands reach and
// a stream large enough for the 4-byte size: each comes back unchanged.
TEST(RefPackTest, PackedDataUnpacksToItself) {
    std::mt19937 random(7);
    const auto noise = [&](std::size_t size) {
        Bytes bytes(size);
        for (std::uint8_t& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        return bytes;
    };
    // Pieces of an alphabet of words, with repeats near and far.
    Bytes mixed;
    const Bytes block = noise(40000);
    for (const std::size_t from : {0u, 5u, 300u, 900u, 5000u, 20000u, 39000u, 12u}) {
        mixed.insert(mixed.end(), block.begin() + from, block.begin() + from + 700);
        mixed.insert(mixed.end(), 1500, static_cast<std::uint8_t>(from));
        const Bytes fresh = noise(from % 97);
        mixed.insert(mixed.end(), fresh.begin(), fresh.end());
    }
    // Short periods: copies that overlap what they write.
    for (std::size_t i = 0; i < 3000; ++i) {
        mixed.push_back(block[i < 1500 ? i % 5 : i % 12]);
    }
    mixed.insert(mixed.end(), block.begin(), block.end());
    mixed.insert(mixed.end(), block.begin(), block.end());
    // Past 16 MiB, with the far copies of 4-byte commands doing most of it.
    Bytes large;
    while (large.size() < (17u << 20)) {
        large.insert(large.end(), mixed.begin(), mixed.end());
    }

    // clang-format off
    const std::tuple<const char*, Bytes, std::uint8_t> cases[] = {
        {"empty", {}, 0x10},
        {"three bytes", B("abc"), 0x10},
        {"random", noise(5000), 0x10},
        {"mixed", mixed, 0x10},
        {"17 MiB", large, 0x90},
    };
    // clang-format on
    for (const auto& [label, data, flags] : cases) {
        const Bytes packed = PackRefPack(data);
        Bytes unpacked;
        std::string problem;
        ASSERT_TRUE(UnpackRefPack(packed, unpacked, problem)) << label << ": " << problem;
        EXPECT_TRUE(unpacked == data) << label;
        EXPECT_EQ(packed[0], flags) << label;
    }
}

} // namespace
