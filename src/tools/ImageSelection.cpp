#include "tools/ImageSelection.h"

#include "output/Format.h"

#include <algorithm>
#include <cassert>

CImageSelection::CImageSelection(std::vector<std::string> names, std::int32_t maxSelected,
                                 std::string countFormat)
    : m_flags(names.size(), 0), m_count(static_cast<std::int32_t>(names.size())),
      m_maxSelected(std::max(maxSelected, 0)), m_countFormat(std::move(countFormat)) {
    m_items.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        m_items.push_back({std::move(names[i]), static_cast<std::int32_t>(i),
                           i < static_cast<std::size_t>(m_maxSelected)});
    }
}

std::int32_t CImageSelection::SelectedCount() const {
    return static_cast<std::int32_t>(
        std::ranges::count_if(m_items, [](const Item& item) { return item.selected; }));
}

void CImageSelection::SetSelected(std::size_t index, bool selected) {
    assert(index < m_items.size());
    m_items[index].selected = selected;
}

void CImageSelection::SelectionChanged(std::int32_t caretIndex) {
    std::int32_t selected = SelectedCount();
    if (selected > m_maxSelected && caretIndex >= 0 &&
        static_cast<std::size_t>(caretIndex) < m_items.size()) {
        Item& caret = m_items[static_cast<std::size_t>(caretIndex)];
        selected -= caret.selected ? 1 : 0;
        caret.selected = false;
    }
    for (std::size_t j = 0; selected > m_maxSelected && j < m_items.size(); ++j) {
        selected -= m_items[j].selected ? 1 : 0;
        m_items[j].selected = false;
    }
}

std::optional<std::string> CImageSelection::Label() const {
    if (m_countFormat.empty()) {
        return std::nullopt;
    }
    return Format(m_countFormat.c_str(), SelectedCount(), m_maxSelected);
}

void CImageSelection::Accept() {
    std::ranges::fill(m_flags, std::uint8_t{0});
    m_count = 0;
    for (const Item& item : m_items) {
        if (item.selected) {
            m_flags[static_cast<std::size_t>(item.data)] = 1;
            ++m_count;
        }
    }
}
