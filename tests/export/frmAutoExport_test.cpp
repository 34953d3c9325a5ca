#include "export/frmAutoExport.h"
#include "support/test.h"

#include "fakes/schedules.h"
#include "fakes/temp_station.h"

#include <QtWidgets>

namespace {

class AutoExportWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        putSchedule(t.station->state.SatListFile, 5, "Morning Show", "1", {}, "30:00");
        putSchedule(t.station->state.SatListFile, 12, "News", "2", {}, "05:00");
        w = std::make_unique<frmAutoExport>(*t.station);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    // On the indicator: a stretched button does not take clicks beside its caption.
    void click(QAbstractButton* b) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    void choose(int row) {
        w->lstName->setCurrentRow(row);
        ASSERT_EQ(w->selectedSchedule(), row == 0 ? 5 : 12);
    }
    ExportRecord stored(ScheduleNo n) { return ReadExportRecord(t.station->state.ExportFile, n); }

    TempStation t;
    std::unique_ptr<frmAutoExport> w;
};

TEST_F(AutoExportWindowTest, ListsByNameOrNumberAndChoosingAProgrammeShowsItsRule) {
    ASSERT_EQ(w->lstName->count(), 2);
    EXPECT_EQ(w->lstName->item(0)->text(), fixedWidth("Morning Show", 25) + " 30:00   5");
    w->mnuViewNumber->trigger();
    EXPECT_EQ(w->lstName->item(1)->text(), " 12 " + fixedWidth("News", 25) + " 05:00");
    const ExportRecord r{ExportUserDefined, {0, 1}, {"", "D:\\shows\\news"}, 1, "05:00", 0};
    ASSERT_TRUE(WriteExportRecord(t.station->state.ExportFile, 12, r, nullptr));
    choose(1);
    EXPECT_TRUE(w->Option1[1]->isChecked() && w->chkDay[1]->isChecked() &&
                !w->chkDay[2]->isChecked() && w->txtPath[1]->isVisible() &&
                w->chkFade->isChecked() && !w->txtNumber->isVisible());
    EXPECT_EQ(w->txtPath[1]->text() + "|" + w->txtLength->text(), "D:\\shows\\news|05:00");
}

TEST_F(AutoExportWindowTest, WinjockIsSavedAtOnceFillsTickedDaysAndInactiveUnticksThem) {
    choose(0);
    click(w->Option1[2]);
    EXPECT_EQ(stored(5).ExportMode, ExportWinjock);
    EXPECT_TRUE(w->lblNumber->isVisible() && !w->txtPath[1]->isVisible());

    click(w->chkDay[1]);
    EXPECT_EQ(w->txtPath[1]->text(), "H:\\programs\\SF8005NNN.wav");
    EXPECT_FALSE(w->txtPath[1]->isEnabled());
    EXPECT_EQ(w->txtPath[2]->text(), "");
    w->txtNumber->setText("8005");
    click(w->cmdApply);
    const ExportRecord r = stored(5);
    EXPECT_EQ(std::tuple(r.exportsOn(1), r.ExportPaths[1], r.WinjockNumber),
              std::tuple(true, QString("H:\\programs\\SF8005NNN.wav"), int16_t(8005)));
    EXPECT_TRUE(t.messages.shown.isEmpty());

    click(w->Option1[1]);
    click(w->chkDay[2]);
    click(w->Option1[0]);
    click(w->chkDay[4]);
    for (QCheckBox* day : w->chkDay)
        EXPECT_FALSE(day->isChecked()) << day->text().toStdString();
    EXPECT_EQ(stored(5).ExportMode, ExportInactive);
}

// A mode chosen with no programme selected must not land in any record.
TEST_F(AutoExportWindowTest, ApplyAsksForAProgrammeAndDestinationsRefuseOtherCharacters) {
    click(w->Option1[1]);
    click(w->cmdApply);
    EXPECT_EQ(t.messages.shown, QStringList{"Select a Program"});
    EXPECT_EQ(t.station->state.ExportFile.recordCount(), 0);
    t.messages.shown.clear();
    choose(0);
    click(w->Option1[1]);
    QLineEdit* box = w->txtPath[0];
    QTest::keyClicks(box, "D:\\shows\\news_2");
    QTest::keyClick(box, '.');
    EXPECT_EQ(box->text(), "D:\\shows\\news_2");
    EXPECT_EQ(t.messages.shown, QStringList{" .  is not a valid character"});
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "D:\\shows\\news_");
    QApplication::clipboard()->setText("x.wav");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "D:\\shows\\news_");
}

} // namespace
