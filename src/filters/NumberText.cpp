#include "filters/NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>
#include <type_traits>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A table: colour values mix digits and letters at random, on which tests
// would mispredict.
constexpr auto kHexDigits = [] {
    std::array<std::int8_t, 256> digits{};
    for (int c = 0; c < 256; ++c) {
        digits[static_cast<std::size_t>(c)] =
            static_cast<std::int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                     : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                     : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1);
    }
    return digits;
}();

int HexDigit(char c) {
    return kHexDigits[static_cast<unsigned char>(c)];
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) {
        ++p;
    }
    return p;
}

// The character at `p`, reading `limit` (nullptr: none) as the end of the
// text. scanf converts only the characters it accepted, so its conversion
// must not look past them; every scan below advances one character at a time
// and stops at '\0', so it never reads beyond the limit or the terminator.
char At(const char* p, const char* limit) {
    return p == limit ? '\0' : *p;
}

// Whether the text at `p` starts with the lower-case `word`, in any case.
bool StartsWithWord(const char* p, const char* limit, const char* word) {
    for (; *word != '\0'; ++word, ++p) {
        if (Lower(At(p, limit)) != *word) {
            return false;
        }
    }
    return true;
}

template <typename T> struct FloatBits;
template <> struct FloatBits<float> {
    using Uint = std::uint32_t;
    static constexpr Uint kSign = 0x80000000u;
    static constexpr Uint kQuietNan = 0x7fc00000u;
    static constexpr Uint kPayload = 0x003fffffu;
};
template <> struct FloatBits<double> {
    using Uint = std::uint64_t;
    static constexpr Uint kSign = 0x8000000000000000u;
    static constexpr Uint kQuietNan = 0x7ff8000000000000u;
    static constexpr Uint kPayload = 0x0007ffffffffffffu;
};

bool IsNanChar(char c) {
    return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z') || c == '_';
}

// The NaN payload in "nan(...)" is taken only when strtoull in base 0 (a
// "0x" or "0" prefix selects hex or octal, overflow saturates) reads all of
// [p, stop).
bool ReadNanPayload(const char* p, const char* stop, std::uint64_t& payload) {
    int base = 10;
    if (p != stop && *p == '0') {
        base = 8;
        if (p + 1 != stop && Lower(p[1]) == 'x') {
            if (p + 2 == stop || HexDigit(p[2]) < 0) {
                return false; // strtoull stops after the "0"
            }
            base = 16;
            p += 2;
        }
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    bool overflow = false;
    for (; p != stop; ++p) {
        const int digit = HexDigit(*p);
        if (digit < 0 || digit >= base) {
            return false;
        }
        const auto d = static_cast<std::uint64_t>(digit);
        overflow = overflow || value > (kMax - d) / static_cast<std::uint64_t>(base);
        value = value * static_cast<std::uint64_t>(base) + d;
    }
    payload = overflow ? kMax : value;
    return true;
}

struct Mantissa {
    const char* end = nullptr;
    bool anyDigit = false;
    // Position of the leading non-zero digit, in digits: 0 for the one just
    // before the point. Only its sign matters, to tell overflow from
    // underflow; without such a digit it stays far below any position.
    std::int64_t lead = std::numeric_limits<std::int64_t>::min() / 8;
};

// Digits, an optional point and more digits, as strtod takes them.
Mantissa ScanMantissa(const char* p, const char* limit, bool hex) {
    Mantissa m;
    const auto isDigit = [hex](char c) { return hex ? HexDigit(c) >= 0 : IsDigit(c); };
    std::int64_t integerDigits = 0;
    for (; isDigit(At(p, limit)); ++p) {
        m.anyDigit = true;
        if (integerDigits > 0 || *p != '0') {
            ++integerDigits;
        }
    }
    if (integerDigits > 0) {
        m.lead = integerDigits - 1;
    }
    if (At(p, limit) == '.') {
        ++p;
        for (std::int64_t position = -1; isDigit(At(p, limit)); ++p, --position) {
            m.anyDigit = true;
            if (integerDigits == 0 && *p != '0' && m.lead < position) {
                m.lead = position;
            }
        }
    }
    m.end = p;
    return m;
}

// An exponent introduced by `letter`; when no digit follows it, nothing of
// it is taken. Returns the end of the number.
const char* ScanExponent(const char* p, const char* limit, char letter, std::int64_t& exponent) {
    exponent = 0;
    if (Lower(At(p, limit)) != letter) {
        return p;
    }
    const char* q = p + 1;
    const bool negative = At(q, limit) == '-';
    if (negative || At(q, limit) == '+') {
        ++q;
    }
    if (!IsDigit(At(q, limit))) {
        return p;
    }
    // Far beyond any finite result; saturating keeps the sums below exact.
    constexpr std::int64_t kCap = 1'000'000'000;
    for (; IsDigit(At(q, limit)); ++q) {
        if (exponent < kCap) {
            exponent = exponent * 10 + (*q - '0');
        }
    }
    exponent = negative ? -exponent : exponent;
    return q;
}

// strtod for T on text without leading white space: the longest prefix that
// forms a number, correctly rounded straight to T. Stores the end of what was
// used in `end`, which is `text` when no number starts there.
template <typename T> T ParseReal(const char* text, const char* limit, const char** end) {
    using Bits = FloatBits<T>;
    const char* p = text;
    const bool negative = At(p, limit) == '-';
    if (negative || At(p, limit) == '+') {
        ++p;
    }
    const char first = Lower(At(p, limit));
    if (first == 'i' && StartsWithWord(p, limit, "inf")) {
        p += 3;
        if (StartsWithWord(p, limit, "inity")) {
            p += 5;
        }
        *end = p;
        return negative ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
    }
    if (first == 'n' && StartsWithWord(p, limit, "nan")) {
        p += 3;
        typename Bits::Uint bits = Bits::kQuietNan;
        if (At(p, limit) == '(') {
            const char* q = p + 1;
            while (IsNanChar(At(q, limit))) {
                ++q;
            }
            if (At(q, limit) == ')') {
                std::uint64_t payload = 0;
                if (ReadNanPayload(p + 1, q, payload)) {
                    bits |= static_cast<typename Bits::Uint>(payload) & Bits::kPayload;
                }
                p = q + 1;
            }
        }
        *end = p;
        return std::bit_cast<T>(negative ? bits | Bits::kSign : bits);
    }

    const bool hex = first == '0' && Lower(At(p + 1, limit)) == 'x';
    const char* digits = hex ? p + 2 : p;
    const Mantissa m = ScanMantissa(digits, limit, hex);
    if (!m.anyDigit) {
        // A bare "0x" is the number 0 followed by an "x".
        *end = hex ? p + 1 : text;
        return hex && negative ? -T(0) : T(0);
    }
    std::int64_t exponent = 0;
    const char* stop = ScanExponent(m.end, limit, hex ? 'p' : 'e', exponent);
    *end = stop;

    T value{};
    const auto result = std::from_chars(digits, stop, value,
                                        hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; strtod gives inf or 0 then.
        const std::int64_t magnitude = (hex ? 4 * m.lead : m.lead) + exponent;
        value = magnitude >= 0 ? std::numeric_limits<T>::infinity() : T(0);
    }
    return negative ? -value : value;
}

constexpr double kDoublePowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr long double kLongPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                       1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                       1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                       1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

// significand / 10^scale rounded to float, when T holds both exactly: T's
// division rounds once, and rounding that to float again gives the float
// nearest the exact quotient unless the first rounding landed on the
// midpoint of two floats. False then; both rounding steps go to even ties.
template <typename T> bool ExactQuotient(std::uint64_t significand, int scale, float& value) {
    if constexpr (std::is_same_v<T, double>) {
        const double quotient = static_cast<double>(significand) / kDoublePowers[scale];
        // A normal float's midpoint has a one and 28 zeros below its last
        // digit among the double's 52.
        if ((std::bit_cast<std::uint64_t>(quotient) & 0x1fffffff) == 0x10000000) {
            return false;
        }
        value = static_cast<float>(quotient);
        return true;
    } else {
        const T quotient = static_cast<T>(significand) / kLongPowers[scale];
        const float nearest = static_cast<float>(quotient);
        const T back = nearest;
        if (back != quotient) {
            // The positive float on the quotient's other side.
            const auto bits = std::bit_cast<std::uint32_t>(nearest);
            const T other = std::bit_cast<float>(quotient > back ? bits + 1 : bits - 1);
            if ((back + other) / 2 == quotient) {
                return false;
            }
        }
        value = nearest;
        return true;
    }
}

// Reads a plain decimal without exponent ("-12.375", "0.5000"), the form
// the exports write, in one pass. Returns its end, or null (with `value`
// unchanged) for text of any other form, which ScanFloat's general path
// reads, and for the rare number whose float is not settled here.
const char* ScanPlainDecimal(const char* p, float& value) {
    const bool negative = *p == '-';
    if (negative || *p == '+') {
        ++p;
    }
    if (p[0] == '0' && Lower(p[1]) == 'x') {
        return nullptr;
    }
    // The number is significand / 10^scale while the significand keeps to
    // 19 digits, leading zeros not counted; zeros after the point beyond
    // them change nothing. Other digits beyond them leave the number
    // truncated: above significand / 10^scale, below the next step.
    const char* const first = p;
    std::uint64_t significand = 0;
    int digits = 0;
    int scale = 0;
    bool fits = true;
    bool truncated = false;
    for (; IsDigit(*p); ++p) {
        fits = fits && digits < 19;
        significand = significand * 10 + static_cast<std::uint64_t>(*p - '0');
        digits += significand != 0 ? 1 : 0;
    }
    const bool point = *p == '.';
    if (point) {
        for (++p; IsDigit(*p); ++p) {
            if (digits < 19) {
                significand = significand * 10 + static_cast<std::uint64_t>(*p - '0');
                digits += significand != 0 ? 1 : 0;
                ++scale;
            } else if (*p != '0') {
                truncated = true;
            }
        }
    }
    const char* const end = p;
    if (end - first == (point ? 1 : 0) || Lower(*end) == 'e') {
        return nullptr; // no digits, or an exponent
    }
    float read = 0.0f;
    bool done = fits && significand == 0;
    if (fits && truncated) {
        // Settled when both ends of the step round to the same float.
        float above = 0.0f;
        done = std::numeric_limits<long double>::digits >= 64 && scale <= 27 &&
               ExactQuotient<long double>(significand, scale, read) &&
               ExactQuotient<long double>(significand + 1, scale, above) && above == read;
    } else if (fits && !done) {
        while ((significand >= (std::uint64_t{1} << 53) || scale > 22) && scale > 0 &&
               significand % 10 == 0) {
            significand /= 10;
            --scale;
        }
        if (significand < (std::uint64_t{1} << 53) && scale <= 22) {
            done = ExactQuotient<double>(significand, scale, read);
        } else if (std::numeric_limits<long double>::digits >= 64 && scale <= 27) {
            done = ExactQuotient<long double>(significand, scale, read);
        }
    }
    if (!done) {
        // Without the trailing zeros after the point, which only cost time.
        const char* last = end;
        while (point && last[-1] == '0') {
            --last;
        }
        const auto result = std::from_chars(first, last, read);
        if (result.ec != std::errc() || result.ptr != last) {
            return nullptr;
        }
    }
    value = negative ? -read : read;
    return end;
}

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324"
                               "25262728293031323334353637383940414243444546474849"
                               "50515253545556575859606162636465666768697071727374"
                               "75767778798081828384858687888990919293949596979899";

// "%.*f" for the values the exports meet, up to 32 decimals: a finite value
// whose fractional part has at most 60 binary digits, as every float from
// 2^-36 upwards, and whose integer part fits in 64 bits. The value is an
// integer part and a binary fraction; each further decimal is the integer
// part of ten times the fraction, and the rest after the last decimal
// decides the rounding exactly. False, with nothing appended, for any other
// value.
bool AppendFixedBinary(std::string& out, double value, int decimals) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0x7ff || decimals > 32) {
        return false;
    }
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    std::uint64_t integer = 0;
    std::uint64_t fraction = 0;
    int shift = 0; // binary digits of the fraction
    if (mantissa != 0) {
        const int zeros = std::countr_zero(mantissa);
        mantissa >>= zeros;
        exponent += zeros;
        if (exponent >= 0) {
            if (std::bit_width(mantissa) + exponent > 64) {
                return false;
            }
            integer = mantissa << exponent;
        } else {
            shift = -exponent;
            if (shift > 60) {
                return false;
            }
            integer = mantissa >> shift;
            fraction = mantissa & ((std::uint64_t{1} << shift) - 1);
        }
    }
    char digits[32];
    const std::uint64_t mask = (std::uint64_t{1} << shift) - 1;
    int i = 0;
    if (shift <= 50) {
        // Four decimals at a time while ten thousand times the fraction fits.
        for (; i + 4 <= decimals && fraction != 0; i += 4) {
            fraction *= 10000;
            const auto four = static_cast<std::size_t>(fraction >> shift);
            fraction &= mask;
            std::memcpy(digits + i, kDigitPairs + 2 * (four / 100), 2);
            std::memcpy(digits + i + 2, kDigitPairs + 2 * (four % 100), 2);
        }
    }
    for (; i < decimals && fraction != 0; ++i) {
        fraction *= 10; // below 2^64: the fraction is below 2^60
        digits[i] = static_cast<char>('0' + (fraction >> shift));
        fraction &= mask;
    }
    std::fill(digits + i, digits + decimals, '0');
    if (fraction != 0) {
        // Ties go to the even neighbour, as printf rounds.
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        const bool odd = decimals > 0 ? (digits[decimals - 1] & 1) != 0 : (integer & 1) != 0;
        if (fraction > half || (fraction == half && odd)) {
            for (i = decimals - 1; i >= 0 && digits[i] == '9'; --i) {
                digits[i] = '0';
            }
            if (i >= 0) {
                ++digits[i];
            } else {
                ++integer;
            }
        }
    }
    char text[1 + 20 + 1 + 32];
    char* p = text;
    if ((bits >> 63) != 0) {
        *p++ = '-';
    }
    p = std::to_chars(p, text + sizeof text, integer).ptr;
    if (decimals > 0) {
        *p++ = '.';
        p = std::copy(digits, digits + decimals, p);
    }
    out.append(text, p);
    return true;
}

} // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    if (decimals < 0) {
        decimals = 6; // printf ignores a negative precision
    }
    if (AppendFixedBinary(out, value, decimals)) {
        return;
    }
    // A sign, the 309 integer digits of the largest double and the point.
    constexpr int kMaxLead = 1 + 309 + 1;
    constexpr int kUsualDecimals = 32;
    if (decimals <= kUsualDecimals) {
        char buffer[kMaxLead + kUsualDecimals];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::fixed, decimals);
        out.append(buffer, result.ptr);
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + kMaxLead + static_cast<std::size_t>(decimals));
    const auto result = std::to_chars(out.data() + start, out.data() + out.size(), value,
                                      std::chars_format::fixed, decimals);
    out.resize(static_cast<std::size_t>(result.ptr - out.data()));
}

std::size_t ScanFloat(const char* text, float& value) {
    const char* start = SkipSpace(text);
    if (const char* end = ScanPlainDecimal(start, value)) {
        return static_cast<std::size_t>(end - text);
    }
    const char* p = start;
    if (*p == '\0') {
        return 0;
    }
    // First find what scanf reads; it is greedier than the conversion in
    // places ("1e+", "0x.") and stricter in others ("infinit", "0x").
    const bool hasSign = *p == '+' || *p == '-';
    if (hasSign && *++p == '\0') {
        return 0;
    }
    const char first = Lower(*p);
    if (first == 'n') {
        if (!StartsWithWord(p, nullptr, "nan")) {
            return 0;
        }
        p += 3; // scanf never reads a "(...)" after it
    } else if (first == 'i') {
        if (!StartsWithWord(p, nullptr, "inf")) {
            return 0;
        }
        p += 3;
        if (Lower(*p) == 'i') {
            // Once past "inf", scanf cannot take back the "i": anything but
            // "infinity" is a failure.
            if (!StartsWithWord(p, nullptr, "inity")) {
                return 0;
            }
            p += 5;
        }
    } else {
        bool hex = false;
        bool gotDigit = false;
        if (*p == '0') {
            ++p;
            hex = Lower(*p) == 'x';
            gotDigit = !hex;
            p += hex ? 1 : 0;
        }
        const char exponentLetter = hex ? 'p' : 'e';
        bool gotPoint = false;
        bool gotExponent = false;
        for (;; ++p) {
            const char c = *p;
            if (IsDigit(c) || (hex && !gotExponent && HexDigit(c) >= 0)) {
                gotDigit = true;
            } else if (gotExponent && (c == '+' || c == '-') && Lower(p[-1]) == exponentLetter) {
                // the exponent's sign
            } else if (gotDigit && !gotExponent && Lower(c) == exponentLetter) {
                gotExponent = true;
                gotPoint = true; // no point after the exponent
            } else if (!gotPoint && c == '.') {
                gotPoint = true;
            } else {
                break;
            }
        }
        const std::ptrdiff_t read = p - start;
        if (read == (hasSign ? 1 : 0) || (hex && read == (hasSign ? 3 : 2))) {
            return 0;
        }
    }
    const char* end = start;
    const float read = ParseReal<float>(start, p, &end);
    if (end == start) {
        return 0;
    }
    value = read;
    return static_cast<std::size_t>(p - text);
}

std::optional<double> ParseWholeNumber(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    // from_chars takes a "-" but no "+".
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] =
        std::from_chars(text.data(), end, value, std::chars_format::general);
    // A number too large for a double is still a number: infinity, which
    // the caller refuses as it refuses "inf".
    if (text.empty() || stop != end ||
        (error != std::errc{} && error != std::errc::result_out_of_range)) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        // Beyond a double's range: too large is infinite, too small is zero.
        const bool negative = text.front() == '-';
        const std::size_t exponent = text.find_first_of("eE");
        const bool tiny = exponent != std::string_view::npos && exponent + 1 < text.size() &&
                          text[exponent + 1] == '-';
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -magnitude : magnitude;
    }
    return value;
}

double ParseDouble(const char* text) {
    const char* end = nullptr;
    return ParseReal<double>(SkipSpace(text), nullptr, &end);
}

std::int64_t ParseInteger(const char* text) {
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Accumulate negatively so that the minimum fits.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool saturated = false;
    for (; IsDigit(*p); ++p) {
        const int digit = *p - '0';
        if (value < (kMin + digit) / 10) {
            saturated = true;
            continue;
        }
        value = value * 10 - digit;
    }
    if (saturated) {
        return negative ? kMin : std::numeric_limits<std::int64_t>::max();
    }
    if (negative) {
        return value;
    }
    return value == kMin ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::size_t ScanInt(const char* text, std::int32_t& value) {
    const char* p = SkipSpace(text);
    const char* digits = p;
    if (*digits == '+' || *digits == '-') {
        ++digits;
    }
    if (!IsDigit(*digits)) {
        return 0;
    }
    // scanf converts with strtol and then keeps what fits in an int.
    const std::int64_t read = ParseInteger(p);
    while (IsDigit(*digits)) {
        ++digits;
    }
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(read)));
    return static_cast<std::size_t>(digits - text);
}

std::uint64_t ParseHex(const char* text) {
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) {
        p += 2;
    }
    std::uint64_t value = 0;
    bool saturated = false;
    for (int digit = HexDigit(*p); digit >= 0; digit = HexDigit(*++p)) {
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) {
            saturated = true;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    // strtoul saturates before it applies the sign.
    if (saturated) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return negative ? (~value + 1) : value;
}
