#include "tools/TplPacker.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <iterator>
#include <memory>
#include <utility>

std::vector<std::int32_t> TplPlacementOrder(std::span<const TplSlot> slots) {
    std::vector<std::int32_t> order(slots.size());
    std::vector<std::int32_t> area(slots.size());
    for (std::size_t i = 0; i < slots.size(); ++i) {
        order[i] = static_cast<std::int32_t>(i);
        area[i] = slots[i].width * slots[i].height;
    }
    for (std::size_t s = 0; s < order.size(); ++s) {
        std::size_t best = s;
        for (std::size_t j = s + 1; j < order.size(); ++j) {
            if (area[j] > area[best]) {
                best = j;
            }
        }
        if (best != s) {
            std::swap(order[s], order[best]);
            std::swap(area[s], area[best]);
        }
    }
    return order;
}

// Placement gives the positions of a first-fit scan that tries, page by page
// and row by row, column u = 0 and then the column after each collision: the
// right edge of the first placed slot in placement order that overlaps, one
// further when u was that slot's last column. That extra step can pass over a
// free position, so the result is not simply the first free position; but it
// is always a free position that the scan tries, and every row starts again
// at u = 0. So a page or a row with no free position at all for W x H cannot
// hold the result and is passed over whole: a page by its free area and the
// tallest free rectangle of width W, a row by the bits of its occupied cells.
// Only rows that do have a free position are scanned jump by jump, meeting
// the same slots first as the literal scan does.
// Slots of area 0 never overlap anything at u = 0, v = 0 (overlap would need
// a slot to the left of column 0 or above row 0) and so all land on page 0 at
// (0, 0); they are not recorded and never block later slots.

namespace {

constexpr std::size_t kSide = kTplPageSize;
constexpr std::size_t kWords = kSide / 64;

// One bit per column of a page row: column c is bit c % 64 of word c / 64.
using RowBits = std::array<std::uint64_t, kWords>;

bool TestBit(const RowBits& bits, std::size_t c) {
    return ((bits[c / 64] >> (c % 64)) & 1U) != 0;
}

// The columns that `slot` covers.
RowBits SlotColumns(const TplSlot& slot) {
    RowBits bits{};
    const auto first = static_cast<std::size_t>(slot.u);
    const auto end = static_cast<std::size_t>(slot.u + slot.width);
    for (std::size_t k = first / 64; k < kWords && k * 64 < end; ++k) {
        const std::size_t from = std::max(first, k * 64) - k * 64;
        const std::size_t to = std::min(end, k * 64 + 64) - k * 64;
        const std::uint64_t ones =
            to - from == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << (to - from)) - 1;
        bits[k] = ones << from;
    }
    return bits;
}

// Bit c of the result is bit c + s of `bits`; columns past the page are 0.
RowBits ShiftDown(const RowBits& bits, std::size_t s) {
    RowBits out{};
    const std::size_t words = s / 64;
    const std::size_t rest = s % 64;
    for (std::size_t k = 0; k + words < kWords; ++k) {
        std::uint64_t word = bits[k + words] >> rest;
        if (rest != 0 && k + words + 1 < kWords) {
            word |= bits[k + words + 1] << (64 - rest);
        }
        out[k] = word;
    }
    return out;
}

// The columns u at which `width` free columns u .. u + width - 1 begin.
RowBits RunStarts(RowBits free, std::size_t width) {
    // Each step keeps the starts of free runs `length` long, doubling it.
    for (std::size_t length = 1; length < width;) {
        const std::size_t step = std::min(length, width - length);
        const RowBits shifted = ShiftDown(free, step);
        for (std::size_t k = 0; k < kWords; ++k) {
            free[k] &= shifted[k];
        }
        length += step;
    }
    return free;
}

// The first set bit at column `from` or later, or kSide.
std::size_t NextBit(const RowBits& bits, std::size_t from) {
    for (std::size_t k = from / 64; k < kWords; ++k) {
        std::uint64_t word = bits[k];
        if (k == from / 64) {
            word &= ~std::uint64_t{0} << (from % 64);
        }
        if (word != 0) {
            return k * 64 + static_cast<std::size_t>(std::countr_zero(word));
        }
    }
    return kSide;
}

using PageRows = std::array<RowBits, kSide>;

// A placed slot's cells: columns left .. right - 1, rows top .. bottom - 1.
struct Rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// The slots placed on one page, its occupied cells, and what is known of its
// free room.
class CTplPage {
public:
    CTplPage() { m_tallest.fill(kTplPageSize); }

    // False when the page surely has no free W x H position. The free area
    // and the tallest free rectangle of each width only shrink as slots are
    // added, so a bound computed earlier still rules out what it ruled out.
    [[nodiscard]] bool MayHold(std::int32_t w, std::int32_t h) const {
        return m_freeArea >= w * h && m_tallest[static_cast<std::size_t>(w)] >= h;
    }

    // Runs the scan over this page for a W x H slot and sets u and v where it
    // stops; false when it leaves the page.
    bool Scan(std::int32_t w, std::int32_t h, std::int32_t& u, std::int32_t& v) const;

    void Add(const TplSlot& slot);

    // After a scan left the page, brings the bound up to date so that later
    // slots it cannot hold pass over it at once. Only then: a page that
    // takes the slot changes anyway.
    void Refresh() {
        if (m_stale) {
            ComputeTallest();
        }
    }

private:
    void ComputeTallest();

    // On the heap, so that the list of pages every slot walks stays small.
    std::unique_ptr<PageRows> m_rows = std::make_unique<PageRows>(); // occupied cells
    std::vector<Rect> m_placed;                                      // in placement order
    std::int32_t m_freeArea = kTplPageSize * kTplPageSize;
    // The tallest free rectangle of each width (index): exact, or an upper
    // bound while m_stale says slots were added since it was computed.
    std::array<std::int16_t, kSide + 1> m_tallest{};
    bool m_stale = false;
};

bool CTplPage::Scan(std::int32_t w, std::int32_t h, std::int32_t& u, std::int32_t& v) const {
    const PageRows& rows = *m_rows;
    const auto width = static_cast<std::size_t>(w);
    const auto height = static_cast<std::size_t>(h);
    std::vector<Rect> band;
    for (std::size_t top = 0; top + height <= kSide;) {
        // The cells that rows top .. top + h - 1 occupy, then those they leave free.
        RowBits free{};
        for (std::size_t r = top; r < top + height; ++r) {
            for (std::size_t k = 0; k < kWords; ++k) {
                free[k] |= rows[r][k];
            }
        }
        std::size_t freeColumns = 0;
        for (std::uint64_t& word : free) {
            word = ~word;
            freeColumns += static_cast<std::size_t>(std::popcount(word));
        }
        const RowBits starts = freeColumns < width ? RowBits{} : RunStarts(free, width);
        if (NextBit(starts, 0) == kSide) {
            // No free position. Nor in the rows below that equal this top
            // row: their bands hold this band's cells and maybe more.
            while (top + 1 < kSide && rows[top + 1] == rows[top]) {
                ++top;
            }
            ++top;
            continue;
        }
        // The row has a free position: follow the scan's jumps through it,
        // with the slots of its band in placement order.
        v = static_cast<std::int32_t>(top);
        band.clear();
        std::copy_if(m_placed.begin(), m_placed.end(), std::back_inserter(band),
                     [&](const Rect& placed) { return placed.top < v + h && placed.bottom > v; });
        // The row is given up once no free position is left to the right.
        std::size_t column = 0;
        while (column + width <= kSide && NextBit(starts, column) < kSide) {
            if (TestBit(starts, column)) {
                u = static_cast<std::int32_t>(column);
                return true;
            }
            // The first slot in placement order that overlaps decides the jump.
            const auto trial = static_cast<std::int32_t>(column);
            const auto hit = std::find_if(band.begin(), band.end(), [&](const Rect& placed) {
                return trial < placed.right && trial + w > placed.left;
            });
            assert(hit != band.end());
            const auto right = static_cast<std::size_t>(hit->right);
            column = column + 1 == right ? column + 2 : right;
        }
        ++top;
    }
    return false;
}

void CTplPage::Add(const TplSlot& slot) {
    const RowBits columns = SlotColumns(slot);
    for (std::int32_t r = slot.v; r < slot.v + slot.height; ++r) {
        for (std::size_t k = 0; k < kWords; ++k) {
            (*m_rows)[static_cast<std::size_t>(r)][k] |= columns[k];
        }
    }
    m_placed.push_back({slot.u, slot.v, slot.u + slot.width, slot.v + slot.height});
    m_freeArea -= slot.width * slot.height;
    m_stale = true;
}

// For every free rectangle that cannot grow up, down, left or right, records
// its height under its width, then lets every width take the height of any
// wider one. Heights count the free cells above and including a row; rows
// come in runs of equal cells, handled at once, and a free rectangle can stop
// growing downwards only where the next row occupies a column that the run
// leaves free, or at the foot of the page.
void CTplPage::ComputeTallest() {
    const PageRows& rows = *m_rows;
    m_tallest.fill(0);
    std::array<std::int16_t, kSide> height{};
    std::array<std::size_t, kSide> stack{};
    for (std::size_t first = 0; first < kSide;) {
        const RowBits& row = rows[first];
        std::size_t last = first;
        while (last + 1 < kSide && rows[last + 1] == row) {
            ++last;
        }
        const auto runRows = static_cast<std::int16_t>(last - first + 1);
        for (std::size_t c = 0; c < kSide; ++c) {
            height[c] =
                TestBit(row, c) ? std::int16_t{0} : static_cast<std::int16_t>(height[c] + runRows);
        }
        first = last + 1;
        bool grows = first < kSide;
        for (std::size_t k = 0; grows && k < kWords; ++k) {
            grows = (rows[first][k] & ~row[k]) == 0;
        }
        if (grows) {
            continue;
        }
        // The widest rectangle of each bar's height, by a stack of rising bars.
        std::size_t depth = 0;
        for (std::size_t c = 0; c <= kSide; ++c) {
            const std::int16_t bar = c < kSide ? height[c] : std::int16_t{0};
            while (depth > 0 && height[stack[depth - 1]] >= bar) {
                const std::int16_t tall = height[stack[--depth]];
                const std::size_t left = depth > 0 ? stack[depth - 1] + 1 : 0;
                m_tallest[c - left] = std::max(m_tallest[c - left], tall);
            }
            if (c < kSide) {
                stack[depth++] = c;
            }
        }
    }
    for (std::size_t width = kSide; width-- > 0;) {
        m_tallest[width] = std::max(m_tallest[width], m_tallest[width + 1]);
    }
    m_stale = false;
}

} // namespace

std::int32_t PlaceTplSlots(std::span<TplSlot> slots, std::span<const std::int32_t> order) {
    std::vector<CTplPage> pages;
    for (const std::int32_t index : order) {
        TplSlot& slot = slots[static_cast<std::size_t>(index)];
        assert(slot.width >= 0 && slot.width <= kTplPageSize);
        assert(slot.height >= 0 && slot.height <= kTplPageSize);
        slot.page = 0;
        slot.u = 0;
        slot.v = 0;
        if (slot.width == 0 || slot.height == 0) {
            continue;
        }
        std::size_t p = 0;
        for (; p < pages.size(); ++p) {
            if (!pages[p].MayHold(slot.width, slot.height)) {
                continue;
            }
            if (pages[p].Scan(slot.width, slot.height, slot.u, slot.v)) {
                break;
            }
            pages[p].Refresh();
        }
        if (p == pages.size()) {
            // Every page so far was passed over: a new one takes it at (0, 0).
            pages.emplace_back();
            slot.u = 0;
            slot.v = 0;
        }
        slot.page = static_cast<std::int32_t>(p);
        pages[p].Add(slot);
    }
    return pages.empty() ? 0 : static_cast<std::int32_t>(pages.size()) - 1;
}
