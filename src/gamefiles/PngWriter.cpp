#include "gamefiles/PngWriter.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

// A PNG file: an 8-byte signature, then chunks of a big-endian length, a
// 4-letter type, the data and a CRC-32 of type and data. IHDR gives the
// size and pixel layout, IDAT holds the zlib stream of the filtered rows
// (each row led by its filter type), IEND closes the file.

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxSide = 0x7FFFFFFF;
constexpr std::size_t kPixelBytes = 4;
constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 30;

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              std::span<const std::uint8_t> data) {
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, static_cast<std::uint32_t>(
                     crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

std::uint8_t Paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return static_cast<std::uint8_t>(left);
    }
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Writes `row` filtered with `type` (0 none, 1 sub, 2 up, 3 average,
// 4 Paeth) to `out`; `previous` is the row above, zeros for the first.
void FilterRow(int type, const std::uint8_t* row, const std::uint8_t* previous, std::size_t size,
               std::uint8_t* out) {
    for (std::size_t i = 0; i < size; ++i) {
        const int left = i >= kPixelBytes ? row[i - kPixelBytes] : 0;
        const int up = previous[i];
        const int upLeft = i >= kPixelBytes ? previous[i - kPixelBytes] : 0;
        int predicted = 0;
        switch (type) {
        case 1:
            predicted = left;
            break;
        case 2:
            predicted = up;
            break;
        case 3:
            predicted = (left + up) / 2;
            break;
        case 4:
            predicted = Paeth(left, up, upLeft);
            break;
        default:
            break;
        }
        out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    }
}

// The usual choice: the filter whose bytes, read as signed, sum to the
// least in magnitude compresses best more often than not.
std::uint64_t Cost(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sum += static_cast<std::uint64_t>(std::abs(static_cast<std::int8_t>(bytes[i])));
    }
    return sum;
}

std::vector<std::uint8_t> FilterRows(std::uint32_t width, std::uint32_t height,
                                     std::span<const std::uint8_t> rgba) {
    const std::size_t rowBytes = std::size_t{width} * kPixelBytes;
    std::vector<std::uint8_t> filtered((rowBytes + 1) * height);
    const std::vector<std::uint8_t> zeros(rowBytes);
    std::vector<std::uint8_t> trial(rowBytes);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = rgba.data() + y * rowBytes;
        const std::uint8_t* previous = y == 0 ? zeros.data() : row - rowBytes;
        std::uint8_t* out = filtered.data() + y * (rowBytes + 1);
        std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
        for (int type = 0; type <= 4; ++type) {
            FilterRow(type, row, previous, rowBytes, trial.data());
            const std::uint64_t cost = Cost(trial.data(), rowBytes);
            if (cost < best) {
                best = cost;
                out[0] = static_cast<std::uint8_t>(type);
                std::memcpy(out + 1, trial.data(), rowBytes);
            }
        }
    }
    return filtered;
}

} // namespace

bool EncodePng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
               std::vector<std::uint8_t>& png) {
    png.clear();
    // Below 2^31 each, the sides cannot overflow the product.
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        std::uint64_t{width} * height * kPixelBytes != rgba.size()) {
        return false;
    }
    // zlib counts in uLong, which has 32 bits on some systems, and a chunk
    // holds less than 2 GiB.
    if (rgba.size() > kMaxPixelBytes) {
        return false;
    }
    const std::vector<std::uint8_t> filtered = FilterRows(width, height, rgba);
    std::vector<std::uint8_t> deflated(compressBound(static_cast<uLong>(filtered.size())));
    uLongf deflatedSize = static_cast<uLongf>(deflated.size());
    if (compress2(deflated.data(), &deflatedSize, filtered.data(),
                  static_cast<uLong>(filtered.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    deflated.resize(deflatedSize);

    std::vector<std::uint8_t> header;
    PutBe32(header, width);
    PutBe32(header, height);
    // 8 bits per channel, colour type 6 (RGBA), deflate, adaptive filters,
    // no interlace.
    header.insert(header.end(), {8, 6, 0, 0, 0});

    png.reserve(kSignature.size() + 3 * 12 + header.size() + deflated.size());
    png.assign(kSignature.begin(), kSignature.end());
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", deflated);
    PutChunk(png, "IEND", {});
    return true;
}
