#include "tools/RavTools.h"

#include "gamefiles/FileIo.h"
#include "gamefiles/FshFile.h"
#include "gamefiles/PngWriter.h"
#include "output/Format.h"
#include "tools/ImageSelection.h"
#include "tools/ToolDialogs.h"
#include "tools/TplPacker.h"
#include "tools/TplPages.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
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

// Slots for the chosen images, in directory order, with the width and height
// of each image as the archive file holds it now: another file put in its
// place since the load would give other images' sizes, so it must still hold
// the directory that was loaded. False after a message; every oversized
// image is reported before that.
bool ReadSlots(CMessageOutput& out, const CFshFile& archive, std::span<const std::uint8_t> chosen,
               std::vector<TplSlot>& slots) {
    const std::string& path = archive.GetPath();
    std::vector<std::uint8_t> bytes;
    {
        FilePtr file = OpenFile(path, "rb");
        if (!file) {
            out.FailWithReason(Format("Error opening %s for reading", path.c_str()), errno);
            return false;
        }
        if (!ReadToEnd(file.get(), bytes)) {
            out.FailWithReason(Format("Error reading %s", path.c_str()), errno);
            return false;
        }
    }
    CFshFile now;
    now.SetOutput([](const char*, int, Severity) {}); // its complaints mean "changed"
    if (!now.LoadBytes(std::move(bytes), path, 1) || !now.SameDirectory(archive)) {
        out.Fail(Format("Error! %s has changed since it was loaded. Aborting", path.c_str()));
        return false;
    }
    bool tooLarge = false;
    for (std::size_t i = 0; i < chosen.size() && i < now.Entries().size(); ++i) {
        if (chosen[i] == 0) {
            continue;
        }
        const auto index = static_cast<std::int32_t>(i);
        const FshRecordHeader record = now.RecordHeader(index);
        TplSlot& slot = slots.emplace_back();
        slot.entry = index;
        slot.name = now.Entries()[i].name.data();
        slot.width = record.width;
        slot.height = record.height;
        if (slot.width > kLargestImage || slot.height > kLargestImage) {
            out.Fail(Format("Error! Texture %s is larger than 256 pixels (width and/or height) "
                            "(%d x %d px). Aborting",
                            slot.name.c_str(), slot.width, slot.height));
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

// Half a layout would place only some of the images: the file (the layout
// or a page's picture) is written whole or not at all, and an earlier one
// stays as it was.
bool WriteWhole(CMessageOutput& out, const std::string& path, std::span<const std::uint8_t> bytes) {
    std::error_code error;
    switch (WriteWholeFile(path, bytes, &error)) {
    case CWholeFileWriter::Failure::None:
        return true;
    case CWholeFileWriter::Failure::Open:
        out.FailWithReason(Format("Error opening %s for writing", path.c_str()), error);
        return false;
    case CWholeFileWriter::Failure::Write:
        break;
    }
    out.FailWithReason(Format("Error writing %s", path.c_str()), error);
    return false;
}

// "crowd.tpl" gives crowd-page0.png, crowd-page1.png...: each page as the
// game would fill it, to check a layout by eye.
bool WritePages(CMessageOutput& out, const CFshFile& archive, std::span<const TplSlot> slots,
                std::int32_t pages, const std::string& tplPath) {
    std::vector<std::string> problems;
    const auto composed = ComposeTplPages(archive, slots, pages, problems);
    for (const std::string& problem : problems) {
        out.Fail(Format("Error! Image %s", problem.c_str()));
    }
    const std::size_t dot = tplPath.rfind('.');
    const std::string stem = tplPath.substr(0, dot);
    std::vector<std::uint8_t> png;
    for (std::size_t page = 0; page < composed.size(); ++page) {
        const std::string path = Format("%s-page%zu.png", stem.c_str(), page);
        if (!EncodePng(kTplPageSize, kTplPageSize, composed[page], png)) {
            out.Fail(Format("Error writing %s", path.c_str()));
            return false;
        }
        if (!WriteWhole(out, path, png)) {
            return false;
        }
        out.Output(Format("Written %s", path.c_str()), 0);
    }
    return problems.empty();
}

} // namespace

bool CRavTools::CreateTplLayout(const CFshFile* archive, bool pictures) {
    if (archive == nullptr) {
        return false;
    }
    const std::string& path = archive->GetPath();
    const std::string tplPath = TplPathFor(path);
    if (IsSameFile(tplPath, path)) {
        Fail(Format("Error! The TPL file %s would replace the archive itself. Aborting",
                    tplPath.c_str()));
        return false;
    }

    const std::int32_t imageCount = archive->header.entryCount;
    CImageSelection selection(ImageNames(*archive), imageCount,
                              "%d images of %d selected for tpl creation");
    if (!Dialogs().SelectImages(selection, *archive)) {
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
    const std::string text = LayoutText(slots, highestPage);
    if (!WriteWhole(*this, tplPath,
                    std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
        return false;
    }
    Output(Format("TPL layout written to %s", tplPath.c_str()), 0);
    return !pictures || WritePages(*this, *archive, slots, highestPage + 1, tplPath);
}
