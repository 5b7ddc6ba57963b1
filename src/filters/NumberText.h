#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Numbers in exchange files and input fields, always with "." as decimal
// point whatever the user's locale: the C library's printf and scanf
// families follow the locale, which a window toolkit sets from the
// environment. Each function behaves exactly as the C library call it names
// does in the "C" locale.

// Appends `value` as printf's "%.*f" with `decimals` (0..32) writes it:
// exact digits, ties to even, "inf", "-inf", "nan" and "-nan". Other counts
// work too; a negative one means 6, as in printf.
void AppendFixed(std::string& out, double value, int decimals);

// Reads one number as scanf's "%f" does into a float: leading white space,
// decimal and hexadecimal forms, "inf", "infinity" and "nan" with an
// optional sign, rounded once, straight to float. Returns the number of
// characters consumed, white space included, or 0 when scanf would report a
// matching or input failure; then `value` is left unchanged. scanf cannot
// push back more than one character, so it consumes a dangling exponent
// ("1e+" takes 3 characters and reads 1) and fails on "0x" without digits
// or on a started but unfinished "infinity"; "nan(...)" takes only "nan".
[[nodiscard]] std::size_t ScanFloat(const char* text, float& value);

// atof: the longest prefix strtod accepts after leading white space; 0.0
// when there is none. Out of range gives +-inf or 0, and "nan(n)" puts n
// into the NaN's payload.
[[nodiscard]] double ParseDouble(const char* text);

// The number a field's whole text holds, white space around it allowed:
// an optional sign, decimal digits with an optional point and exponent, or
// "inf", "infinity", "nan". Nothing when anything else is left ("0,5",
// "1e", "1.5abc") or there is no number at all.
[[nodiscard]] std::optional<double> ParseWholeNumber(std::string_view text);

// atoi without the undefined behaviour: leading white space, an optional
// sign, decimal digits; 0 when there are none. The value saturates at the
// range of a 64-bit integer as strtol's does.
[[nodiscard]] std::int64_t ParseInteger(const char* text);

// Reads one integer as scanf's "%d" does. Returns the number of characters
// consumed, or 0 on failure, leaving `value` unchanged. Values beyond int
// keep the low 32 bits of what strtol gives, saturation included:
// "9999999999999999999999" reads -1.
[[nodiscard]] std::size_t ScanInt(const char* text, std::int32_t& value);

// strtoul in base 16 (an optional sign and "0x" prefix included), with the
// negation of a "-" sign applied modulo 2^64; too many digits give 2^64 - 1
// whatever the sign.
[[nodiscard]] std::uint64_t ParseHex(const char* text);
