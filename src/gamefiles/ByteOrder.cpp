#include "gamefiles/ByteOrder.h"

void CLeWriter::Grow(std::size_t size) {
    m_bytes.resize(m_used + size);
}
