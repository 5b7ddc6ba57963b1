#include "tools/ImageSelection.h"
#include "output/Format.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using Indices = std::set<std::size_t>;

CImageSelection Selection(std::size_t count, std::int32_t max, std::string format) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back("im" + std::to_string(i));
    }
    return {names, max, std::move(format)};
}

Indices Selected(const CImageSelection& selection) {
    Indices selected;
    for (std::size_t i = 0; i < selection.Items().size(); ++i) {
        if (selection.Items()[i].selected) {
            selected.insert(i);
        }
    }
    return selected;
}

// Above the maximum the caret item goes first, then items from index 0
// upward, selected or not, until the maximum holds. Until OK (which the tool
// tests press) the count is the number of names.
TEST(ImageSelection, SelectionChangeCapsAtTheMaximum) {
    // clang-format off
    const struct {
        std::int32_t max; Indices clicked; std::int32_t caret; Indices selected;
    } cases[] = {
        {3, {0, 2, 3, 4, 5, 7}, 5, {3, 4, 7}},
        {3, {0, 1, 2, 3, 4}, 7, {2, 3, 4}}, // the caret item is not selected
        {2, {1, 3, 5, 7}, -1, {5, 7}},
        {3, {2, 4, 6}, 6, {2, 4, 6}},
        {0, {3, 4}, 4, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        CImageSelection selection = Selection(8, c.max, "%d of %d");
        for (std::size_t i = 0; i < 8; ++i) {
            selection.SetSelected(i, c.clicked.contains(i));
        }
        selection.SelectionChanged(c.caret);
        EXPECT_EQ(Selected(selection), c.selected) << "caret " << c.caret;
        EXPECT_EQ(selection.Label(), Format("%zu of %d", c.selected.size(), c.max));
        EXPECT_EQ(selection.Count(), 8);
    }
}

} // namespace
