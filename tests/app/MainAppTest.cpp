#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <tuple>

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

// Runs the program without a display, as on a server or in a plain terminal.
Outcome RunWithoutDisplay(const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                std::string(POLYPORT_GUI_EXE) + "' " + arguments + " 2>&1";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    std::array<char, 512> chunk{};
    while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) {
        outcome.output.append(chunk.data(), n);
    }
    const int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

// Usage errors and a missing display are told on the terminal, not in a window.
TEST(MainAppTest, AnswersWithoutAWindow) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"a.rav b.fsh c", 2, "at most two paths"}, {"a.rav", 1, "no display"}};
    for (const auto& [arguments, status, says] : cases) {
        const Outcome outcome = RunWithoutDisplay(arguments);
        EXPECT_EQ(outcome.status, status) << outcome.output;
        EXPECT_NE(outcome.output.find(says), std::string::npos) << outcome.output;
    }
}

} // namespace
