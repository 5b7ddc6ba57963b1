#include "app/QtServices.h"

#include "app/ThumbnailList.h"
#include "gamefiles/FshFile.h"
#include "support/FshBuilder.h"

#include "tools/ImageSelection.h"

#include "DialogDriving.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

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
    // Five images; the last claims more pixels than it holds.
    std::vector<FshNamedImage> images;
    for (const char* name : {"crw0", "crw1", "crw2", "crw3", "crw4"}) {
        images.emplace_back(MakeFshTag(name), MakeFshImage32(2, 4, std::vector<std::uint8_t>(32, 0x80)));
    }
    images.back().second.height = 64;
    CFshFile archive;
    ASSERT_TRUE(archive.LoadBytes(MakeFshArchive(images, MakeFshTag("GIMX")), "crowd.fsh", 1));
    CQtServices services;
    for (const auto& c : cases) {
        CImageSelection selection({"crw0", "crw1", "crw2", "crw3", "crw4"}, c.maxSelected,
                                  c.countFormat);
        CModalDriver driver([&](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Select images");
            auto* list = dialog->findChild<QListWidget*>("1040");
            ASSERT_EQ(list->count(), 5);
            EXPECT_EQ(list->item(4)->text(), "crw4");
            // Every row in view gets its picture and size; the broken one
            // says why in its tooltip.
            QTest::qWait(1);
            for (int row = 0; row < 5; ++row) {
                const QListWidgetItem* item = list->item(row);
                EXPECT_TRUE(item->data(CThumbnailList::kShownRole).toBool()) << row;
                EXPECT_EQ(item->data(CThumbnailList::kSizeRole).toString(), row < 4 ? "2 x 4" : "2 x 64");
                EXPECT_EQ(item->toolTip().isEmpty(), row != 4) << row;
            }
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
        EXPECT_EQ(services.SelectImages(selection, archive), ok);
        EXPECT_EQ(selection.Flags(), ok ? c.flags : std::vector<std::uint8_t>(5, 0));
        EXPECT_EQ(selection.Count(), ok ? std::count(c.flags.begin(), c.flags.end(), 1) : 5);
    }
}

} // namespace
