#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// RefPack, the LZ77 compression many FSH archives and records are stored in.
// A stream may start with a 4-byte little-endian size prefix; then a flags
// byte with (flags & 0x3E) == 0x10 and the byte 0xFB; then big-endian sizes,
// 4 bytes each with flag 0x80 and 3 without: with flag 0x01 a compressed size
// (not needed), then the unpacked size. Commands follow, each copying a few
// literal bytes from the input and then a run from earlier output, until a
// stop command or until the output holds the unpacked size.

// Larger declared sizes are refused before anything is allocated.
constexpr std::uint32_t kRefPackMaxUnpacked = 512u << 20;

// What the first bytes of a file say about its compression.
enum class RefPackKind {
    None,
    RefPack,
    // Two bytes "xx FB" of another compression scheme, which is refused.
    OtherScheme,
};

struct RefPackHeader {
    // Where the flags byte stands: 0, or 4 after a size prefix.
    std::size_t start = 0;
    std::uint8_t flags = 0;
    // Where the first command stands.
    std::size_t commands = 0;
    std::uint32_t unpackedSize = 0;
};

// The compression `bytes` start with. An archive that starts with "SHPI" is
// plain whatever this says: its size word can look like a RefPack header.
[[nodiscard]] RefPackKind SniffRefPack(std::span<const std::uint8_t> bytes);

// Reads the header. False with `problem` set when `bytes` are not RefPack,
// are another scheme, or end inside the header.
[[nodiscard]] bool ReadRefPackHeader(std::span<const std::uint8_t> bytes, RefPackHeader& header,
                                     std::string& problem);

// Unpacks a whole stream into `unpacked`. False with `problem` set (a short
// text such as "the compressed data ends early", to be shown after the file's
// name) and `unpacked` empty when the stream is refused; nothing beyond the
// declared size, and never more than kRefPackMaxUnpacked, is allocated.
[[nodiscard]] bool UnpackRefPack(std::span<const std::uint8_t> bytes,
                                 std::vector<std::uint8_t>& unpacked, std::string& problem);
