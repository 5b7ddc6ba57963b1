#include "output/MessageOutput.h"
#include "support/ScriptedServices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class Worker final : public CMessageOutput {
protected:
    std::string OutputName() const override { return "Worker"; }
};

// Without a function every message is a message box; installing one sends
// exactly the notice, and from then on every message, to the function only.
// A null text is dropped either way.
TEST(MessageOutput, RoutesToTheFunctionOrElseToTheMessageBox) {
    Worker worker;
    ScriptedServices services;
    worker.SetServices(services);
    worker.Output("in a box", 1);
    worker.Output(static_cast<const char*>(nullptr), 0);
    std::vector<std::pair<std::string, int>> lines;
    worker.SetOutput([&](const char* text, int flag, Severity) { lines.emplace_back(text, flag); });
    worker.Output("warning", 1);
    worker.Output(static_cast<const char*>(nullptr), 1);

    EXPECT_EQ(services.boxes, std::vector<std::string>{"in a box"});
    const std::vector<std::pair<std::string, int>> expected{
        {"Output from Worker rerooted to this output", 0}, {"warning", 1}};
    EXPECT_EQ(lines, expected);
}

} // namespace
