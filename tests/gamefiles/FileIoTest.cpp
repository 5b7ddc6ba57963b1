#include "gamefiles/FileIo.h"

#include "support/InChild.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

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

#ifndef _WIN32
namespace fs = std::filesystem;

// The permission bits of `path`.
fs::perms Perms(const std::string& path) {
    return fs::status(path).permissions() & fs::perms::mask;
}

// A whole-file write replaces what the path names only once everything is
// on disk: the new file gets what a plain create gives, a replaced one keeps
// its bits, a link keeps pointing where it did, and a name the folder cannot
// hold or a target that is no file is refused before anything is written.
TEST(FileIo, WholeFileWriterReplacesOnlyWhenComplete) {
    TempDir dir;
    const std::vector<std::uint8_t> bytes{'n', 'e', 'w'};
    const mode_t mask = ::umask(022);
    EXPECT_EQ(WriteWholeFile(dir.File("new.txt"), bytes), CWholeFileWriter::Failure::None);
    ::umask(mask);
    EXPECT_EQ(Perms(dir.File("new.txt")), fs::perms(0644));

    const std::string old = dir.WriteText("old.txt", "old");
    fs::permissions(old, fs::perms(0751));
    fs::create_symlink("old.txt", dir.Path() / "link.txt");
    EXPECT_EQ(WriteWholeFile(dir.File("link.txt"), bytes), CWholeFileWriter::Failure::None);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.txt"));
    EXPECT_EQ(ReadBytes(old), bytes);
    EXPECT_EQ(Perms(old), fs::perms(0751));

    EXPECT_EQ(WriteWholeFile(dir.File(std::string(255, 'n')), bytes),
              CWholeFileWriter::Failure::None);
    fs::create_directory(dir.Path() / "folder");
    for (const std::string& refused :
         {dir.File(std::string(256, 'n')), dir.File("folder"), std::string("/dev/null"),
          dir.File("old.txt/x"), std::string()}) {
        EXPECT_EQ(WriteWholeFile(refused, bytes), CWholeFileWriter::Failure::Open) << refused;
    }

    // Cut off after a few bytes by a file-size limit: the old file stays.
    const std::vector<std::uint8_t> large(4096, 'x');
    EXPECT_TRUE(InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        return WriteWholeFile(old, large) == CWholeFileWriter::Failure::Write;
    }));
    EXPECT_EQ(ReadBytes(old), bytes);
    std::size_t left = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        left += entry.path().filename().string().starts_with(".polyport-") ? 1 : 0;
    }
    EXPECT_EQ(left, 0U);
}
#endif

} // namespace
