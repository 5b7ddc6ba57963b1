#pragma once

#include "filters/AsciiFilter.h"
#include "filters/DesignWorkshopFilter.h"
#include "filters/LightwaveFilter.h"

#include <array>
#include <cstddef>
#include <string_view>

class CFilter;

// The exchange filters in their fixed order; the window's filter list and
// the command-line tool both index this one table, so a filter keeps its
// number everywhere. The table owns the filters.
class CFilterTable {
public:
    // Room for one more format; an empty slot is null.
    static constexpr std::size_t kSlots = 4;

    CFilterTable();
    CFilterTable(const CFilterTable&) = delete;
    CFilterTable& operator=(const CFilterTable&) = delete;

    // The filters in table order; the slots after the last filter are null.
    [[nodiscard]] CFilter* Get(std::size_t index) const;
    // How many leading slots hold a filter.
    [[nodiscard]] std::size_t Count() const;

    // The index of the filter with the command-line key ("ascii", "dw",
    // "lwo") or the one whose file extension `path` has (case-insensitive);
    // -1 when none.
    [[nodiscard]] int IndexForKey(std::string_view key) const;
    [[nodiscard]] int IndexForPath(std::string_view path) const;

    [[nodiscard]] CAsciiFilter& Ascii() { return m_ascii; }

private:
    CAsciiFilter m_ascii;
    CDesignWorkshopFilter m_designWorkshop;
    CLightwaveFilter m_lightwave;
    std::array<CFilter*, kSlots> m_table{};
};
