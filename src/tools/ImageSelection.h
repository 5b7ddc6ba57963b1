#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the "Select images" dialog does, without a toolkit: a list of image
// names in which at most a given number may be selected, the count label, and
// on OK one flag per image and the number chosen. The window's dialog shows
// the items and forwards each selection change; the command-line tool sets
// the selection from its arguments.
class CImageSelection {
public:
    struct Item {
        std::string name;
        // Index of the name in the caller's list: the flag that OK sets.
        std::int32_t data = 0;
        bool selected = false;
    };

    // One item per name, in order. The first min(count, maxSelected) items
    // start selected; a negative maximum counts as 0. `countFormat` is a
    // printf format with two %d (selected, maximum); empty keeps the label's
    // placeholder.
    CImageSelection(std::vector<std::string> names, std::int32_t maxSelected,
                    std::string countFormat);

    [[nodiscard]] const std::vector<Item>& Items() const { return m_items; }
    [[nodiscard]] std::int32_t MaxSelected() const { return m_maxSelected; }
    [[nodiscard]] std::int32_t SelectedCount() const;

    // Changes one item as the list does on a click; nothing is capped until
    // SelectionChanged.
    void SetSelected(std::size_t index, bool selected);

    // After a change by the user: above the maximum, the item with the caret
    // (the one just clicked; -1 for none) is deselected first, then items from
    // index 0 upward until the maximum holds.
    void SelectionChanged(std::int32_t caretIndex);

    // The count label, or nothing when the placeholder stays.
    [[nodiscard]] std::optional<std::string> Label() const;

    // OK: sets the flag of every selected item's data to 1 and the others to
    // 0, and the count to the number chosen. Cancel calls nothing, so the
    // flags stay 0 and the count stays the number of names.
    void Accept();

    [[nodiscard]] const std::vector<std::uint8_t>& Flags() const { return m_flags; }
    [[nodiscard]] std::int32_t Count() const { return m_count; }

private:
    std::vector<Item> m_items;
    std::vector<std::uint8_t> m_flags;
    std::int32_t m_count = 0;
    std::int32_t m_maxSelected = 0;
    std::string m_countFormat;
};
