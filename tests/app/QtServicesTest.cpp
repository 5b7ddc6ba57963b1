#include "app/QtServices.h"

#include "DialogDriving.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

// A question consents on Yes only; Escape closes it without consent.
TEST(QtServicesTest, QuestionsAnswerYesOnYesOnly) {
    CQtServices services;
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
