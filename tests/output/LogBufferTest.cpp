#include "output/LogBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Line(char c, std::size_t length) {
    return std::string(length, c);
}

// Lines are separated by CR LF only between messages. Above the limit the
// oldest whole lines go: the remainder is measured from the LF of a
// separator, the new message is counted a second time, and the test is "at
// most"; when nothing fits, the whole log goes, the message with it.
TEST(LogBuffer, KeepsTheNewestWholeLinesWithinTheLimit) {
    const std::string a = Line('a', 12284); // 12284 + 2 + 2 = 12288, the limit
    const struct {
        const char* what;
        std::vector<std::string> before;
        std::string message, expected;
    } cases[] = {
        {"empty messages", {"first", "second"}, "", "first\r\nsecond\r\n"},
        {"exactly at the limit", {a}, "zz", a + "\r\nzz"},
        {"one over the limit", {a}, "zzz", "zzz"},
        // 1 + 4285 + 2 + 4000, plus 4000, is exactly the limit.
        {"remainder at the limit",
         {Line('x', 4000), Line('h', 4285)},
         Line('m', 4000),
         Line('h', 4285) + "\r\n" + Line('m', 4000)},
        {"remainder one over",
         {Line('x', 4000), Line('h', 4286)},
         Line('m', 4000),
         Line('m', 4000)},
        // After "c" 6201 + 6200 is still too much.
        {"message counted twice", {Line('b', 6000), Line('c', 3000)}, Line('e', 6200), ""},
        {"overlong message", {}, Line('f', 12289), ""},
    };
    for (const auto& c : cases) {
        CLogBuffer log;
        std::vector<std::string> shown;
        log.SetView([&](const std::string& text) { shown.push_back(text); });
        for (const std::string& line : c.before) {
            log.Append(line.c_str());
        }
        log.Append(c.message.c_str());
        EXPECT_EQ(log.Text(), c.expected) << c.what;
        EXPECT_EQ(shown.back(), c.expected) << c.what;
    }
}

} // namespace
