#include "output/LogBuffer.h"

#include <cstring>

void CLogBuffer::Append(const char* text) {
    if (text == nullptr) {
        return;
    }
    if (!m_text.empty()) {
        m_text += "\r\n";
    }
    const std::size_t length = std::strlen(text);
    m_text.append(text, length);
    if (m_text.size() > kLimit) {
        Trim(length);
    }
    if (m_view) {
        m_view(m_text);
    }
}

// Drops the fewest leading lines after which the remaining text, with the
// new message counted a second time, fits the limit. The remainder is
// measured from the LF of each separator, and the new message (which ends
// the text) is counted twice: the log keeps room for a message as long as
// the last one. If no separator leaves enough room, everything goes.
void CLogBuffer::Trim(std::size_t messageLength) {
    std::size_t separator = m_text.find("\r\n");
    while (separator != std::string::npos) {
        const std::size_t remainder = m_text.size() - (separator + 1);
        if (remainder + messageLength <= kLimit) {
            m_text.erase(0, separator + 2);
            return;
        }
        separator = m_text.find("\r\n", separator + 1);
    }
    m_text.clear();
}

void CLogBuffer::Clear() {
    m_text.clear();
    if (m_view) {
        m_view(m_text);
    }
}

void CLogBuffer::SetView(View view) {
    m_view = std::move(view);
    if (m_view) {
        m_view(m_text);
    }
}

CLogBuffer& TheLog() {
    static CLogBuffer log;
    return log;
}

void AppendLog(const char* text, int /*flag*/, Severity /*severity*/) {
    TheLog().Append(text);
}

void ClearLog() {
    TheLog().Clear();
}
