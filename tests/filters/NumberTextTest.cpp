#include "filters/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// The reference is glibc in the "C" locale, scanf's quirks included.
class NumberText : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef __GLIBC__
        GTEST_SKIP() << "the reference behaviour is glibc's";
#endif
        std::setlocale(LC_ALL, "C");
    }
};

// One line per reader: characters taken and the exact bits read.
std::string Summary(std::size_t floatChars, float f, double d, long l, std::size_t intChars, int i,
                    unsigned long h) {
    char line[160];
    std::snprintf(
        line, sizeof line, "%%f %zu %08x | strtod %016llx | strtol %ld | %%d %zu %d | %lx",
        floatChars, std::bit_cast<std::uint32_t>(f),
        static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(d)), l, intChars, i, h);
    return line;
}

void ExpectSameReading(const std::string& text) {
    const char* s = text.c_str();
    float f = -42.0f; // scanf leaves it alone on failure, and so must we
    int i = -42;
    int floatChars = 0;
    int intChars = 0;
    const bool gotFloat = std::sscanf(s, "%f%n", &f, &floatChars) == 1;
    const bool gotInt = std::sscanf(s, "%d%n", &i, &intChars) == 1;
    const std::string theirs =
        Summary(gotFloat ? floatChars : 0, f, std::strtod(s, nullptr), std::strtol(s, nullptr, 10),
                gotInt ? intChars : 0, i, std::strtoul(s, nullptr, 16));
    float ourF = -42.0f;
    std::int32_t ourI = -42;
    const std::size_t ourFloatChars = ScanFloat(s, ourF);
    const std::size_t ourIntChars = ScanInt(s, ourI);
    ASSERT_EQ(Summary(ourFloatChars, ourF, ParseDouble(s), ParseInteger(s), ourIntChars, ourI,
                      ParseHex(s)),
              theirs)
        << "input [" << text << "]";
}

TEST_F(NumberText, AppendFixedMatchesPrintf) {
    std::vector<double> values{-0.0, INFINITY, -NAN, 2.5, 5e-324, -1.7976931348623157e308};
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(-2.0, 2.0);
    for (int n = 0; n < 400; ++n) {
        values.push_back(std::bit_cast<double>(random()));
        values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
        // Every binary digit in use, at the sizes of coordinates and below.
        const double everyday = std::ldexp(unit(random), static_cast<int>(random() % 60) - 40);
        values.push_back(everyday);
        values.push_back(static_cast<float>(everyday));
        // Few binary digits make exact ties at some decimal count.
        values.push_back(std::ldexp(static_cast<double>(random() % 2001) - 1000.0,
                                    -static_cast<int>(random() % 24)));
    }
    char expected[400];
    for (const double value : values) {
        for (int decimals = -1; decimals <= 34; ++decimals) { // beyond 0..32 as well
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            std::string out = "<";
            AppendFixed(out, value, decimals);
            ASSERT_EQ(out, "<" + std::string(expected))
                << std::hexfloat << value << " with " << decimals;
        }
    }
}

// Where scanf reads more or less than strtod takes, saturation, rounding;
// then random text, and numbers printed at and around rounding ties.
TEST_F(NumberText, ReadersMatchCLibrary) {
    // Longer than the random texts below.
    for (const char* text : {"nan(99999999999999999999999)", "-99999999999999999999.5",
                             "3.4028235677973366e38", "7.00649232162408535e-46", "1e-99999999999",
                             "0x1.000001p0", "-Infinity", "infinitx", " \t\n\v\f\r7"}) {
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(text));
    }
    static const char kAlphabet[] = "0123456789+-.eExXpPaAfFnNiItTyY() \t,";
    std::mt19937_64 random(7);
    std::string text;
    for (int n = 0; n < 20000; ++n) {
        text.clear();
        for (std::size_t length = random() % 12; length > 0; --length) {
            text += kAlphabet[random() % (sizeof kAlphabet - 1)];
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(text));
    }
    random.seed(11);
    char number[1200];
    for (int n = 0; n < 1000; ++n) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        const double d = std::bit_cast<double>(random());
        // Exactly halfway between neighbours, where the rounding is decided.
        const double floatTie = (static_cast<double>(f) + std::nextafter(f, INFINITY)) / 2;
        const long double doubleTie =
            (static_cast<long double>(d) + std::nextafter(d, INFINITY)) / 2;
        // Plain decimals as the exports write them, and float midpoints of
        // everyday sizes written out in full, each rounded to even.
        std::snprintf(number, sizeof number, "%.*f", static_cast<int>(random() % 41), f);
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(number));
        const float everyday = std::ldexp(static_cast<float>(random() % (1 << 24)),
                                          static_cast<int>(random() % 50) - 40);
        const double midpoint =
            (static_cast<double>(everyday) + std::nextafter(everyday, INFINITY)) / 2;
        std::snprintf(number, sizeof number, "%.60f", midpoint);
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(number));
        // Its first 19 digits and its shortest decimal lie beside it, but a
        // division in long double or double may round onto it.
        std::string cut = number;
        const std::size_t lead = cut.find_first_of("123456789");
        cut.resize(std::min(cut.size(), lead + 19 + (cut.find('.') > lead ? 1 : 0)));
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(cut));
        *std::to_chars(number, number + sizeof number - 1, midpoint, std::chars_format::fixed).ptr =
            '\0';
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(number));
        std::snprintf(number, sizeof number, "%.*e", static_cast<int>(random() % 25), d);
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(number));
        std::snprintf(number, sizeof number, "%a", random() % 2 ? d : floatTie);
        ASSERT_NO_FATAL_FAILURE(ExpectSameReading(number));
        for (const bool floatOne : {true, false}) {
            if (floatOne) {
                std::snprintf(number, sizeof number, "%.160e", floatTie);
            } else {
                std::snprintf(number, sizeof number, "%.800Le", doubleTie);
            }
            std::string tie = number;
            ASSERT_NO_FATAL_FAILURE(ExpectSameReading(tie));
            // A digit hundreds of places down tips the tie upwards.
            if (const auto e = tie.find('e'); e != std::string::npos) {
                tie.insert(e, std::string(random() % 300, '0') + "1");
                ASSERT_NO_FATAL_FAILURE(ExpectSameReading(tie));
            }
        }
    }
}

} // namespace
