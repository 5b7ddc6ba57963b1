#pragma once

#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// Little-endian access to a file image held in memory. Reads past the end of
// the image give zero bytes, which is how a file that ends early is read:
// every array starts zero-filled and keeps zeros where the file has no data.
class CLeReader {
public:
    explicit CLeReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    [[nodiscard]] std::uint64_t Size() const { return m_bytes.size(); }

    // Copies `size` bytes from `offset` into `out`, zero-filling what lies
    // beyond the end of the image.
    void CopyOut(std::uint64_t offset, std::uint8_t* out, std::size_t size) const {
        std::memset(out, 0, size);
        if (offset >= m_bytes.size()) {
            return;
        }
        const std::uint64_t available = m_bytes.size() - offset;
        const std::size_t count = available < size ? static_cast<std::size_t>(available) : size;
        std::memcpy(out, m_bytes.data() + offset, count);
    }

    [[nodiscard]] std::uint8_t U8(std::uint64_t offset) const {
        return offset < m_bytes.size() ? m_bytes[offset] : 0;
    }
    [[nodiscard]] std::uint16_t U16(std::uint64_t offset) const {
        if (Holds(offset, 2)) {
            const std::uint8_t* p = m_bytes.data() + offset;
            return static_cast<std::uint16_t>(p[0] | p[1] << 8);
        }
        return static_cast<std::uint16_t>(U8(offset) | (U8(offset + 1) << 8));
    }
    [[nodiscard]] std::uint32_t U32(std::uint64_t offset) const {
        // The common case, whole words inside the image, without a check
        // per byte; the compiler turns the shifts into one load.
        if (Holds(offset, 4)) {
            return Le32(m_bytes.data() + offset);
        }
        std::uint8_t tail[4];
        CopyOut(offset, tail, sizeof tail);
        return Le32(tail);
    }
    [[nodiscard]] std::int32_t I32(std::uint64_t offset) const {
        return static_cast<std::int32_t>(U32(offset));
    }
    [[nodiscard]] float F32(std::uint64_t offset) const {
        return std::bit_cast<float>(U32(offset));
    }

private:
    [[nodiscard]] bool Holds(std::uint64_t offset, std::uint64_t size) const {
        return offset <= m_bytes.size() && m_bytes.size() - offset >= size;
    }
    static std::uint32_t Le32(const std::uint8_t* p) {
        return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
               static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }

    std::span<const std::uint8_t> m_bytes;
};

// Reads consecutive little-endian fields from an offset on, each by its
// type; fields past the end of the image read as zeros.
class CLeCursor {
public:
    CLeCursor(const CLeReader& in, std::uint64_t offset) : m_in(in), m_at(offset) {}

    void operator()(std::uint32_t& value) { value = m_in.U32(Next(4)); }
    void operator()(std::int32_t& value) { value = m_in.I32(Next(4)); }
    void operator()(float& value) { value = m_in.F32(Next(4)); }

private:
    std::uint64_t Next(std::uint64_t size) {
        const std::uint64_t at = m_at;
        m_at += size;
        return at;
    }

    const CLeReader& m_in;
    std::uint64_t m_at;
};

// Store little-endian values at `p`.
inline void StoreLe16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void StoreLe32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}
inline void StoreLeF32(std::uint8_t* p, float value) {
    StoreLe32(p, std::bit_cast<std::uint32_t>(value));
}
// Stores a field by its type and moves `p` past it.
inline void StoreLeField(std::uint8_t*& p, std::uint32_t value) {
    StoreLe32(p, value);
    p += 4;
}
inline void StoreLeField(std::uint8_t*& p, std::int32_t value) {
    StoreLeField(p, static_cast<std::uint32_t>(value));
}
inline void StoreLeField(std::uint8_t*& p, float value) {
    StoreLeField(p, std::bit_cast<std::uint32_t>(value));
}

// Appends little-endian values to a byte block. Each value claims its bytes
// at once instead of one push per byte: a save lays out every array of the
// model this way.
class CLeWriter {
public:
    void U8(std::uint8_t value) { *Take(1) = value; }
    void U16(std::uint16_t value) { StoreLe16(Take(2), value); }
    void U32(std::uint32_t value) { StoreLe32(Take(4), value); }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value) { StoreLeF32(Take(4), value); }
    // A field by its type.
    void Field(std::uint32_t value) { U32(value); }
    void Field(std::int32_t value) { I32(value); }
    void Field(float value) { F32(value); }
    void Bytes(std::span<const std::uint8_t> bytes) {
        if (!bytes.empty()) {
            std::memcpy(Take(bytes.size()), bytes.data(), bytes.size());
        }
    }
    // Lays out `items` at `stride` bytes each; `encode(p, item)` fills the
    // bytes at p. The block grows once, and the loop keeps its cursor to
    // itself instead of going back to the block for every value.
    template <typename T, typename Encode>
    void Array(const std::vector<T>& items, std::size_t stride, Encode encode) {
        std::uint8_t* p = Take(items.size() * stride);
        for (const T& item : items) {
            encode(p, item);
            p += stride;
        }
    }

    [[nodiscard]] std::span<const std::uint8_t> Bytes() const { return {m_bytes.data(), m_used}; }
    // Empties the block but keeps its storage for the next one.
    void Clear() { m_used = 0; }

private:
    // Out of line, so that the check in Take stays small enough to inline.
    void Grow(std::size_t size);
    std::uint8_t* Take(std::size_t size) {
        if (m_bytes.size() - m_used < size) [[unlikely]] {
            Grow(size);
        }
        std::uint8_t* p = m_bytes.data() + m_used;
        m_used += size;
        return p;
    }

    // Bytes past m_used are storage left from earlier blocks.
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_used = 0;
};

// Big-endian reading from the front of a byte span. A read that needs more
// bytes than remain fails and leaves the position where it was, so a caller
// never acts on bytes the span does not hold.
class CBeReader {
public:
    explicit CBeReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    [[nodiscard]] std::size_t Position() const { return m_position; }
    [[nodiscard]] std::size_t Remaining() const { return m_bytes.size() - m_position; }

    [[nodiscard]] bool U16(std::uint16_t& value) {
        std::span<const std::uint8_t> p;
        if (!Take(2, p)) {
            return false;
        }
        value = static_cast<std::uint16_t>(p[0] << 8 | p[1]);
        return true;
    }
    [[nodiscard]] bool U32(std::uint32_t& value) {
        std::span<const std::uint8_t> p;
        if (!Take(4, p)) {
            return false;
        }
        value = static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
                static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
        return true;
    }
    [[nodiscard]] bool F32(float& value) {
        std::uint32_t bits = 0;
        if (!U32(bits)) {
            return false;
        }
        value = std::bit_cast<float>(bits);
        return true;
    }
    // The next `size` bytes, as a view into the span.
    [[nodiscard]] bool Take(std::uint64_t size, std::span<const std::uint8_t>& bytes) {
        if (size > Remaining()) {
            return false;
        }
        bytes = m_bytes.subspan(m_position, static_cast<std::size_t>(size));
        m_position += static_cast<std::size_t>(size);
        return true;
    }
    [[nodiscard]] bool Skip(std::uint64_t size) {
        std::span<const std::uint8_t> unused;
        return Take(size, unused);
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// Appends big-endian values to a byte block.
class CBeWriter {
public:
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U16(std::uint16_t value) {
        U8(static_cast<std::uint8_t>(value >> 8));
        U8(static_cast<std::uint8_t>(value));
    }
    void U32(std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            U8(static_cast<std::uint8_t>(value >> shift));
        }
    }
    // The bit pattern as it is: a NaN keeps its payload.
    void F32(float value) { U32(std::bit_cast<std::uint32_t>(value)); }
    // Overwrites four bytes already written.
    void PatchU32(std::size_t offset, std::uint32_t value) {
        assert(offset <= m_bytes.size() && m_bytes.size() - offset >= 4);
        for (std::size_t i = 0; i < 4; ++i) {
            m_bytes[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
        }
    }

    [[nodiscard]] const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    void Reserve(std::size_t size) { m_bytes.reserve(size); }

private:
    std::vector<std::uint8_t> m_bytes;
};
