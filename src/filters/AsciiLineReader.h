#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Walks the lines of a text the way the ASCII reader sees them: empty lines,
// lines of white space and "//" comment lines are passed over, as are the
// leading spaces and TABs of a line; LF and CR LF both end a line; a last
// line without a line end is not a line; the text ends at its first zero
// byte. Once the text has run out every further line is empty. Lines are
// numbered from 1 as an editor numbers them, passed-over lines included.
//
// The text is either in memory or read from a file piece by piece, so that
// a large file never has to be held whole.
class CAsciiLineReader {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 18;

    // Over a zero-terminated text that stays alive while the reader is used;
    // a null text has no lines.
    CAsciiLineReader(const char* text, std::size_t maxLength)
        : m_pos(text), m_maxLength(maxLength) {}

    // Over the rest of an open file, read `chunkSize` bytes at a time (at
    // least the longest line and two bytes). Throws std::bad_alloc.
    CAsciiLineReader(std::FILE* file, std::size_t maxLength, std::size_t chunkSize = kChunkSize);

    // The next line, cut to the maximum length; the rest of a longer line is
    // passed over. Empty once the text has run out. The view stays valid
    // until the next call.
    [[nodiscard]] std::string_view Next();

    // True once a line was asked for that the text did not hold.
    [[nodiscard]] bool RanOut() const { return m_pos == nullptr; }

    // The number of the line Next returned last; 0 before the first.
    [[nodiscard]] std::int64_t LineNumber() const { return m_lineNumber; }

    // Passes over a UTF-8 byte-order mark at the start of the text, which
    // some editors put before the first line. Call before the first Next.
    void SkipByteOrderMark();

    // Where the next line's search starts in a text in memory; null once the
    // text has run out.
    [[nodiscard]] const char* Position() const { return m_pos; }

private:
    // Moves the unread text to the front of the buffer and reads more after
    // it. False when nothing more came: the file or its text has ended.
    bool Refill();
    // Passes over the rest of the current line and its LF. False when the
    // text ends first.
    bool SkipLine();
    // Where the line after `lf` begins.
    void PassLineEnd(const char* lf) {
        m_pos = lf + 1;
        ++m_lineEnds;
    }

    const char* m_pos;
    std::size_t m_maxLength;
    std::FILE* m_file = nullptr;
    // The file's text read so far and not yet passed, [m_pos, m_end), with a
    // zero byte at m_end.
    std::vector<char> m_buffer;
    char* m_end = nullptr;
    bool m_atEnd = true;
    // The kept part of a line longer than the buffer.
    std::string m_long;
    std::int64_t m_lineEnds = 0;
    std::int64_t m_lineNumber = 0;
};
