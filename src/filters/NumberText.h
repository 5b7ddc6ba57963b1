#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Numbers in exchange files and input fields, always with "." as decimal
// point whatever the user's locale: the C library's printf and scanf
// families follow the locale, which a window toolkit sets from the
// environment. Each function behaves exactly as the C library call it names
// does in the "C" locale.

// Appends `value` as printf's "%.*f" with `decimals` (0..32) writes it.
void AppendFixed(std::string& out, double value, int decimals);

// Reads one number as scanf's "%f" does into a float: leading white space,
// decimal and hexadecimal forms, "inf", "infinity" and "nan" with an
// optional sign. Returns the number of characters consumed, white space
// included, or 0 when scanf would report a matching or input failure; then
// `value` is left unchanged.
[[nodiscard]] std::size_t ScanFloat(const char* text, float& value);

// atof: the longest prefix strtod accepts after leading white space; 0.0
// when there is none.
[[nodiscard]] double ParseDouble(const char* text);

// atoi without the undefined behaviour: leading white space, an optional
// sign, decimal digits; 0 when there are none. The value saturates at the
// range of a 64-bit integer as strtol's does.
[[nodiscard]] std::int64_t ParseInteger(const char* text);

// Reads one integer as scanf's "%d" does. Returns the number of characters
// consumed, or 0 on failure, leaving `value` unchanged; values beyond int
// keep their low 32 bits.
[[nodiscard]] std::size_t ScanInt(const char* text, std::int32_t& value);

// strtoul in base 16 (an optional sign and "0x" prefix included), with the
// negation of a "-" sign applied modulo 2^64.
[[nodiscard]] std::uint64_t ParseHex(const char* text);
