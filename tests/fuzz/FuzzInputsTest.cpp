#include "FuzzReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// The inputs a fuzz target once failed on and the seed corpora, each fed to
// its reader exactly as the target feeds it, from folders named after the
// reader. A file may be read or refused, but a refusal must say why and a
// model that was read must save; under the sanitizers a crash, a leak or a
// bad access fails the test as well.
TEST(FuzzInputsTest, EveryInputIsReadOrRefusedCleanly) {
    for (const fs::path& root :
         {fs::path(POLYPORT_TEST_DATA) / "malformed", fs::path(POLYPORT_FUZZ_CORPUS)}) {
        std::size_t files = 0;
        for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
            if (!folder.is_directory()) {
                continue;
            }
            const std::string key = folder.path().filename().string();
            ASSERT_TRUE(IsFuzzKey(key)) << folder.path();
            for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
                const TempDir scratch;
                EXPECT_TRUE(FeedReader(key, ReadBytes(file.path().string()), scratch.Path()))
                    << file.path();
                ++files;
            }
        }
        EXPECT_GT(files, 0U) << root;
    }
}

} // namespace
