#include "tools/ImageSelection.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using Indices = std::set<std::size_t>;

std::vector<std::string> Names(std::size_t count) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back("im" + std::to_string(i));
    }
    return names;
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

// The first min(count, maximum) items start selected; the label shows the
// selected count and the maximum, or keeps its placeholder without a format.
TEST(ImageSelection, PreselectsUpToTheMaximumAndLabelsTheCount) {
    const struct {
        std::size_t count;
        std::int32_t max;
        std::string format;
        Indices selected;
        std::optional<std::string> label;
    } cases[] = {
        {5,
         3,
         "%d images of %d selected for import",
         {0, 1, 2},
         "3 images of 3 selected for import"},
        {2,
         10,
         "%d images of %d selected for import",
         {0, 1},
         "2 images of 10 selected for import"},
        {4,
         4,
         "%d images of %d selected for tpl creation",
         {0, 1, 2, 3},
         "4 images of 4 selected for tpl creation"},
        {3, 0, "%d images of %d selected for import", {}, "0 images of 0 selected for import"},
        {3, -4, "%d images of %d selected for import", {}, "0 images of 0 selected for import"},
        {0, 5, "%d images of %d selected for import", {}, "0 images of 5 selected for import"},
        {3, 2, "", {0, 1}, std::nullopt},
    };
    for (const auto& c : cases) {
        const CImageSelection selection(Names(c.count), c.max, c.format);
        SCOPED_TRACE(testing::Message() << c.count << " of max " << c.max);
        EXPECT_EQ(Selected(selection), c.selected);
        EXPECT_EQ(selection.Label(), c.label);
        for (std::size_t i = 0; i < c.count; ++i) {
            EXPECT_EQ(selection.Items()[i].name, "im" + std::to_string(i));
            EXPECT_EQ(selection.Items()[i].data, static_cast<std::int32_t>(i));
        }
    }
}

// Above the maximum the caret item goes first, then items from index 0
// upward, selected or not, until the maximum holds.
TEST(ImageSelection, SelectionChangeCapsAtTheMaximum) {
    const struct {
        const char* what;
        std::int32_t max;
        Indices clicked;
        std::int32_t caret;
        Indices selected;
    } cases[] = {
        {"one over", 3, {0, 1, 2, 6}, 6, {0, 1, 2}},
        {"three over", 3, {0, 2, 3, 4, 5, 7}, 5, {3, 4, 7}},
        {"caret not selected", 3, {0, 1, 2, 3, 4}, 7, {2, 3, 4}},
        {"no caret", 2, {1, 3, 5, 7}, -1, {5, 7}},
        {"at the maximum", 3, {2, 4, 6}, 6, {2, 4, 6}},
        {"maximum 0", 0, {3, 4}, 4, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CImageSelection selection(Names(8), c.max, "%d of %d");
        for (std::size_t i = 0; i < 8; ++i) {
            selection.SetSelected(i, c.clicked.contains(i));
        }
        selection.SelectionChanged(c.caret);
        EXPECT_EQ(Selected(selection), c.selected);
        EXPECT_EQ(selection.Label(),
                  std::to_string(c.selected.size()) + " of " + std::to_string(c.max));
    }
}

// OK writes one flag per name through the items' data and the number
// chosen; without it the flags stay 0 and the count the number of names.
TEST(ImageSelection, AcceptWritesFlagsAndCount) {
    CImageSelection selection(Names(5), 5, "");
    EXPECT_EQ(selection.Flags(), (std::vector<std::uint8_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(selection.Count(), 5);
    selection.SetSelected(0, false);
    selection.SetSelected(3, false);
    selection.Accept();
    EXPECT_EQ(selection.Flags(), (std::vector<std::uint8_t>{0, 1, 1, 0, 1}));
    EXPECT_EQ(selection.Count(), 3);
    for (std::size_t i = 0; i < 5; ++i) {
        selection.SetSelected(i, false);
    }
    selection.Accept();
    EXPECT_EQ(selection.Flags(), (std::vector<std::uint8_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(selection.Count(), 0);
}

} // namespace
