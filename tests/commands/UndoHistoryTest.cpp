#include "commands/UndoHistory.h"
#include "gamefiles/RavTestSupport.h"

#include <filesystem>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Three commands wrote a file (a -> b -> c -> d); undo and redo walk it
// back and forth byte for byte, refuse a file changed behind their back,
// and a new command drops the redo steps.
TEST(UndoHistory, WalksBackAndForthAndRefusesChangedFiles) {
    TempDir dir;
    const Bytes states[] = {{1, 2, 3}, {1, 9, 3}, {1, 9, 3, 4}, {7}};
    const std::string path = dir.Write("scene.rav", states[3]);
    CUndoHistory history;
    Messages log;
    history.SetOutput(LogInto(log));
    log.clear();
    for (int i = 0; i < 3; ++i) {
        history.Record("Execute", path, states[i], states[i + 1]);
    }
    EXPECT_TRUE(history.Undo() && history.Undo());
    EXPECT_EQ(ReadBytes(path), states[1]);
    EXPECT_TRUE(history.Redo());
    EXPECT_EQ(ReadBytes(path), states[2]);
    dir.Write("scene.rav", {1, 9, 3, 5});
    EXPECT_FALSE(history.Undo());
    EXPECT_FALSE(history.Redo());
    dir.Write("scene.rav", states[2]);
    EXPECT_TRUE(history.Redo() && history.Undo() && history.Undo() && history.Undo());
    EXPECT_EQ(ReadBytes(path), states[0]);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.Redo());
    history.Record("Shader", path, states[1], states[3]);
    EXPECT_FALSE(history.CanRedo());
    const std::string at = path.c_str();
    EXPECT_EQ(log, (Messages{{"Undone: Execute on " + at, 0}, {"Undone: Execute on " + at, 0},
                             {"Redone: Execute on " + at, 0},
                             {"Error! " + at + " has changed since the last command. Nothing undone", 1},
                             {"Error! " + at + " has changed since the last command. Nothing redone", 1},
                             {"Redone: Execute on " + at, 0}, {"Undone: Execute on " + at, 0},
                             {"Undone: Execute on " + at, 0}, {"Undone: Execute on " + at, 0},
                             {"Redone: Execute on " + at, 0}}));
}

// A file with a second name is written in place, as a save writes it, so
// both names still show one file.
TEST(UndoHistory, KeepsAHardLinkedFileOneFile) {
    TempDir dir;
    const std::string path = dir.Write("scene.rav", {1, 9, 3});
    std::filesystem::create_hard_link(path, dir.File("copy.rav"));
    CUndoHistory history;
    history.SetOutput([](const char*, int, Severity) {});
    history.Record("Execute", path, Bytes{1, 2, 3}, Bytes{1, 9, 3});
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(ReadBytes(dir.File("copy.rav")), (Bytes{1, 2, 3}));
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(ReadBytes(dir.File("copy.rav")), (Bytes{1, 9, 3}));
}

// The oldest steps go beyond the step count or the byte budget; a file
// larger than the whole budget is not kept, which the log says once.
TEST(UndoHistory, KeepsWithinItsLimits) {
    TempDir dir;
    const std::string path = dir.Write("scene.rav", {0});
    CUndoHistory history;
    Messages log;
    history.SetOutput(LogInto(log));
    log.clear();
    history.SetLimits({.steps = 3, .bytes = 10});
    for (std::uint8_t i = 0; i < 5; ++i) {
        history.Record("Normalize", path, Bytes(2, i), Bytes(2, std::uint8_t(i + 1)));
    }
    dir.Write("scene.rav", Bytes(2, 5));
    int undone = 0;
    while (history.Undo()) {
        ++undone;
    }
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(ReadBytes(path), Bytes(2, 2));
    history.Record("Shader", path, Bytes(6, 0), Bytes(2, 2)); // with the redo steps gone
    history.Record("Shader", path, Bytes(6, 1), Bytes(2, 2)); // drops the first
    history.Record("Shader", path, Bytes(11, 0), Bytes(2, 2));
    history.Record("Shader", path, Bytes(11, 0), Bytes(2, 2));
    EXPECT_EQ(log.size(), 3u + 1u);
    EXPECT_EQ(log.back().first, path + " is too large to keep for undo: commands on it cannot be "
                                       "taken back");
    EXPECT_TRUE(history.Undo());
    EXPECT_EQ(ReadBytes(path), Bytes(6, 1));
    EXPECT_FALSE(history.CanUndo());
}

} // namespace
