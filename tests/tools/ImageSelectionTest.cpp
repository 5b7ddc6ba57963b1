#include "tools/ImageSelection.h"
#include "output/Format.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using Indices = std::set<std::size_t>;

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
        {0, {3, 4}, 4, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        CImageSelection selection(std::vector<std::string>(8, "im"), c.max, "%d of %d");
        for (std::size_t i = 0; i < 8; ++i) {
            selection.SetSelected(i, c.clicked.contains(i));
        }
        selection.SelectionChanged(c.caret);
        Indices selected;
        for (std::size_t i = 0; i < 8; ++i) {
            if (selection.Items()[i].selected) {
                selected.insert(i);
            }
        }
        EXPECT_EQ(selected, c.selected) << "caret " << c.caret;
        EXPECT_EQ(selection.Label(), Format("%zu of %d", c.selected.size(), c.max));
        EXPECT_EQ(selection.Count(), 8);
    }
}

} // namespace
