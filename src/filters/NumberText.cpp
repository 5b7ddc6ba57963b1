#include "filters/NumberText.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) {
        ++p;
    }
    return p;
}

// Converts the unsigned number at `p` (no sign); the end of what was used is
// stored in `end` (== p when nothing was).
template <typename T> T ConvertUnsigned(const char* p, const char** end) {
    T value{};
    std::chars_format format = std::chars_format::general;
    const char* start = p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        format = std::chars_format::hex;
        start = p + 2;
    }
    const std::size_t length = std::strlen(start);
    const auto result = std::from_chars(start, start + length, value, format);
    if (result.ec == std::errc::invalid_argument) {
        if (format == std::chars_format::hex) {
            *end = p + 1; // "0x" without digits reads as the 0 before it
            return T{};
        }
        *end = p;
        return T{};
    }
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; strtod gives inf or 0 then.
        T probe{};
        std::from_chars(start, result.ptr, probe, format);
        value = T{};
    }
    *end = result.ptr;
    return value;
}

template <typename T> T ConvertSigned(const char* text, const char** end) {
    const char* p = SkipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const char* stop = p;
    const T value = ConvertUnsigned<T>(p, &stop);
    if (stop == p) {
        *end = text;
        return T{};
    }
    *end = stop;
    return negative ? -value : value;
}

} // namespace

void AppendFixed(std::string& out, double value, int decimals) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

std::size_t ScanFloat(const char* text, float& value) {
    const char* end = text;
    const float read = ConvertSigned<float>(text, &end);
    if (end == text) {
        return 0;
    }
    value = read;
    return static_cast<std::size_t>(end - text);
}

double ParseDouble(const char* text) {
    const char* end = text;
    return ConvertSigned<double>(text, &end);
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
    if (saturated) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return negative ? (~value + 1) : value;
}
