#include "schedule/frmProgramSourceCodes.h"
#include "support/test.h"

#include "fakes/temp_station.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

class SourceCodesWindowTest : public ::testing::Test {
protected:
    void SetUp() override { t.startUp(); }
    void open(const QByteArray& file) {
        TempStation::writeFile(path(), file);
        w = std::make_unique<frmProgramSourceCodes>(*t.station);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    QString path() const { return t.host("c:\\satfile\\Source.dat"); }
    QStringList listed() const {
        QStringList texts;
        for (int i = 0; i < w->List1->count(); ++i)
            texts << w->List1->item(i)->text();
        return texts;
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    TempStation t;
    std::unique_ptr<frmProgramSourceCodes> w;
};

TEST_F(SourceCodesWindowTest, OpensSortedWithTheFirstSelectedAndTheEntryBoxHidden) {
    open("SR1\r\nAA1\r\nFN1\r\n");
    EXPECT_EQ(w->windowTitle(), "Program Source Codes");
    EXPECT_EQ(listed(), (QStringList{"AA1", "FN1", "SR1"}));
    EXPECT_EQ(w->List1->currentRow(), 0);
    EXPECT_FALSE(w->text1->isVisible());
    EXPECT_EQ(w->cmdClose->text(), "&Close");
}

// Enter in the entry box does exactly what Apply does.
TEST_F(SourceCodesWindowTest, NewThenEnterOrApplyAddsUpperCaseInPlace) {
    open("AA1\r\nSR1\r\nZZ1\r\n");
    click(w->cmdNew);
    EXPECT_TRUE(w->text1->isVisible());
    QTest::keyClicks(w->text1, "sr2x");
    EXPECT_EQ(w->text1->text(), "sr2");
    QTest::keyClick(w->text1, Qt::Key_Return);
    EXPECT_FALSE(w->text1->isVisible());
    EXPECT_EQ(listed(), (QStringList{"AA1", "SR1", "SR2", "ZZ1"}));
    EXPECT_EQ(w->List1->currentItem()->text(), "SR2");
    EXPECT_EQ(TempStation::readFile(path()), "AA1\r\nSR1\r\nSR2\r\nZZ1\r\n");

    click(w->cmdNew);
    QTest::keyClicks(w->text1, "aa1");
    click(w->cmdApply);
    EXPECT_EQ(w->List1->currentRow(), 1);

    click(w->cmdNew);
    EXPECT_EQ(w->text1->text(), "");
    click(w->cmdApply);
    EXPECT_FALSE(w->text1->isVisible());
    EXPECT_EQ(listed().size(), 5);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SourceCodesWindowTest, DeleteNeedsASelectionAndTheLastLeavesAnEmptyFile) {
    open("BB2\r\nAA1\r\n");
    w->List1->clearSelection();
    click(w->cmdDelete);
    EXPECT_EQ(listed().size(), 2);
    for (int left = 1; left >= 0; --left) {
        w->List1->setCurrentRow(0);
        click(w->cmdDelete);
        EXPECT_EQ(listed().size(), left);
    }
    EXPECT_EQ(TempStation::readFile(path()), "");
    click(w->cmdDelete);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SourceCodesWindowTest, MissingFileOpensEmptyWithoutAMessage) {
    w = std::make_unique<frmProgramSourceCodes>(*t.station);
    EXPECT_EQ(w->List1->count(), 0);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    click(w->cmdClose);
    EXPECT_FALSE(w->isVisible());
}

} // namespace
