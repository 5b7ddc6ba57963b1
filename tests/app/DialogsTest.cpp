#include "app/QtServices.h"

#include "tools/ImageSelection.h"

#include "DialogDriving.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The cap holds while the user clicks, the label counts, and only OK
// hands the flags over.
TEST(DialogsTest, SelectImagesCapsCountsAndAcceptsOnOkOnly) {
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const struct {
        int maxSelected;
        const char* countFormat;
        std::vector<ListClick> clicks;
        const char* button;
        std::vector<std::uint8_t> flags; // what the list shows, and the flags after OK
        QString label;
    } cases[] = {
        // clang-format off
        // Beyond the cap, the row clicked last is taken back.
        {3, "%d images of %d selected for import", {{1, ctrl}, {4, ctrl}, {3, ctrl}}, "1",
         {1, 0, 1, 0, 1}, "3 images of 3 selected for import"},
        {3, "", {{1, ctrl}}, "2", {1, 0, 1, 0, 0}, "999 of 1111 images selected to use in ravfile"},
        // clang-format on
    };
    CQtServices services;
    for (const auto& c : cases) {
        CImageSelection selection({"crw0", "crw1", "crw2", "crw3", "crw4"}, c.maxSelected,
                                  c.countFormat);
        CModalDriver driver([&](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Select images");
            auto* list = dialog->findChild<QListWidget*>("1040");
            ASSERT_EQ(list->count(), 5);
            EXPECT_EQ(list->item(4)->text(), "crw4");
            ClickRows(list, c.clicks);
            std::vector<std::uint8_t> shown;
            for (int row = 0; row < list->count(); ++row) {
                shown.push_back(list->item(row)->isSelected() ? 1 : 0);
            }
            EXPECT_EQ(shown, c.flags);
            EXPECT_EQ(dialog->findChild<QLabel*>("1041")->text(), c.label);
            QTest::mouseClick(dialog->findChild<QPushButton*>(c.button), Qt::LeftButton);
        });
        const bool ok = c.button[0] == '1';
        EXPECT_EQ(services.SelectImages(selection), ok);
        EXPECT_EQ(selection.Flags(), ok ? c.flags : std::vector<std::uint8_t>(5, 0));
        EXPECT_EQ(selection.Count(), ok ? std::count(c.flags.begin(), c.flags.end(), 1) : 5);
    }
}

} // namespace
