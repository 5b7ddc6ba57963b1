#include "tools/RavTools.h"

#include "gamefiles/ByteOrder.h"
#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "output/Format.h"
#include "output/UiServices.h"
#include "tools/ImageSelection.h"
#include "tools/TplPacker.h"

#include <algorithm>
#include <cassert>
#include <numeric>
#include <span>
#include <string>
#include <vector>

// A TPL layout is text with CR LF line ends: LAYOUT { TPAGE { ... } ... },
// one TPAGE of fixed size per page in page order, each listing a TSLOT with
// the name, size and offsets of every image placed on it, in the archive's
// directory order.

namespace {

constexpr std::int32_t kLargestImage = 256;

// Whether the file still begins with the header and directory that were
// loaded. The sizes are read from the file, not from the loaded directory,
// so another file put in its place meanwhile would give other images' sizes.
bool HoldsLoadedDirectory(std::FILE* file, const CFshFile& archive) {
    const auto count = static_cast<std::size_t>(archive.header.entryCount);
    std::vector<std::uint8_t> bytes(16 + 8 * count);
    if (!ReadAt(file, 0, bytes.data(), bytes.size())) {
        return false;
    }
    const CLeReader in(bytes);
    const auto same4 = [&bytes](std::size_t at, std::span<const char> chars) {
        return std::equal(chars.begin(), chars.begin() + 4, bytes.begin() + at,
                          [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
    };
    if (!same4(0, archive.header.magic) || in.I32(8) != archive.header.entryCount) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const FshEntry* entry = archive.GetEntry(static_cast<std::int32_t>(i));
        if (entry == nullptr || !same4(16 + 8 * i, entry->name) ||
            in.U32(20 + 8 * i) != entry->offset) {
            return false;
        }
    }
    return true;
}

// Slots for the chosen images, in directory order, with the width and height
// read from each image record (u16 at +4 and +6). False after a message;
// every oversized image is reported before that.
bool ReadSlots(CMessageOutput& out, const CFshFile& archive, std::span<const std::uint8_t> chosen,
               std::vector<TplSlot>& slots) {
    const std::string& path = archive.GetPath();
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        out.Output(Format("Error opening %s for reading", path.c_str()), 1);
        return false;
    }
    if (!HoldsLoadedDirectory(file.get(), archive)) {
        out.Output(Format("Error! %s has changed since it was loaded. Aborting", path.c_str()), 1);
        return false;
    }
    bool tooLarge = false;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const FshEntry* entry = archive.GetEntry(static_cast<std::int32_t>(i));
        if (chosen[i] == 0 || entry == nullptr) {
            continue;
        }
        // An image record beyond the end of the file reads as 0 x 0.
        std::uint8_t size[4];
        if (!ReadAt(file.get(), std::uint64_t{entry->offset} + 4, size, sizeof size)) {
            out.Output(Format("Error reading %s", path.c_str()), 1);
            return false;
        }
        const CLeReader in(size);
        TplSlot& slot = slots.emplace_back();
        slot.name = entry->name.data();
        slot.width = in.U16(0);
        slot.height = in.U16(2);
        if (slot.width > kLargestImage || slot.height > kLargestImage) {
            out.Output(Format("Error! Texture %s is larger than 256 pixels (width and/or height) "
                              "(%d x %d px). Aborting",
                              slot.name.c_str(), slot.width, slot.height),
                       1);
            tooLarge = true;
        }
    }
    return !tooLarge;
}

std::string LayoutText(std::span<const TplSlot> slots, std::int32_t highestPage) {
    // A slot on another page would silently drop out of the text.
    assert(std::ranges::all_of(
        slots, [highestPage](const TplSlot& s) { return s.page >= 0 && s.page <= highestPage; }));
    // Slots grouped by page, each page in directory order.
    std::vector<std::size_t> byPage(slots.size());
    std::iota(byPage.begin(), byPage.end(), std::size_t{0});
    std::ranges::stable_sort(byPage, {}, [&slots](std::size_t i) { return slots[i].page; });

    std::string text = "LAYOUT\r\n{\r\n";
    auto next = byPage.begin();
    for (std::int32_t page = 0; page <= highestPage; ++page) {
        text += " TPAGE\r\n {\r\n  WIDTH=256\r\n  HEIGHT=256\r\n";
        for (; next != byPage.end() && slots[*next].page == page; ++next) {
            const TplSlot& s = slots[*next];
            text += Format("  TSLOT\r\n  {\r\n   NAME=%s\r\n   WIDTH=%d\r\n   HEIGHT=%d\r\n"
                           "   UOFFSET=%d\r\n   VOFFSET=%d\r\n  }\r\n",
                           s.name.c_str(), s.width, s.height, s.u, s.v);
        }
        text += " }\r\n";
    }
    text += "}\r\n";
    return text;
}

// Creates or truncates `path` with `text`. A file that could not be written
// whole is removed: half a layout would place only some of the images.
bool WriteLayout(CMessageOutput& out, const std::string& path, const std::string& text) {
    FilePtr file = OpenFile(path, "w+b");
    if (!file) {
        out.Output(Format("Error opening %s for writing", path.c_str()), 1);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    if (!CloseFile(file) || !written) {
        RemoveFile(path);
        out.Output(Format("Error writing %s", path.c_str()), 1);
        return false;
    }
    return true;
}

} // namespace

bool CRavTools::CreateTplLayout(const CFshFile* archive) {
    if (archive == nullptr) {
        return false;
    }
    // The layout is named after the whole archive path, with its last three
    // characters replaced.
    const std::string& path = archive->GetPath();
    if (path.size() < 3) {
        Output(Format("Error! Cannot name a TPL file after %s: the path is shorter than three "
                      "characters",
                      path.c_str()),
               1);
        return false;
    }
    const std::string tplPath = path.substr(0, path.size() - 3) + "tpl";
    if (IsSameFile(tplPath, path)) {
        Output(Format("Error! The TPL file %s would replace the archive itself. Aborting",
                      tplPath.c_str()),
               1);
        return false;
    }

    const std::int32_t imageCount = archive->header.entryCount;
    CImageSelection selection(ImageNames(*archive), imageCount,
                              "%d images of %d selected for tpl creation");
    if (!Services().SelectImages(selection)) {
        return false;
    }

    std::vector<TplSlot> slots;
    slots.reserve(static_cast<std::size_t>(selection.Count()));
    if (!ReadSlots(*this, *archive, selection.Flags(), slots)) {
        return false;
    }

    Output("Generating TPages...", 0);
    const std::vector<std::int32_t> order = TplPlacementOrder(slots);
    const std::int32_t highestPage = PlaceTplSlots(slots, order);
    Output(Format("%d TPages required...writing file", highestPage + 1), 0);
    return WriteLayout(*this, tplPath, LayoutText(slots, highestPage));
}
