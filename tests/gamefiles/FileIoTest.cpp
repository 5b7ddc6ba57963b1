#include "gamefiles/FileIo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(FileIo, OpensOnlyRealFilesByUtf8Path) {
    TempDir dir;
    // A folder and a file with non-ASCII characters, as modders' paths have.
    const std::string folder = dir.File("Stadion M\xC3\xBCnchen");
    std::filesystem::create_directory(
        std::filesystem::path(std::u8string(folder.begin(), folder.end())));
    const std::string path = dir.Write("Stadion M\xC3\xBCnchen/st\xC3\xA4"
                                       "dte.rav",
                                       {1, 2, 3});

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));

    EXPECT_EQ(OpenFile("", "rb"), nullptr);
    EXPECT_EQ(OpenFile(folder, "rb"), nullptr);
    EXPECT_EQ(OpenFile(dir.File("missing.rav"), "rb"), nullptr);
    EXPECT_FALSE(ReadWholeFile(dir.File("missing.rav"), bytes));
}

TEST(FileIo, WritesInPlaceWithoutTruncating) {
    TempDir dir;
    const std::string path = dir.Write("f.bin", {0, 0, 0, 0, 0, 0});
    FilePtr file = OpenFile(path, "r+b");
    ASSERT_NE(file, nullptr);
    const std::uint8_t patch[] = {7, 8};
    ASSERT_TRUE(WriteAt(file.get(), 2, patch, sizeof patch));
    // Writing past the end grows the file with zeros up to the offset.
    ASSERT_TRUE(WriteAt(file.get(), 8, patch, 1));
    ASSERT_TRUE(CloseFile(file));
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(ReadBytes(path), (std::vector<std::uint8_t>{0, 0, 7, 8, 0, 0, 0, 0, 7}));
}

// A device is never a game file; /dev/full also shows that data which never
// reached the disk is reported at close.
TEST(FileIo, RefusesDevicesAndReportsFailedFlushes) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    EXPECT_EQ(OpenFile("/dev/zero", "rb"), nullptr);
    FilePtr file(std::fopen("/dev/full", "r+b"));
    ASSERT_NE(file, nullptr);
    const std::uint8_t byte = 1;
    // Buffered: the write itself succeeds, the flush at close must not.
    EXPECT_TRUE(WriteAt(file.get(), 0, &byte, 1));
    EXPECT_FALSE(CloseFile(file));
}

} // namespace
