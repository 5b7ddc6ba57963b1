#pragma once

#include <cstddef>
#include <string_view>

// Walks the lines of a zero-terminated text the way the ASCII reader sees
// them: empty lines, lines of white space and "//" comment lines are passed
// over, as are the leading spaces and TABs of a line; LF and CR LF both end a
// line; a last line without a line end is not a line. Once the text has run
// out every further line is empty.
class CAsciiLineReader {
public:
    // `text` must stay alive and zero-terminated while the reader is used.
    CAsciiLineReader(const char* text, std::size_t maxLength)
        : m_cursor(text), m_maxLength(maxLength) {}

    // The next line, cut to the maximum length; the rest of a longer line is
    // passed over. Empty once the text has run out.
    [[nodiscard]] std::string_view Next();

    // True once a line was asked for that the text did not hold.
    [[nodiscard]] bool RanOut() const { return m_cursor == nullptr; }

    // The same walk on a raw cursor: stores the next line in `line` and
    // returns the position after it, or null when no line is left.
    static const char* Step(const char* cursor, std::size_t maxLength, std::string_view& line);

private:
    const char* m_cursor;
    std::size_t m_maxLength;
};
