#include "gamefiles/FshFile.h"
#include "gamefiles/ByteOrder.h"
#include "output/UiServices.h"
#include "support/FshBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Message {
    std::string text;
    int flag = 0;
    bool operator==(const Message&) const = default;
};

void PrintTo(const Message& message, std::ostream* out) {
    *out << '"' << message.text << "\" flag " << message.flag;
}

class RecordingServices final : public CUiServices {
public:
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    bool AskYesNo(const std::string&) override { return false; }

    std::vector<std::string> shown;
};

std::string DataFile(const std::string& name) {
    return std::string(POLYPORT_TEST_DATA) + "/fsh/" + name;
}

std::string Invalid(const std::string& path) {
    return path + " is not a valid FSH file";
}

std::string Compressed(const std::string& path) {
    return path + " is compressed (RefPack); compressed FSH archives are not supported yet - "
                  "unpack it first";
}

// An archive with `count` directory entries named "E0", "E1", ... and no
// image records; the directory ends the file.
std::vector<std::uint8_t> Archive(std::int32_t count) {
    FshBuilder builder;
    builder.Header(MakeFshTag("SHPI"), 0, count, MakeFshTag("G264"));
    for (std::int32_t i = 0; i < count; ++i) {
        builder.Entry(MakeFshTag("E" + std::to_string(i)), static_cast<std::uint32_t>(100 + i));
    }
    return builder.Bytes();
}

class FshFileTest : public ::testing::Test {
protected:
    FshFileTest() {
        fsh.SetServices(services);
        fsh.SetOutput([this](const char* text, int flag) { messages.push_back({text, flag}); });
        messages.clear();
    }

    void ExpectEmpty() const {
        EXPECT_FALSE(fsh.IsLoaded());
        EXPECT_EQ(fsh.GetEntry(0), nullptr);
        EXPECT_EQ(fsh.GetPath(), "");
        EXPECT_EQ(fsh.GetMode(), 0);
    }

    TempDir dir;
    RecordingServices services;
    CFshFile fsh;
    std::vector<Message> messages;
};

TEST_F(FshFileTest, ReadsArchivesWrittenByOtherPrograms) {
    struct Case {
        const char* file;
        std::uint32_t fileSize;
        const char* directoryId;
        const char* name;
        std::uint32_t offset;
        std::uint8_t recordId;
        std::uint16_t width;
        std::uint16_t height;
    };
    const Case cases[] = {
        {"sc4_g231_pal8_0x7b.fsh", 5008, "G231", "0000", 112, 0x7B, 64, 64},
        {"sc4_g264_argb8888_0x7d.fsh", 96, "G264", "28FE", 32, 0x7D, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = DataFile(c.file);
        ASSERT_TRUE(fsh.Load(path, 1));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(fsh.GetPath(), path);
        EXPECT_EQ(fsh.GetMode(), 1);
        EXPECT_EQ(fsh.header.fileSize, c.fileSize);
        EXPECT_EQ(std::string(fsh.header.directoryId.data(), 4), c.directoryId);
        ASSERT_EQ(fsh.header.entryCount, 1);
        const FshEntry* entry = fsh.GetEntry(0);
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name.data(), c.name);
        EXPECT_EQ(entry->offset, c.offset);
        EXPECT_EQ(fsh.GetEntry(1), nullptr);

        // The image sizes are read from the file at the stored offset.
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        const CLeReader in(bytes);
        EXPECT_EQ(in.Size(), c.fileSize);
        EXPECT_EQ(in.U8(entry->offset), c.recordId);
        EXPECT_EQ(in.U16(entry->offset + 4), c.width);
        EXPECT_EQ(in.U16(entry->offset + 6), c.height);
    }
}

// The fixture builder must lay out what other programs write, or tests built
// with it prove nothing about real archives.
TEST_F(FshFileTest, ComposedArchiveMatchesARealOne) {
    const std::vector<std::uint8_t> real = ReadBytes(DataFile("sc4_g264_argb8888_0x7d.fsh"));
    FshImage image =
        MakeFshImage32(2, 2, {0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF});
    image.blockSize = 32; // the real record is followed by a name attachment
    const std::vector<std::uint8_t> built =
        MakeFshArchive({{MakeFshTag("28FE"), image}}, MakeFshTag("G264"));

    ASSERT_EQ(built.size(), 64u);
    EXPECT_EQ(CLeReader(built).U32(4), 64u);
    const auto same = [&](std::size_t from, std::size_t to) {
        return std::equal(built.begin() + from, built.begin() + to, real.begin() + from);
    };
    EXPECT_TRUE(same(0, 4));   // magic
    EXPECT_TRUE(same(8, 24));  // count, directory id, directory
    EXPECT_TRUE(same(32, 64)); // image record

    ASSERT_TRUE(fsh.Load(dir.Write("built.fsh", built), 1));
    EXPECT_STREQ(fsh.GetEntry(0)->name.data(), "28FE");
    EXPECT_EQ(fsh.GetEntry(0)->offset, 32u);
}

TEST_F(FshFileTest, RejectsFilesThatAreNoArchive) {
    const std::vector<std::uint8_t> header = Archive(0);
    auto withStart = [&](std::vector<std::uint8_t> start) {
        std::vector<std::uint8_t> bytes = header;
        std::copy(start.begin(), start.end(), bytes.begin());
        return bytes;
    };
    struct Case {
        const char* label;
        std::vector<std::uint8_t> bytes;
        bool compressed;
    };
    const Case cases[] = {
        {"lower case", withStart({'s', 'h', 'p', 'i'}), false},
        {"mixed case", withStart({'S', 'H', 'p', 'I'}), false},
        {"fourth byte differs", withStart({'S', 'H', 'P', 'X'}), false},
        {"fourth byte zero", withStart({'S', 'H', 'P', 0}), false},
        {"empty file", {}, false},
        {"three magic bytes only", {'S', 'H', 'P'}, false},
        {"refpack 0x10", withStart({0x10, 0xFB, 0x00, 0x10}), true},
        {"refpack 0x11", withStart({0x11, 0xFB, 0x00, 0x10}), true},
        {"refpack 0x90", withStart({0x90, 0xFB, 0x00, 0x00}), true},
        {"refpack 0x91", withStart({0x91, 0xFB, 0x00, 0x00}), true},
        {"refpack flags, no signature", withStart({0x10, 0xFA, 0x00, 0x10}), false},
        {"signature, unknown flags", withStart({0x12, 0xFB, 0x00, 0x10}), false},
        {"refpack signature only", {0x10, 0xFB}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        messages.clear();
        const std::string path = dir.Write("bad.fsh", c.bytes);
        EXPECT_FALSE(fsh.Load(path, 1));
        std::vector<Message> expected = {{Invalid(path), 0}};
        if (c.compressed) {
            expected.push_back({Compressed(path), 0});
        }
        EXPECT_EQ(messages, expected);
        ExpectEmpty();
    }
}

TEST_F(FshFileTest, RejectsACountWhoseDirectoryDoesNotFit) {
    struct Case {
        const char* label;
        std::int32_t count;
        std::size_t entriesWritten;
        std::size_t cut; // bytes removed from the end
        bool accepted;
    };
    const Case cases[] = {
        {"no entries", 0, 0, 0, true},
        {"directory ends the file", 3, 3, 0, true},
        {"last entry one byte short", 3, 3, 1, false},
        {"one entry missing", 3, 2, 0, false},
        {"header cut short", 0, 0, 1, false},
        {"negative", -1, 0, 0, false},
        {"most negative", std::numeric_limits<std::int32_t>::min(), 0, 0, false},
        {"largest", std::numeric_limits<std::int32_t>::max(), 2, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        messages.clear();
        FshBuilder builder;
        builder.Header(MakeFshTag("SHPI"), 0, c.count, MakeFshTag("G264"));
        for (std::size_t i = 0; i < c.entriesWritten; ++i) {
            builder.Entry(MakeFshTag("ABCD"), 16);
        }
        builder.Truncate(builder.Size() - c.cut);
        const std::string path = dir.Write("count.fsh", builder.Bytes());

        EXPECT_EQ(fsh.Load(path, 1), c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(fsh.header.entryCount, c.count);
            EXPECT_EQ(fsh.GetEntry(c.count), nullptr);
        } else {
            EXPECT_EQ(messages, (std::vector<Message>{{Invalid(path), 0}}));
            ExpectEmpty();
        }
    }
}

TEST_F(FshFileTest, KeepsTheHeaderAsReadWhenRejected) {
    const std::string badMagic = dir.Write(
        "magic.fsh", FshBuilder().Header(MakeFshTag("shpi"), 1234, 3, MakeFshTag("G231")).Bytes());
    const std::string badCount = dir.Write(
        "count.fsh", FshBuilder().Header(MakeFshTag("SHPI"), 99, -5, MakeFshTag("G264")).Bytes());

    EXPECT_FALSE(fsh.Load(badMagic, 1));
    EXPECT_EQ(std::string(fsh.header.magic.data(), 4), "shpi");
    EXPECT_EQ(fsh.header.fileSize, 1234u);
    EXPECT_EQ(fsh.header.entryCount, 3);
    EXPECT_EQ(std::string(fsh.header.directoryId.data(), 4), "G231");

    EXPECT_FALSE(fsh.Load(badCount, 1));
    EXPECT_EQ(fsh.header.fileSize, 99u);
    EXPECT_EQ(fsh.header.entryCount, -5);
}

TEST_F(FshFileTest, ReadsNamesAndHeaderFieldsAsStored) {
    struct Case {
        FshTag raw;
        const char* name;
        std::uint32_t offset;
    };
    const Case cases[] = {
        {MakeFshTag("ABCD"), "ABCD", 0x40},
        {MakeFshTag("AB"), "AB", 0x80},
        {{'A', 0, 'C', 'D'}, "A", 0},
        {{0, 'B', 'C', 'D'}, "", 0xFFFFFFFF},
        {{0xE4, 0xFF, 0x01, 0x7F}, "\xE4\xFF\x01\x7F", 12},
        {MakeFshTag("ABCD"), "ABCD", 0x40}, // names need not be unique
    };
    // The stated size and the directory id are kept as read and never checked.
    const FshTag directoryId{0xFF, 0, 0xFF, 0};
    FshBuilder builder;
    builder.Header(MakeFshTag("SHPI"), 0xFFFFFFFF, static_cast<std::int32_t>(std::size(cases)),
                   directoryId);
    for (const Case& c : cases) {
        builder.Entry(c.raw, c.offset);
    }
    const std::string path = dir.Write("names.fsh", builder.Bytes());

    ASSERT_TRUE(fsh.Load(path, 1));
    EXPECT_EQ(fsh.header.fileSize, 0xFFFFFFFFu);
    EXPECT_EQ(0, std::memcmp(fsh.header.directoryId.data(), directoryId.data(), 4));
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(std::size(cases)); ++i) {
        SCOPED_TRACE(i);
        const FshEntry* entry = fsh.GetEntry(i);
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name.data(), cases[i].name);
        EXPECT_EQ(entry->name[4], '\0');
        EXPECT_EQ(entry->offset, cases[i].offset);
    }
}

TEST_F(FshFileTest, GetEntryIsNullOutsideTheDirectory) {
    EXPECT_EQ(fsh.GetEntry(0), nullptr); // nothing loaded yet

    ASSERT_TRUE(fsh.Load(dir.Write("three.fsh", Archive(3)), 1));
    const std::int32_t outside[] = {-1, 3, 4, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max()};
    for (const std::int32_t index : outside) {
        EXPECT_EQ(fsh.GetEntry(index), nullptr) << index;
    }
    for (std::int32_t index = 0; index < 3; ++index) {
        const FshEntry* entry = fsh.GetEntry(index);
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name.data(), ("E" + std::to_string(index)).c_str());
        EXPECT_EQ(entry->offset, 100u + static_cast<std::uint32_t>(index));
    }

    fsh.Free();
    ExpectEmpty();
    EXPECT_EQ(fsh.header.entryCount, 0);
}

TEST_F(FshFileTest, ASecondLoadReplacesTheFirst) {
    const std::string three = dir.Write("three.fsh", Archive(3));
    const std::string one = dir.Write("one.fsh", Archive(1));
    const std::string missing = dir.File("missing.fsh");

    ASSERT_TRUE(fsh.Load(three, 1));
    ASSERT_TRUE(fsh.Load(one, 2));
    EXPECT_EQ(fsh.header.entryCount, 1);
    EXPECT_EQ(fsh.GetEntry(1), nullptr);
    EXPECT_EQ(fsh.GetPath(), one);
    EXPECT_EQ(fsh.GetMode(), 2);
    EXPECT_TRUE(messages.empty());

    // The old directory is gone before the open fails.
    EXPECT_FALSE(fsh.Load(missing, 1));
    EXPECT_EQ(messages, (std::vector<Message>{{"Can't open " + missing + " for reading", 0}}));
    ExpectEmpty();
    EXPECT_EQ(fsh.header.entryCount, 0);
    EXPECT_EQ(fsh.header.magic, (std::array<char, 4>{}));
}

TEST_F(FshFileTest, ZeroModeOrEmptyPathChangesNothing) {
    const std::string path = dir.Write("three.fsh", Archive(3));
    ASSERT_TRUE(fsh.Load(path, 1));

    EXPECT_FALSE(fsh.Load(path, 0));
    EXPECT_FALSE(fsh.Load("", 1));
    EXPECT_FALSE(fsh.Load(dir.File("missing.fsh"), 0));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(fsh.IsLoaded());
    EXPECT_EQ(fsh.GetPath(), path);
    EXPECT_EQ(fsh.GetMode(), 1);
    EXPECT_EQ(fsh.header.entryCount, 3);
    EXPECT_NE(fsh.GetEntry(2), nullptr);
}

TEST(FshFileOutput, AnnouncesTheNewOutputOnce) {
    CFshFile fsh;
    std::vector<Message> messages;
    fsh.SetOutput([&](const char* text, int flag) { messages.push_back({text, flag}); });
    EXPECT_EQ(messages, (std::vector<Message>{{"Output from FSHfile rerooted to this output", 0}}));
}

TEST(FshFileOutput, WithoutAnOutputMessagesAreShownAsMessageBoxes) {
    TempDir dir;
    RecordingServices services;
    CFshFile fsh;
    fsh.SetServices(services);
    const std::string missing = dir.File("missing.fsh");
    const std::string packed = dir.Write("packed.fsh", {0x10, 0xFB, 0x00, 0x00, 0x20});

    EXPECT_FALSE(fsh.Load(missing, 1));
    EXPECT_FALSE(fsh.Load(packed, 1));
    EXPECT_EQ(services.shown, (std::vector<std::string>{"Can't open " + missing + " for reading",
                                                        Invalid(packed), Compressed(packed)}));
}

} // namespace
