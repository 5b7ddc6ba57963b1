#include "support/FshBuilder.h"

#include <algorithm>
#include <stdexcept>

FshTag MakeFshTag(std::string_view text) {
    FshTag tag{};
    for (std::size_t i = 0; i < tag.size() && i < text.size(); ++i) {
        tag[i] = static_cast<std::uint8_t>(text[i]);
    }
    return tag;
}

FshImage MakeFshImage32(std::uint16_t width, std::uint16_t height, std::vector<std::uint8_t> bgra) {
    if (bgra.size() != std::size_t{width} * height * 4) {
        throw std::invalid_argument("a 32-bit FSH image needs width * height * 4 pixel bytes");
    }
    return {0x7D, 0, width, height, std::move(bgra)};
}

ByteImage MakeFshHeader(const FshTag& magic, std::uint32_t fileSize, std::int32_t entryCount,
                        const FshTag& directoryId, const FshDirectory& entries) {
    ByteImage archive;
    archive.PutRaw(0, magic).PutU32(4, fileSize).PutI32(8, entryCount).PutRaw(12, directoryId);
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        archive.PutRaw(16 + 8 * i, entries[i].first).PutU32(20 + 8 * i, entries[i].second);
    }
    return archive;
}

static void PutFshRecord(ByteImage& archive, std::uint32_t offset, const FshImage& image) {
    // The record id shares one little-endian word with the 24-bit block size;
    // the pixels follow the 16-byte record header.
    archive.PutU32(offset, image.recordId | (image.blockSize & 0xFFFFFFu) << 8)
        .PutU16(offset + 4, image.width)
        .PutU16(offset + 6, image.height)
        .PutU16(offset + 14, static_cast<std::uint16_t>(image.mipmaps << 12))
        .PutRaw(offset + 16, image.pixels);
}

std::vector<std::uint8_t> MakeFshEntry(std::vector<FshImage> records) {
    ByteImage entry;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const bool last = i + 1 == records.size();
        records[i].blockSize = last ? 0 : 16 + static_cast<std::uint32_t>(records[i].pixels.size());
        PutFshRecord(entry, entry.Size(), records[i]);
    }
    return entry.Bytes();
}

// The image and its attachments, one after another.
static void PutFshImage(ByteImage& archive, std::uint32_t offset, const FshImage& image) {
    if (image.attachments.empty()) {
        PutFshRecord(archive, offset, image);
        return;
    }
    std::vector<FshImage> records{image};
    records.insert(records.end(), image.attachments.begin(), image.attachments.end());
    archive.PutRaw(offset, MakeFshEntry(std::move(records)));
}

std::vector<std::uint8_t> MakeFshArchive(const std::vector<FshNamedImage>& images,
                                         const FshTag& directoryId) {
    ByteImage archive =
        MakeFshHeader(MakeFshTag("SHPI"), 0, static_cast<std::int32_t>(images.size()), directoryId,
                      FshDirectory(images.size()));
    for (std::uint32_t i = 0; i < images.size(); ++i) {
        archive.Align(16);
        archive.PutRaw(16 + 8 * i, images[i].first).PutU32(20 + 8 * i, archive.Size());
        PutFshImage(archive, archive.Size(), images[i].second);
    }
    // The stated size covers the padding after the last record as well.
    archive.Align(16);
    archive.PutU32(4, archive.Size());
    return archive.Bytes();
}

std::vector<std::uint8_t> MakeFshOfSizes(const std::vector<FshSize>& images) {
    std::vector<FshNamedImage> named;
    for (const auto& [name, width, height] : images) {
        named.emplace_back(MakeFshTag(name),
                           FshImage{.width = width, .height = height, .pixels = {}});
    }
    return MakeFshArchive(named, MakeFshTag("G264"));
}
