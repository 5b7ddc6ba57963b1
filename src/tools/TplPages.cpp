#include "tools/TplPages.h"

#include "gamefiles/FshFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kPageBytes = std::size_t{kTplPageSize} * kTplPageSize * 4;

// The layout's words, one per line, each line "KEY=VALUE", "{", "}" or a
// block name; spaces and CR around them do not count.
class CLayoutLines {
public:
    explicit CLayoutLines(std::string_view text) : m_text(text) {}

    [[nodiscard]] bool Next(std::string_view& line) {
        while (m_at < m_text.size()) {
            const std::size_t end = std::min(m_text.find('\n', m_at), m_text.size());
            line = m_text.substr(m_at, end - m_at);
            m_at = end + 1;
            ++m_number;
            while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
                line.remove_prefix(1);
            }
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) {
                line.remove_suffix(1);
            }
            if (!line.empty()) {
                return true;
            }
        }
        return false;
    }
    [[nodiscard]] int Number() const { return m_number; }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
    int m_number = 0;
};

bool ReadNumber(std::string_view text, std::int32_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The fields of one TSLOT block, after its "{", up to its "}".
bool ReadSlot(CLayoutLines& lines, TplSlot& slot, std::string& problem) {
    std::string_view line;
    while (lines.Next(line)) {
        if (line == "}") {
            return true;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        std::int32_t* number = key == "WIDTH"     ? &slot.width
                               : key == "HEIGHT"  ? &slot.height
                               : key == "UOFFSET" ? &slot.u
                               : key == "VOFFSET" ? &slot.v
                                                  : nullptr;
        if (key == "NAME" && equals != std::string_view::npos) {
            slot.name = value;
        } else if (number == nullptr || !ReadNumber(value, *number)) {
            problem = "line " + std::to_string(lines.Number()) + " is not a slot's field";
            return false;
        }
    }
    problem = "a slot has no end";
    return false;
}

bool Expect(CLayoutLines& lines, std::string_view wanted, std::string& problem) {
    std::string_view line;
    if (lines.Next(line) && line == wanted) {
        return true;
    }
    problem = "\"" + std::string(wanted) + "\" expected at line " + std::to_string(lines.Number());
    return false;
}

} // namespace

std::string TplPathFor(const std::string& archivePath) {
    const std::size_t nameStart = archivePath.find_last_of("/\\") + 1;
    const bool hasExtension =
        archivePath.size() >= nameStart + 5 && archivePath[archivePath.size() - 4] == '.';
    return hasExtension ? archivePath.substr(0, archivePath.size() - 3) + "tpl"
                        : archivePath + ".tpl";
}

bool ReadTplLayout(std::string_view text, std::vector<TplSlot>& slots, std::int32_t& pages,
                   std::string& problem) {
    slots.clear();
    pages = 0;
    CLayoutLines lines(text);
    if (!Expect(lines, "LAYOUT", problem) || !Expect(lines, "{", problem)) {
        return false;
    }
    std::string_view line;
    while (lines.Next(line)) {
        if (line == "}") {
            return true;
        }
        if (line != "TPAGE" || !Expect(lines, "{", problem)) {
            problem = problem.empty() ? "line " + std::to_string(lines.Number()) + " is not a page"
                                      : problem;
            return false;
        }
        while (lines.Next(line) && line != "}") {
            if (line.starts_with("WIDTH=") || line.starts_with("HEIGHT=")) {
                continue; // every page is 256 x 256
            }
            TplSlot& slot = slots.emplace_back();
            slot.page = pages;
            if (line != "TSLOT" || !Expect(lines, "{", problem) ||
                !ReadSlot(lines, slot, problem)) {
                problem = problem.empty()
                              ? "line " + std::to_string(lines.Number()) + " is not a slot"
                              : problem;
                return false;
            }
        }
        ++pages;
    }
    problem = "the layout has no end";
    return false;
}

void MatchTplSlots(const CFshFile& archive, std::span<TplSlot> slots) {
    std::vector<bool> taken(archive.Entries().size());
    for (TplSlot& slot : slots) {
        slot.entry = -1;
        for (std::size_t i = 0; i < taken.size(); ++i) {
            const auto index = static_cast<std::int32_t>(i);
            const FshRecordHeader record = archive.RecordHeader(index);
            if (!taken[i] && slot.name == archive.Entries()[i].name.data() &&
                record.width == slot.width && record.height == slot.height) {
                taken[i] = true;
                slot.entry = index;
                break;
            }
        }
    }
}

std::vector<std::vector<std::uint8_t>> ComposeTplPages(const CFshFile& archive,
                                                       std::span<const TplSlot> slots,
                                                       std::int32_t pages,
                                                       std::vector<std::string>& problems) {
    std::vector<std::vector<std::uint8_t>> composed(static_cast<std::size_t>(std::max(pages, 0)));
    for (auto& page : composed) {
        page.assign(kPageBytes, 0);
    }
    CFshImage image;
    for (const TplSlot& slot : slots) {
        if (slot.page < 0 || slot.page >= pages || slot.entry < 0) {
            continue;
        }
        std::string problem;
        if (!archive.DecodeImage(slot.entry, image, problem)) {
            problems.push_back(slot.name + " " + problem);
            continue;
        }
        std::vector<std::uint8_t>& page = composed[static_cast<std::size_t>(slot.page)];
        // Clipped to the page: a layout read from a file may place anything
        // anywhere.
        const std::int64_t left = std::max(slot.u, 0), top = std::max(slot.v, 0);
        const std::int64_t right = std::min<std::int64_t>(std::int64_t{slot.u} + image.width, kTplPageSize);
        const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{slot.v} + image.height, kTplPageSize);
        if (right <= left) {
            continue;
        }
        for (std::int64_t y = top; y < bottom; ++y) {
            const std::size_t from =
                (std::size_t(y - slot.v) * image.width + std::size_t(left - slot.u)) * 4;
            std::memcpy(page.data() + (std::size_t(y) * kTplPageSize + std::size_t(left)) * 4,
                        image.rgba.data() + from, std::size_t(right - left) * 4);
        }
    }
    return composed;
}
