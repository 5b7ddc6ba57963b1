#include "filters/FilterTable.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

// The command-line key and file extensions of each slot, in table order.
struct FilterNames {
    std::string_view key;
    std::array<std::string_view, 2> extensions; // empty when unused
};

constexpr std::array<FilterNames, 3> kNames{{
    {"ascii", {".txt", ".asc"}},
    {"dw", {".dw", ""}},
    {"lwo", {".lwo", ""}},
}};

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

CFilterTable::CFilterTable() : m_table{&m_ascii, &m_designWorkshop, &m_lightwave} {
}

CFilter* CFilterTable::Get(std::size_t index) const {
    return index < m_table.size() ? m_table[index] : nullptr;
}

std::size_t CFilterTable::Count() const {
    return static_cast<std::size_t>(std::find(m_table.begin(), m_table.end(), nullptr) -
                                    m_table.begin());
}

int CFilterTable::IndexForKey(std::string_view key) const {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i].key == key && Get(i) != nullptr) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CFilterTable::IndexForPath(std::string_view path) const {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        for (std::string_view extension : kNames[i].extensions) {
            if (!extension.empty() && EndsWithNoCase(path, extension) && Get(i) != nullptr) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}
