#pragma once

#include "filters/Filter.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// The exchange filters in their fixed order, one row each in
// FilterTable.cpp. The window's filter list, the command-line tool and the
// fuzz targets all index this one table, so a filter keeps its number
// everywhere. The table owns the filters.
class CFilterTable {
public:
    CFilterTable();
    CFilterTable(const CFilterTable&) = delete;
    CFilterTable& operator=(const CFilterTable&) = delete;

    // The filter at `index` in table order; null past the last one.
    [[nodiscard]] CFilter* Get(std::size_t index) const;
    [[nodiscard]] std::size_t Count() const { return m_filters.size(); }

    // The index of the filter with the command-line key, or of the one
    // whose file extension `path` has (both without regard to case); -1
    // when none.
    [[nodiscard]] int IndexForKey(std::string_view key) const;
    [[nodiscard]] int IndexForPath(std::string_view path) const;

private:
    std::vector<std::unique_ptr<CFilter>> m_filters;
};
