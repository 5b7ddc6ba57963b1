#include "gamefiles/FileIo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Modders' paths hold non-ASCII characters. A folder or a device is never a
// game file. /dev/full takes a write into the buffer and fails the flush:
// data that never reached the disk must be reported at close.
TEST(FileIo, OpensRegularFilesByUtf8PathAndReportsFailedFlushes) {
    TempDir dir;
    const std::string folder = dir.File("Stadion M\xC3\xBCnchen");
    std::filesystem::create_directory(
        std::filesystem::path(std::u8string(folder.begin(), folder.end())));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(
        ReadWholeFile(dir.Write("Stadion M\xC3\xBCnchen/St\xC3\xA4tte.rav", {1, 2}), bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2}));
    // A buffer is reused for a file read again; nothing of its old contents
    // may survive, whether the file got shorter or is empty now.
    bytes = {9, 9, 9, 9, 9};
    ASSERT_TRUE(ReadWholeFile(dir.Write("short", {1, 2}), bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2}));
    ASSERT_TRUE(ReadWholeFile(dir.Write("empty", {}), bytes));
    EXPECT_TRUE(bytes.empty());
    for (const std::string& path :
         {std::string(), folder, dir.File("missing"), std::string("/dev/zero")}) {
        EXPECT_EQ(OpenFile(path, "rb"), nullptr) << path;
    }

    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    FilePtr file(std::fopen("/dev/full", "r+b"));
    ASSERT_NE(file, nullptr);
    const std::uint8_t byte = 1;
    EXPECT_TRUE(WriteAt(file.get(), 0, &byte, 1));
    EXPECT_FALSE(CloseFile(file));
}

} // namespace
