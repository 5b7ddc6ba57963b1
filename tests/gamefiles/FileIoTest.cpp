#include "gamefiles/FileIo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A buffer is reused for a file read again; nothing of its old contents may
// survive, whether the file got shorter or is empty now. /dev/full takes a
// write into the buffer and fails the flush: data that never reached the
// disk must be reported at close. (Paths and what is no file: FaultTest.)
TEST(FileIo, ReusesReadBuffersAndReportsFailedFlushes) {
    TempDir dir;
    std::vector<std::uint8_t> bytes{9, 9, 9, 9, 9};
    ASSERT_TRUE(ReadWholeFile(dir.Write("short", {1, 2}), bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2}));
    ASSERT_TRUE(ReadWholeFile(dir.Write("empty", {}), bytes));
    EXPECT_TRUE(bytes.empty());

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
