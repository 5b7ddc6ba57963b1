#include "app/QtServices.h"

#include "DialogDriving.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A message is shown as plain text, whatever it holds, and not over a
// window that is gone; a question consents on Yes only, and Escape closes it
// without consent.
TEST(QtServicesTest, MessageBoxesShowTheTextAndAnswer) {
    CQtServices services;
    auto parent = std::make_unique<QWidget>();
    services.SetParentWindow(parent.get());
    parent.reset();
    const std::string text = "Can't open <scene> \xc3\xa4.rav";
    CModalDriver shown([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf8(text.c_str()));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->parentWidget(), nullptr);
        box->accept();
    });
    services.ShowMessage(text);
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No, QMessageBox::NoButton}) {
        CModalDriver driver([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Continue?");
            if (answer == QMessageBox::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                QTest::mouseClick(box->button(answer), Qt::LeftButton);
            }
        });
        EXPECT_EQ(services.AskYesNo("Continue?"), answer == QMessageBox::Yes);
    }
}

} // namespace
