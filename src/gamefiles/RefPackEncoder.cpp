#include "gamefiles/RefPackEncoder.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

// The reach of the three copy commands: 2 bytes up to 10 bytes from 1 KiB
// back, 3 bytes up to 67 from 16 KiB, 4 bytes up to 1,028 from 128 KiB.
constexpr std::size_t kWindow = 131072;
constexpr std::size_t kMinLength = 3;
constexpr std::size_t kMaxLength = 1028;
constexpr std::size_t kMaxLiteralRun = 112;
constexpr int kHashBits = 15;
// How many earlier places with the same three bytes are tried.
constexpr int kChainDepth = 24;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

bool Encodable(std::size_t length, std::size_t offset) {
    return (length >= 3 && offset <= 1024) || (length >= 4 && offset <= 16384) ||
           (length >= 5 && offset <= kWindow);
}

std::uint32_t Hash(const std::uint8_t* p) {
    const std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

class CPacker {
public:
    explicit CPacker(std::span<const std::uint8_t> data)
        : m_data(data), m_head(std::size_t{1} << kHashBits, kNone), m_prev(kWindow, kNone) {}

    std::vector<std::uint8_t> Pack() {
        WriteHeader();
        std::size_t position = 0;
        std::size_t literalStart = 0;
        while (position < m_data.size()) {
            std::size_t offset = 0;
            const std::size_t length = FindMatch(position, offset);
            if (length == 0) {
                Insert(position++);
                continue;
            }
            WriteLiterals(literalStart, position);
            WriteCopy(literalStart, position, length, offset);
            for (std::size_t end = position + length; position < end; ++position) {
                Insert(position);
            }
            literalStart = position;
        }
        WriteLiterals(literalStart, position);
        // The stop command carries the last 0 to 3 literals.
        const std::size_t rest = position - literalStart;
        m_out.push_back(static_cast<std::uint8_t>(0xFC | rest));
        m_out.insert(m_out.end(), m_data.begin() + static_cast<std::ptrdiff_t>(literalStart),
                     m_data.begin() + static_cast<std::ptrdiff_t>(position));
        return std::move(m_out);
    }

private:
    void WriteHeader() {
        const auto size = static_cast<std::uint32_t>(m_data.size());
        const bool wide = size >= (1u << 24);
        m_out.push_back(wide ? 0x90 : 0x10);
        m_out.push_back(0xFB);
        for (int shift = wide ? 24 : 16; shift >= 0; shift -= 8) {
            m_out.push_back(static_cast<std::uint8_t>(size >> shift));
        }
    }

    void Insert(std::size_t position) {
        if (position + kMinLength > m_data.size()) {
            return;
        }
        std::uint32_t& head = m_head[Hash(&m_data[position])];
        m_prev[position % kWindow] = head;
        head = static_cast<std::uint32_t>(position);
    }

    // The longest match the commands can encode, nearest first among equals;
    // 0 when there is none.
    std::size_t FindMatch(std::size_t position, std::size_t& offset) const {
        if (position + kMinLength > m_data.size()) {
            return 0;
        }
        const std::size_t limit = std::min(kMaxLength, m_data.size() - position);
        const std::uint8_t* here = &m_data[position];
        std::size_t best = 0;
        std::uint32_t candidate = m_head[Hash(here)];
        for (int depth = 0; candidate != kNone && depth < kChainDepth; ++depth) {
            const std::size_t earlier = candidate;
            const std::size_t distance = position - earlier;
            if (distance > kWindow) {
                break;
            }
            const std::uint8_t* there = &m_data[earlier];
            if (there[best] == here[best]) {
                std::size_t length = 0;
                while (length < limit && there[length] == here[length]) {
                    ++length;
                }
                if (length > best && Encodable(length, distance)) {
                    best = length;
                    offset = distance;
                    if (length == limit) {
                        break;
                    }
                }
            }
            candidate = m_prev[earlier % kWindow];
        }
        return best >= kMinLength ? best : 0;
    }

    // Literal runs of 4 to 112 bytes, leaving 0 to 3 for the next command.
    void WriteLiterals(std::size_t& start, std::size_t end) {
        while (end - start >= 4) {
            const std::size_t run = std::min(kMaxLiteralRun, (end - start) & ~std::size_t{3});
            m_out.push_back(static_cast<std::uint8_t>(0xE0 | ((run - 4) >> 2)));
            Append(start, run);
            start += run;
        }
    }

    void WriteCopy(std::size_t literalStart, std::size_t position, std::size_t length,
                   std::size_t offset) {
        const std::size_t literal = position - literalStart;
        const std::size_t o = offset - 1;
        if (length <= 10 && offset <= 1024) {
            m_out.push_back(static_cast<std::uint8_t>((o >> 8) << 5 | (length - 3) << 2 | literal));
            m_out.push_back(static_cast<std::uint8_t>(o));
        } else if (length <= 67 && offset <= 16384) {
            m_out.push_back(static_cast<std::uint8_t>(0x80 | (length - 4)));
            m_out.push_back(static_cast<std::uint8_t>(literal << 6 | o >> 8));
            m_out.push_back(static_cast<std::uint8_t>(o));
        } else {
            const std::size_t l = length - 5;
            m_out.push_back(
                static_cast<std::uint8_t>(0xC0 | (o >> 16) << 4 | (l >> 8) << 2 | literal));
            m_out.push_back(static_cast<std::uint8_t>(o >> 8));
            m_out.push_back(static_cast<std::uint8_t>(o));
            m_out.push_back(static_cast<std::uint8_t>(l));
        }
        Append(literalStart, literal);
    }

    void Append(std::size_t start, std::size_t count) {
        const std::size_t at = m_out.size();
        m_out.resize(at + count);
        if (count != 0) {
            std::memcpy(&m_out[at], &m_data[start], count);
        }
    }

    std::span<const std::uint8_t> m_data;
    // The latest position of each hash, and for each position in the window
    // the one before it with the same hash.
    std::vector<std::uint32_t> m_head;
    std::vector<std::uint32_t> m_prev;
    std::vector<std::uint8_t> m_out;
};

} // namespace

std::vector<std::uint8_t> PackRefPack(std::span<const std::uint8_t> data) {
    assert(data.size() < kNone);
    return CPacker(data).Pack();
}
