#include "app/QtServices.h"

#include "DialogDriving.h"
#include "QtPrinters.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace {

// A plain-text box over the parent window, or over none once that window is
// closed; a question consents on Yes only (NoButton: closed with Escape).
TEST(QtServicesTest, MessageBoxesShowTheTextAndAnswer) {
    CQtServices services;
    auto parent = std::make_unique<QWidget>();
    services.SetParentWindow(parent.get());
    const std::string text = "Can't open <scene> \xc3\xa4.rav";
    for (const QWidget* expectedParent : {parent.get(), static_cast<QWidget*>(nullptr)}) {
        CModalDriver driver([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QString::fromUtf8(text.c_str()));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->parentWidget(), expectedParent);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        services.ShowMessage(text);
        EXPECT_TRUE(driver.Ran());
        parent.reset();
    }
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No, QMessageBox::NoButton}) {
        CModalDriver driver([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            if (answer == QMessageBox::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                QTest::mouseClick(box->button(answer), Qt::LeftButton);
            }
        });
        EXPECT_EQ(services.AskYesNo("Continue?"), answer == QMessageBox::Yes);
        EXPECT_TRUE(driver.Ran());
    }
}

TEST(QtServicesTest, OpenFileNameGivesTheChosenPathAsUtf8) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString() + "/Stadion M\xc3\xbcller \xe6\x97\xa5.rav";
    std::ofstream(path, std::ios::binary) << "RAV";

    CQtServices services;
    for (const bool accept : {true, false}) {
        CModalDriver driver([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Open RAV file");
            EXPECT_EQ(dialog->nameFilters(),
                      QStringList({"EA RAV files (*.rav)", "All files (*)"}));
            dialog->selectFile(QString::fromUtf8(path.c_str()));
            // What the Open button does: QFileDialog checks the file exists.
            accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
        });
        const std::optional<std::string> chosen =
            services.OpenFileName("Open RAV file", "EA RAV files (*.rav)|*.rav|All files|*.*||");
        EXPECT_EQ(chosen, accept ? std::optional(path) : std::nullopt);
    }
}

} // namespace
