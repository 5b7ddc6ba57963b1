#include "output/LogBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Line(char c, std::size_t length) {
    return std::string(length, c);
}

// Lines are separated by CR LF only between messages. Above the limit the
// oldest whole lines go; when nothing fits, the whole log goes, the message
// with it.
TEST(LogBuffer, KeepsTheNewestWholeLinesWithinTheLimit) {
    const std::string a = Line('a', 12284); // with two separators, the limit
    const struct {
        const char* what;
        std::vector<std::string> before;
        std::string message, expected;
    } cases[] = {
        {"empty messages", {"first", "second"}, "", "first\r\nsecond\r\n"},
        {"exactly at the limit", {a}, "zz", a + "\r\nzz"},
        {"one over the limit", {a}, "zzz", "zzz"},
        {"the oldest line goes",
         {Line('x', 4000), Line('h', 4285)},
         Line('m', 4000),
         Line('h', 4285) + "\r\n" + Line('m', 4000)},
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
