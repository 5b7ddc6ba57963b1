#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <tuple>

namespace {

// Usage errors and a missing display are told on the terminal, not in a
// window, as on a server or in a plain terminal.
TEST(MainAppTest, AnswersWithoutAWindow) {
    const TempDir dir;
    const std::tuple<const char*, int, const char*> cases[] = {
        {"a.rav b.fsh c", 2, "at most two paths"}, {"a.rav", 1, "no display"}};
    for (const auto& [arguments, status, says] : cases) {
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                    std::string(POLYPORT_GUI_EXE) + "' " + arguments + " > '" +
                                    dir.File("out") + "' 2>&1";
        const int raw = std::system(command.c_str());
        const std::string output = ReadText(dir.File("out"));
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status) << output;
        EXPECT_NE(output.find(says), std::string::npos) << output;
    }
}

} // namespace
