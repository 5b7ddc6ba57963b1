#include "gamefiles/FshFile.h"
#include "gamefiles/RavTestSupport.h"
#include "output/Format.h"
#include "support/FshBuilder.h"

#include <tuple>

namespace {

// A header with `magic` and a count, followed by `written` entries.
std::vector<std::uint8_t> Archive(std::string_view magic, std::int32_t count = 0,
                                  std::size_t written = 0) {
    const FshDirectory entries(written, {MakeFshTag("ABCD"), 16});
    return MakeFshHeader(MakeFshTag(magic), 0, count, MakeFshTag("G264"), entries).Bytes();
}

// The stated size, directory id, mode and directory, on one line.
std::string Describe(const CFshFile& fsh) {
    std::string text = Format("%u %.4s mode %d:", fsh.header.fileSize,
                              fsh.header.directoryId.data(), fsh.GetMode());
    for (std::int32_t i = 0; i < fsh.header.entryCount; ++i) {
        const FshEntry* e = fsh.GetEntry(i);
        text += e ? Format(" %s@%u", e->name.data(), e->offset) : " null";
    }
    return text;
}

struct FshFileTest : ::testing::Test {
    FshFileTest() {
        fsh.SetOutput(LogInto(lines));
        lines.clear();
    }

    TempDir dir;
    CFshFile fsh;
    Messages lines;
};

// A compressed archive is read as what it unpacks to; a stream that cannot
// be unpacked, or another scheme, is named on a second line.
TEST_F(FshFileTest, RejectsWhatIsNoArchiveAndNamesPackedOnes) {
    // What the file holds, and what the second line says.
    const std::tuple<const char*, std::vector<std::uint8_t>, std::string> cases[] = {
        {"lower case", Archive("shpi"), ""},
        {"unpacks to nothing", Archive("\x11\xFB"), ""},
        {"packed, cut short", {0x10, 0xFB, 0, 0, 9, 0xE0},
         "The archive is RefPack-compressed, and the compressed data ends early"},
        {"another scheme", Archive("\x46\xFB"),
         "The archive uses another compression scheme (0x46 0xFB)"},
        {"refpack flags without 0xFB", Archive("\x10\xFA"), ""},
        {"entry missing", Archive("SHPI", 3, 2), ""},
        {"negative count", Archive("SHPI", -1), ""},
        {"largest count", Archive("SHPI", 0x7FFFFFFF, 2), ""},
    };
    for (const auto& [label, bytes, second] : cases) {
        lines.clear();
        const std::string path = dir.Write("bad.fsh", bytes);
        EXPECT_FALSE(fsh.Load(path, 1)) << label;
        Messages expected = {{path + " is not a valid FSH file", 0}, {second, 0}};
        expected.resize(second.empty() ? 1 : 2);
        EXPECT_EQ(lines, expected) << label;
        // Nothing loaded: no entries, no path, mode 0.
        EXPECT_TRUE(!fsh.IsLoaded() && !fsh.GetEntry(0) && fsh.GetPath().empty() &&
                    fsh.GetMode() == 0)
            << label;
    }
}

// Archives other programs wrote, and one whose names end early at a zero,
// are not text or not unique, and whose offsets and stated size are beyond
// the file: the directory is read as stored, and it ends the file.
TEST_F(FshFileTest, ReadsTheDirectoryAsStored) {
    const FshDirectory entries = {{MakeFshTag("ABCD"), 0xFFFFFFFF}, {MakeFshTag("AB"), 0},
                                  {{'A', 0, 'C', 'D'}, 1},          {{0, 'B', 'C', 'D'}, 2},
                                  {{0xE4, 0xFF, 1, 0x7F}, 3},       {MakeFshTag("ABCD"), 4}};
    const std::string names =
        dir.Write("names.fsh", MakeFshHeader(MakeFshTag("SHPI"), 0xFFFFFFFF, 6,
                                             MakeFshTag("\xFF\x7F\x01\xE4"), entries)
                                   .Bytes());
    for (const auto& [path, expected] :
         {std::pair<std::string, std::string>{POLYPORT_TEST_DATA "/fsh/sc4_g231_pal8_0x7b.fsh",
                                              "5008 G231 mode 1: 0000@112"},
          {POLYPORT_TEST_DATA "/fsh/sc4_g264_argb8888_0x7d.fsh", "96 G264 mode 1: 28FE@32"},
          {names, "4294967295 \xFF\x7F\x01\xE4 mode 1: ABCD@4294967295 AB@0 A@1 @2 "
                  "\xE4\xFF\x01\x7F@3 ABCD@4"}}) {
        ASSERT_TRUE(fsh.Load(path, 1));
        EXPECT_EQ(Describe(fsh), expected);
    }
    EXPECT_TRUE(fsh.GetEntry(-1) == nullptr && fsh.GetEntry(6) == nullptr);
}

} // namespace
