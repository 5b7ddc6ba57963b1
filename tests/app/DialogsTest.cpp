#include "app/QtServices.h"

#include "filters/AsciiSettingsFields.h"
#include "tools/ImageSelection.h"

#include "DialogDriving.h"
#include "QtPrinters.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <tuple>

namespace {

auto Tie(const AsciiSettingsFields& f) {
    return std::tie(f.m_exportVertexes, f.m_exportPlacements, f.m_exportTextures, f.m_exportOrder,
                    f.m_accuracy, f.m_exportShading);
}

constexpr std::pair<const char*, int AsciiSettingsFields::*> kCheckBoxes[] = {
    {"1100", &AsciiSettingsFields::m_exportVertexes},
    {"1101", &AsciiSettingsFields::m_exportPlacements},
    {"1102", &AsciiSettingsFields::m_exportTextures},
    {"1103", &AsciiSettingsFields::m_exportOrder},
    {"1105", &AsciiSettingsFields::m_exportShading}};

TEST(DialogsTest, AsciiSettingsShowFieldsAndWriteThemBackOnOkOnly) {
    const struct {
        AsciiSettingsFields initial;
        std::vector<const char*> clicks;
        const char* typed; // replaces the accuracy text unless null
        const char* button;
        AsciiSettingsFields expected;
    } cases[] = {
        // The accuracy edit takes digits only.
        {{1, 0, 1, 0, "6", 0}, {"1101", "1105", "1100"}, "12ab", "1", {0, 1, 1, 0, "12", 1}},
        {{0, 1, 0, 1, "", 1}, {"1103"}, nullptr, "1", {0, 1, 0, 0, "", 1}},
        {{1, 0, 1, 0, "6", 0},
         {"1100", "1101", "1102", "1103", "1105"},
         "9",
         "2",
         {1, 0, 1, 0, "6", 0}},
    };
    CQtServices services;
    for (const auto& c : cases) {
        AsciiSettingsFields fields = c.initial;
        CModalDriver driver([&](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "ASCII Filter Settings");
            for (const auto& [id, field] : kCheckBoxes) {
                EXPECT_EQ(dialog->findChild<QCheckBox*>(id)->isChecked(), c.initial.*field != 0);
            }
            auto* accuracy = dialog->findChild<QLineEdit*>("1104");
            EXPECT_EQ(accuracy->text().toStdString(), c.initial.m_accuracy);
            for (const char* id : c.clicks) {
                QTest::mouseClick(dialog->findChild<QCheckBox*>(id), Qt::LeftButton);
            }
            if (c.typed) {
                QTest::keyClick(accuracy, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(accuracy, Qt::Key_Backspace);
                QTest::keyClicks(accuracy, c.typed);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(c.button), Qt::LeftButton);
        });
        EXPECT_EQ(services.EditAsciiSettings(fields), c.button[0] == '1');
        EXPECT_EQ(Tie(fields), Tie(c.expected));
    }
}

TEST(DialogsTest, SelectImagesCapsCountsAndAcceptsOnOkOnly) {
    const char* import = "%d images of %d selected for import";
    const char* tpl = "%d images of %d selected for tpl creation";
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const struct {
        int maxSelected;
        const char* countFormat;
        std::vector<ListClick> clicks;
        const char* button;
        std::vector<std::uint8_t> flags; // what the list shows, and the flags after OK
        QString label;
    } cases[] = {
        // clang-format off
        {3, import, {}, "1", {1, 1, 1, 0, 0}, "3 images of 3 selected for import"},
        // Beyond the cap, the row clicked last is taken back ...
        {3, import, {{1, ctrl}, {4, ctrl}, {3, ctrl}}, "1", {1, 0, 1, 0, 1},
         "3 images of 3 selected for import"},
        // ... and then rows from the top: rows 0..4 lose 4, then 0 and 1.
        {2, tpl, {{0, {}}, {4, shift}}, "1", {0, 0, 1, 1, 0}, "2 images of 2 selected for tpl creation"},
        {0, import, {{2, ctrl}}, "1", {0, 0, 0, 0, 0}, "0 images of 0 selected for import"},
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
