#include "gamefiles/RefPack.h"

#include "output/Format.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kEndsEarly = "the compressed data ends early";
constexpr const char* kBeforeStart = "refers back before its start";
constexpr const char* kTooLong = "unpacks to more than it declares";

// No command yields more than 257 bytes for each byte it takes: the longest
// copy, 1,028 bytes, costs a 4-byte command.
constexpr std::uint64_t kMostPerByte = 257;

bool IsRefPackAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes.size() >= at + 2 && (bytes[at] & 0x3E) == 0x10 && bytes[at + 1] == 0xFB;
}

// Huffman (0x30, 0x32) and the 0x46/0x47 scheme share the 0xFB marker.
bool IsOtherSchemeAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (bytes.size() < at + 2 || bytes[at + 1] != 0xFB) {
        return false;
    }
    const std::uint8_t flags = bytes[at];
    return flags == 0x30 || flags == 0x32 || flags == 0x46 || flags == 0x47;
}

// Where the two header bytes stand, and what they are. A header at 0 wins
// over one after a prefix: both can hold for a plain stream whose size ends
// in a flags byte and whose first command is 0xFB.
RefPackKind Sniff(std::span<const std::uint8_t> bytes, std::size_t& start) {
    for (const std::size_t at : {std::size_t{0}, std::size_t{4}}) {
        start = at;
        if (IsRefPackAt(bytes, at)) {
            return RefPackKind::RefPack;
        }
        if (IsOtherSchemeAt(bytes, at)) {
            return RefPackKind::OtherScheme;
        }
    }
    return RefPackKind::None;
}

bool Fail(std::string& problem, const char* text) {
    problem = text;
    return false;
}

// Copies in fixed pieces of 16 bytes, up to 15 bytes beyond `size`. Fixed
// sizes become plain moves; a variable-size memcpy of a few bytes costs more
// than the copy.
void CopyPieces(std::uint8_t* to, const std::uint8_t* from, std::size_t size) {
    for (std::size_t i = 0; i < size; i += 16) {
        std::memcpy(to + i, from + i, 16);
    }
}

// The copy from `offset` back, which may overlap what it writes. With
// `spare` set, up to 15 bytes after the copy may be overwritten.
void CopyBack(std::uint8_t* op, std::size_t offset, std::size_t length, bool spare) {
    const std::uint8_t* from = op - offset;
    if (spare && offset >= 16) {
        // Each piece reads only bytes written before it.
        CopyPieces(op, from, length);
    } else if (spare && offset >= 8) {
        for (std::size_t i = 0; i < length; i += 8) {
            std::memcpy(op + i, from + i, 8);
        }
    } else if (offset == 1) {
        std::memset(op, *from, length);
    } else {
        // Short patterns repeat: each byte may be one just written.
        for (std::size_t i = 0; i < length; ++i) {
            op[i] = from[i];
        }
    }
}

// The command loop. `out` holds exactly `size` bytes. Every command is
// checked once against what remains of the input and the output; a copy may
// then write up to 15 bytes past its end where the output has room, since
// the commands after it overwrite those bytes, and a stream that stops short
// of the size is refused.
bool RunCommands(const std::uint8_t* in, const std::uint8_t* inEnd, std::uint8_t* out,
                 std::size_t size, std::string& problem) {
    std::uint8_t* op = out;
    std::uint8_t* const outEnd = out + size;
    while (op != outEnd) {
        const std::size_t inLeft = static_cast<std::size_t>(inEnd - in);
        const std::size_t outLeft = static_cast<std::size_t>(outEnd - op);
        if (inLeft == 0) {
            return Fail(problem, kEndsEarly);
        }
        const std::uint32_t b0 = in[0];
        if (b0 >= 0xE0) {
            // Literals only; 0xFC and above stop after theirs.
            const bool stop = b0 >= 0xFC;
            const std::size_t literal = stop ? (b0 & 3) : ((b0 & 0x1F) << 2) + 4;
            if (literal > inLeft - 1) {
                return Fail(problem, kEndsEarly);
            }
            if (literal > outLeft) {
                return Fail(problem, kTooLong);
            }
            if (inLeft - 1 >= literal + 15 && outLeft >= literal + 15) {
                CopyPieces(op, in + 1, literal);
            } else {
                std::copy_n(in + 1, literal, op);
            }
            op += literal;
            in += 1 + literal;
            if (stop) {
                break;
            }
            continue;
        }

        const std::size_t command = b0 < 0x80 ? 2 : b0 < 0xC0 ? 3 : 4;
        if (command > inLeft) {
            return Fail(problem, kEndsEarly);
        }
        std::size_t literal, length, offset;
        if (command == 2) {
            literal = b0 & 3;
            length = ((b0 >> 2) & 7) + 3;
            offset = ((b0 & 0x60) << 3) + in[1] + 1;
        } else if (command == 3) {
            literal = in[1] >> 6;
            length = (b0 & 0x3F) + 4;
            offset = (std::size_t{in[1] & 0x3Fu} << 8) + in[2] + 1;
        } else {
            literal = b0 & 3;
            length = ((b0 & 0x0C) << 6) + in[3] + 5;
            offset = (std::size_t{b0 & 0x10} << 12) + (std::size_t{in[1]} << 8) + in[2] + 1;
        }
        if (command + literal > inLeft) {
            return Fail(problem, kEndsEarly);
        }
        if (literal + length > outLeft) {
            return Fail(problem, kTooLong);
        }
        if (offset > static_cast<std::size_t>(op - out) + literal) {
            return Fail(problem, kBeforeStart);
        }
        // At most 3 literals: 4 bytes move at once where both sides have them.
        if (inLeft >= command + 4 && outLeft >= 4) {
            std::memcpy(op, in + command, 4);
        } else {
            std::copy_n(in + command, literal, op);
        }
        in += command + literal;
        op += literal;
        CopyBack(op, offset, length, outLeft - literal >= length + 15);
        op += length;
    }
    if (op != outEnd) {
        return Fail(problem, kEndsEarly);
    }
    return true;
}

} // namespace

RefPackKind SniffRefPack(std::span<const std::uint8_t> bytes) {
    std::size_t start = 0;
    return Sniff(bytes, start);
}

bool ReadRefPackHeader(std::span<const std::uint8_t> bytes, RefPackHeader& header,
                       std::string& problem) {
    std::size_t start = 0;
    switch (Sniff(bytes, start)) {
    case RefPackKind::None:
        return Fail(problem, "is not RefPack-compressed");
    case RefPackKind::OtherScheme:
        problem = Format("uses another compression scheme (0x%02X 0x%02X)", bytes[start],
                         bytes[start + 1]);
        return false;
    case RefPackKind::RefPack:
        break;
    }
    const std::uint8_t flags = bytes[start];
    const std::size_t width = (flags & 0x80) ? 4 : 3;
    // With flag 0x01 the compressed size comes first; it is not needed.
    std::size_t position = start + 2 + ((flags & 0x01) ? width : 0);
    if (bytes.size() < position + width) {
        return Fail(problem, kEndsEarly);
    }
    std::uint32_t size = 0;
    for (std::size_t i = 0; i < width; ++i) {
        size = size << 8 | bytes[position + i];
    }
    header = {start, flags, position + width, size};
    return true;
}

bool UnpackRefPack(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& unpacked,
                   std::string& problem) {
    unpacked.clear();
    RefPackHeader header;
    if (!ReadRefPackHeader(bytes, header, problem)) {
        return false;
    }
    if (header.unpackedSize > kRefPackMaxUnpacked) {
        return Fail(problem, "declares more than 512 MiB unpacked");
    }
    const std::span<const std::uint8_t> commands = bytes.subspan(header.commands);
    if (header.unpackedSize > commands.size() * kMostPerByte) {
        return Fail(problem, "declares more than its data can unpack to");
    }
    unpacked.resize(header.unpackedSize);
    if (!RunCommands(commands.data(), commands.data() + commands.size(), unpacked.data(),
                     unpacked.size(), problem)) {
        unpacked.clear();
        return false;
    }
    return true;
}
