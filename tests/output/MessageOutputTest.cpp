#include "output/MessageOutput.h"
#include "output/UiServices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class RecordingServices final : public CUiServices {
public:
    void ShowMessage(const std::string& text) override { boxes.push_back(text); }
    bool AskYesNo(const std::string&) override { return false; }
    std::vector<std::string> boxes;
};

class Worker final : public CMessageOutput {
protected:
    std::string OutputName() const override { return "Worker"; }
};

using Lines = std::vector<std::pair<std::string, int>>;

TEST(MessageOutput, SetOutputSendsExactlyTheNoticeToTheNewFunction) {
    Worker worker;
    RecordingServices services;
    worker.SetServices(services);
    Lines lines;
    worker.SetOutput([&](const char* text, int flag) { lines.emplace_back(text, flag); });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              std::make_pair(std::string("Output from Worker rerooted to this output"), 0));
    EXPECT_TRUE(services.boxes.empty());

    worker.Output("warning", 1);
    worker.Output(static_cast<const char*>(nullptr), 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], std::make_pair(std::string("warning"), 1));
}

TEST(MessageOutput, FallsBackToTheMessageBoxWithoutAFunction) {
    Worker worker;
    RecordingServices services;
    worker.SetServices(services);
    worker.Output("shown in a box", 1);
    worker.Output(static_cast<const char*>(nullptr), 0);
    // Removing the function announces the change in a box as well.
    worker.SetOutput(nullptr);
    ASSERT_EQ(services.boxes.size(), 2u);
    EXPECT_EQ(services.boxes[0], "shown in a box");
    EXPECT_EQ(services.boxes[1], "Output from Worker rerooted to this output");
}

} // namespace
