#include "PlainRefPack.h"

#include "gamefiles/RefPack.h"

#include <string>

bool PlainUnpackRefPack(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& unpacked) {
    RefPackHeader header;
    std::string problem;
    if (!ReadRefPackHeader(bytes, header, problem) || header.unpackedSize > kRefPackMaxUnpacked) {
        return false;
    }
    unpacked.assign(header.unpackedSize, 0);
    const std::size_t size = unpacked.size();
    std::size_t in = header.commands;
    std::size_t out = 0;
    while (out < size) {
        if (in >= bytes.size()) {
            return false;
        }
        const std::size_t b0 = bytes[in];
        const auto at = [&](std::size_t i) -> std::size_t {
            return in + i < bytes.size() ? bytes[in + i] : 0;
        };
        std::size_t command = 1, literal = 0, length = 0, offset = 0;
        bool stop = false;
        if (b0 < 0x80) {
            command = 2;
            literal = b0 & 3;
            length = ((b0 >> 2) & 7) + 3;
            offset = ((b0 & 0x60) << 3) + at(1) + 1;
        } else if (b0 < 0xC0) {
            command = 3;
            literal = at(1) >> 6;
            length = (b0 & 0x3F) + 4;
            offset = ((at(1) & 0x3F) << 8) + at(2) + 1;
        } else if (b0 < 0xE0) {
            command = 4;
            literal = b0 & 3;
            length = ((b0 & 0x0C) << 6) + at(3) + 5;
            offset = ((b0 & 0x10) << 12) + (at(1) << 8) + at(2) + 1;
        } else if (b0 < 0xFC) {
            literal = ((b0 & 0x1F) << 2) + 4;
        } else {
            literal = b0 & 3;
            stop = true;
        }
        if (in + command + literal > bytes.size() || out + literal + length > size) {
            return false;
        }
        in += command;
        for (std::size_t i = 0; i < literal; ++i) {
            unpacked[out++] = bytes[in++];
        }
        if (offset > out) {
            return false;
        }
        for (std::size_t i = 0; i < length; ++i, ++out) {
            unpacked[out] = unpacked[out - offset];
        }
        if (stop) {
            break;
        }
    }
    return out == size;
}
