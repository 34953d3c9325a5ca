#include "windows/frmError.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

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

} // namespace
