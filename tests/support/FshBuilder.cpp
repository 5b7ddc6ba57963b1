#include "support/FshBuilder.h"

#include <algorithm>
#include <stdexcept>

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::size_t AlignTo16(std::size_t size) {
    return (size + 15) / 16 * 16;
}

} // namespace

FshTag MakeFshTag(std::string_view text) {
    FshTag tag{};
    for (std::size_t i = 0; i < tag.size() && i < text.size(); ++i) {
        tag[i] = static_cast<std::uint8_t>(text[i]);
    }
    return tag;
}

std::vector<std::uint8_t> EncodeFshImage(const FshImage& image) {
    std::vector<std::uint8_t> out;
    // The record id shares one little-endian word with the 24-bit block size.
    PutU32(out, image.recordId | (image.blockSize & 0xFFFFFFu) << 8);
    PutU16(out, image.width);
    PutU16(out, image.height);
    for (const std::uint16_t word : image.misc) {
        PutU16(out, word);
    }
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}

FshImage MakeFshImage32(std::uint16_t width, std::uint16_t height, std::vector<std::uint8_t> bgra) {
    if (bgra.size() != std::size_t{width} * height * 4) {
        throw std::invalid_argument("a 32-bit FSH image needs width * height * 4 pixel bytes");
    }
    FshImage image;
    image.recordId = 0x7D;
    image.width = width;
    image.height = height;
    image.pixels = std::move(bgra);
    return image;
}

FshBuilder& FshBuilder::Header(const FshTag& magic, std::uint32_t fileSize, std::int32_t entryCount,
                               const FshTag& directoryId) {
    Append(magic);
    PutU32(m_bytes, fileSize);
    PutU32(m_bytes, static_cast<std::uint32_t>(entryCount));
    return Append(directoryId);
}

FshBuilder& FshBuilder::Entry(const FshTag& name, std::uint32_t offset) {
    Append(name);
    PutU32(m_bytes, offset);
    return *this;
}

FshBuilder& FshBuilder::Append(std::span<const std::uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

FshBuilder& FshBuilder::Gap(std::size_t size, std::uint8_t fill) {
    m_bytes.insert(m_bytes.end(), size, fill);
    return *this;
}

FshBuilder& FshBuilder::PutAt(std::size_t offset, std::span<const std::uint8_t> bytes) {
    if (m_bytes.size() < offset + bytes.size()) {
        m_bytes.resize(offset + bytes.size());
    }
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return *this;
}

FshBuilder& FshBuilder::ImageAt(std::size_t offset, const FshImage& image) {
    return PutAt(offset, EncodeFshImage(image));
}

FshBuilder& FshBuilder::Truncate(std::size_t size) {
    m_bytes.resize(std::min(size, m_bytes.size()));
    return *this;
}

std::vector<std::uint8_t> MakeFshArchive(const std::vector<FshNamedImage>& images,
                                         const FshTag& directoryId) {
    std::vector<std::vector<std::uint8_t>> records;
    std::vector<std::uint32_t> offsets;
    std::size_t end = AlignTo16(16 + 8 * images.size());
    for (const FshNamedImage& named : images) {
        records.push_back(EncodeFshImage(named.image));
        offsets.push_back(static_cast<std::uint32_t>(end));
        end = AlignTo16(end + records.back().size());
    }

    FshBuilder builder;
    builder.Header(MakeFshTag("SHPI"), static_cast<std::uint32_t>(end),
                   static_cast<std::int32_t>(images.size()), directoryId);
    for (std::size_t i = 0; i < images.size(); ++i) {
        builder.Entry(images[i].name, offsets[i]);
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        builder.PutAt(offsets[i], records[i]);
    }
    // The stated size covers the padding after the last record as well.
    builder.PutAt(end, {});
    return builder.Bytes();
}
