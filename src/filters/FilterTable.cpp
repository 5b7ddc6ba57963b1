#include "filters/FilterTable.h"

#include "filters/AsciiFilter.h"
#include "filters/DesignWorkshopFilter.h"
#include "filters/LightwaveFilter.h"
#include "filters/ObjFilter.h"
#include "gamefiles/AsciiCase.h"

#include <algorithm>

namespace {

template <typename Filter> std::unique_ptr<CFilter> Make() {
    return std::make_unique<Filter>();
}

// One row per filter, in table order. A new filter brings its own files,
// one row here, and its key in the fuzz targets' list.
constexpr std::unique_ptr<CFilter> (*kRows[])() = {
    Make<CAsciiFilter>,
    Make<CDesignWorkshopFilter>,
    Make<CLightwaveFilter>,
    Make<CObjFilter>,
};

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

CFilterTable::CFilterTable() {
    for (const auto make : kRows) {
        m_filters.push_back(make());
    }
}

CFilter* CFilterTable::Get(std::size_t index) const {
    return index < m_filters.size() ? m_filters[index].get() : nullptr;
}

int CFilterTable::IndexForKey(std::string_view key) const {
    for (std::size_t i = 0; i < m_filters.size(); ++i) {
        if (EqualNoCase(m_filters[i]->Traits().key, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CFilterTable::IndexForPath(std::string_view path) const {
    for (std::size_t i = 0; i < m_filters.size(); ++i) {
        for (const std::string_view extension : FilterExtensions(m_filters[i]->Traits())) {
            if (EndsWithNoCase(path, extension)) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}
