#include "filters/AsciiLineReader.h"

#include <cstring>

const char* CAsciiLineReader::Step(const char* cursor, std::size_t maxLength,
                                   std::string_view& line) {
    line = {};
    if (cursor == nullptr) {
        return nullptr;
    }
    for (;;) {
        const char c = *cursor;
        if ((c == '/' && cursor[1] == '/') || c == '\r' || c == '\n') {
            cursor = std::strchr(cursor, '\n');
            if (cursor == nullptr) {
                return nullptr;
            }
        } else if (c != ' ' && c != '\t') {
            break;
        }
        ++cursor;
    }
    const char* end = std::strchr(cursor, '\n');
    if (end == nullptr) {
        return nullptr;
    }
    std::size_t length = static_cast<std::size_t>(end - cursor);
    if (length > maxLength) {
        length = maxLength;
    }
    if (length > 0 && cursor[length - 1] == '\r') {
        --length;
    }
    line = std::string_view(cursor, length);
    return end + 1;
}

std::string_view CAsciiLineReader::Next() {
    std::string_view line;
    m_cursor = Step(m_cursor, m_maxLength, line);
    return line;
}
