#include "output/LogBuffer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

std::string Line(char c, std::size_t length) {
    return std::string(length, c);
}

TEST(LogBuffer, SeparatesLinesWithCrLfOnlyBetweenMessages) {
    CLogBuffer log;
    log.Append("first");
    EXPECT_EQ(log.Text(), "first");
    log.Append("second");
    log.Append("");
    log.Append(nullptr);
    EXPECT_EQ(log.Text(), "first\r\nsecond\r\n");
}

// Each case: the lines already in the log, the new message, and what the
// log must hold afterwards.
struct TrimCase {
    const char* name;
    std::vector<std::string> before;
    std::string message;
    std::string expected;
    friend void PrintTo(const TrimCase& c, std::ostream* os) { *os << c.name; }
};

class LogTrimming : public testing::TestWithParam<TrimCase> {};

TEST_P(LogTrimming, KeepsTheNewestWholeLines) {
    const TrimCase& c = GetParam();
    CLogBuffer log;
    for (const std::string& line : c.before) {
        log.Append(line.c_str());
    }
    log.Append(c.message.c_str());
    EXPECT_EQ(log.Text(), c.expected);
    EXPECT_LE(log.Text().size(), CLogBuffer::kLimit);
}

// 12288 = 12284 + 2 + 2: a log that lands exactly on the limit stays whole.
const std::string kA = Line('a', 12284);
// The remainder after a separator begins with its LF and ends with the new
// message, which the test counts a second time.
const std::string kB = Line('b', 6000);
const std::string kC = Line('c', 3000);

INSTANTIATE_TEST_SUITE_P(
    Cases, LogTrimming,
    testing::Values(
        TrimCase{"exactly_at_limit", {kA}, "zz", kA + "\r\nzz"},
        TrimCase{"one_over_limit_drops_first_line", {kA}, "zzz", "zzz"},
        // b + c + 4 CR LF: remainder after the first separator is
        // 1 + 3000 + 2 + 3289 = 6292, plus 3289 = 9581 <= 12288: drop "b".
        TrimCase{"drops_fewest_lines", {kB, kC}, Line('d', 3289), kC + "\r\n" + Line('d', 3289)},
        // A message of 6200: after "b" the remainder 1+3000+2+6200 plus 6200
        // is 15403, too much; after "c" it is 6201 + 6200 = 12401, still too
        // much: nothing fits and the whole log goes, the message with it.
        TrimCase{"message_counted_twice_empties_log", {kB, kC}, Line('e', 6200), ""},
        // The remainder is measured from the LF of the separator and the
        // test is "at most": 1 + 4285 + 2 + 4000, plus 4000, is exactly the
        // limit, so only the first line goes; one more and "h" goes too.
        TrimCase{"remainder_exactly_at_limit",
                 {Line('x', 4000), Line('h', 4285)},
                 Line('m', 4000),
                 Line('h', 4285) + "\r\n" + Line('m', 4000)},
        TrimCase{"remainder_one_over_limit",
                 {Line('x', 4000), Line('h', 4286)},
                 Line('m', 4000),
                 Line('m', 4000)},
        TrimCase{"single_overlong_line_empties_log", {}, Line('f', 12289), ""},
        TrimCase{"overlong_message_after_lines", {"x", "y"}, Line('g', 20000), ""}),
    [](const testing::TestParamInfo<TrimCase>& info) { return std::string(info.param.name); });

TEST(LogBuffer, ShowsEveryChangeInTheAttachedView) {
    CLogBuffer log;
    log.Append("before the view");
    std::vector<std::string> shown;
    log.SetView([&](const std::string& text) { shown.push_back(text); });
    log.Append("next");
    log.Clear();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "before the view");
    EXPECT_EQ(shown[1], "before the view\r\nnext");
    EXPECT_EQ(shown[2], "");
}

TEST(LogBuffer, AppendLogWritesToTheProcessLogAndIgnoresTheFlag) {
    ClearLog();
    AppendLog("one", 1);
    AppendLog("two", 0);
    EXPECT_EQ(TheLog().Text(), "one\r\ntwo");
    ClearLog();
    EXPECT_EQ(TheLog().Text(), "");
}

} // namespace
