#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>
#include <sys/wait.h>

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

struct StartCase {
    const char* arguments;
    int status;
    const char* says;
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << "polyport " << c.arguments;
}

class MainAppTest : public testing::TestWithParam<StartCase> {};

TEST_P(MainAppTest, AnswersWithoutAWindow) {
    const Outcome outcome = RunWithoutDisplay(GetParam().arguments);
    EXPECT_EQ(outcome.status, GetParam().status) << outcome.output;
    EXPECT_NE(outcome.output.find(GetParam().says), std::string::npos) << outcome.output;
}

INSTANTIATE_TEST_SUITE_P(CommandLines, MainAppTest,
                         testing::Values(StartCase{"--version", 0, "Polyport 0.4"},
                                         StartCase{"--help", 0, "[RAV [FSH]]"},
                                         StartCase{"a.rav b.fsh c", 2, "at most two paths"},
                                         StartCase{"a.rav", 1, "no display"}));

} // namespace
