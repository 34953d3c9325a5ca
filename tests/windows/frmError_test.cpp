#include "support/test.h"
#include "windows/frmError.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

TEST(ErrorWindowTest, LastMessageWinsAndShowingDoesNotBlock) {
    frmError w;
    w.showMessage("first <b>problem</b>");
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    w.showMessage("second problem");
    EXPECT_EQ(w.lblMessage->text(), "second problem");
    EXPECT_EQ(w.lblMessage->textFormat(), Qt::PlainText);
    EXPECT_EQ(w.windowTitle(), "Error Message");
    QTest::mouseClick(w.OKButton, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

// The message that refuses a key must not swallow the keys typed after it.
TEST(ErrorWindowTest, TypingGoesOnInTheBoxThatHadTheFocus) {
    QWidget form;
    auto* box = new QLineEdit(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    box->setFocus();
    frmError w;
    w.showMessage("refused");
    QTest::keyClicks(QApplication::focusWidget(), "12");
    EXPECT_EQ(box->text(), "12");
    EXPECT_EQ(QApplication::activeWindow(), &form);
}

} // namespace
