#include "filters/AsciiLineReader.h"

#include <algorithm>
#include <cstring>

CAsciiLineReader::CAsciiLineReader(std::FILE* file, std::size_t maxLength, std::size_t chunkSize)
    : m_pos(nullptr), m_maxLength(maxLength), m_file(file),
      m_buffer(std::max(chunkSize, maxLength + 2) + 1), m_end(m_buffer.data()), m_atEnd(false) {
    *m_end = '\0';
    m_pos = m_end;
}

bool CAsciiLineReader::Refill() {
    if (m_atEnd) {
        return false;
    }
    char* const start = m_buffer.data();
    const auto kept = static_cast<std::size_t>(m_end - m_pos);
    std::memmove(start, m_pos, kept);
    m_pos = start;
    const std::size_t room = m_buffer.size() - 1 - kept;
    std::size_t got = std::fread(start + kept, 1, room, m_file);
    if (got < room) {
        m_atEnd = true; // the end of the file, or a read error the caller sees on the stream
    }
    if (const void* zero = std::memchr(start + kept, '\0', got)) {
        got = static_cast<std::size_t>(static_cast<const char*>(zero) - (start + kept));
        m_atEnd = true;
    }
    m_end = start + kept + got;
    *m_end = '\0';
    return got > 0;
}

void CAsciiLineReader::SkipByteOrderMark() {
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    constexpr std::size_t kLength = sizeof kMark - 1;
    if (m_pos == nullptr) {
        return;
    }
    while (m_file != nullptr && static_cast<std::size_t>(m_end - m_pos) < kLength && Refill()) {
    }
    if (std::strncmp(m_pos, kMark, kLength) == 0) {
        m_pos += kLength;
    }
}

bool CAsciiLineReader::SkipLine() {
    for (;;) {
        if (const char* lf = std::strchr(m_pos, '\n')) {
            PassLineEnd(lf);
            return true;
        }
        if (m_file == nullptr) {
            return false;
        }
        m_pos = m_end;
        if (!Refill()) {
            return false;
        }
    }
}

std::string_view CAsciiLineReader::Next() {
    if (m_pos == nullptr) {
        return {};
    }
    // A zero byte ends the text in memory, or the part of the file read so
    // far; a "/" just before it may begin a comment.
    for (;;) {
        const char c = *m_pos;
        if (c == '\0' || (c == '/' && m_pos[1] == '\0' && !m_atEnd)) {
            if (!Refill() && c == '\0') {
                m_pos = nullptr;
                return {};
            }
        } else if ((c == '/' && m_pos[1] == '/') || c == '\r' || c == '\n') {
            if (!SkipLine()) {
                m_pos = nullptr;
                return {};
            }
        } else if (c == ' ' || c == '\t') {
            ++m_pos;
        } else {
            break;
        }
    }
    const char* lf = nullptr;
    while ((lf = std::strchr(m_pos, '\n')) == nullptr && m_file != nullptr) {
        if (m_end - m_pos == static_cast<std::ptrdiff_t>(m_buffer.size() - 1)) {
            break; // the buffer holds nothing but this line
        }
        if (!Refill()) {
            m_pos = nullptr;
            return {};
        }
    }
    m_lineNumber = m_lineEnds + 1;
    std::string_view line;
    if (lf != nullptr) {
        line = std::string_view(m_pos, static_cast<std::size_t>(lf - m_pos));
        PassLineEnd(lf);
    } else if (m_file == nullptr) {
        m_pos = nullptr;
        return {};
    } else {
        // A line longer than the buffer: keep its start, pass over the rest.
        m_long.assign(m_pos, m_maxLength);
        m_pos = m_end;
        if (!SkipLine()) {
            m_pos = nullptr;
            return {};
        }
        line = m_long;
    }
    line = line.substr(0, m_maxLength);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}
