#include "schedule/frmSchedule.h"
#include "support/test.h"

#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/control_places.h"
#include "schedule/frmDialog1.h"
#include "schedule/frmScheduleConflicts.h"
#include "station/tick_handoffs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>

namespace {

class CountingPlayList : public PlayListControl {
public:
    void BuildPlayList() override { ++builds; }
    int builds = 0;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        TempStation::writeFile(t.host("c:\\satfile\\Source.dat"), "AA1\r\nSR\r\n");
    }
    void TearDown() override {
        if (w && w->conflictsWindow())
            delete w->conflictsWindow();
    }
    StationState& s() { return t.station->state; }
    void open() {
        w = std::make_unique<frmSchedule>(*t.station, &playList);
        w->resize(1000, 560);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    QStringList listed() const {
        QStringList texts;
        for (int i = 0; i < w->lstDisplaySchedule->count(); ++i)
            texts << w->lstDisplaySchedule->item(i)->text().trimmed();
        return texts;
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void chooseChannel(int row) {
        QListWidgetItem* item = w->lstRecChan->item(row);
        QTest::mouseClick(w->lstRecChan->viewport(), Qt::LeftButton, {},
                          w->lstRecChan->visualItemRect(item).center());
    }
    QByteArray stored(ScheduleNo n) { return s().SatListFile.read(n)->bytes(); }

    TempStation t;
    CountingPlayList playList;
    std::unique_ptr<frmSchedule> w;
};

TEST_F(EditorTest, OpensByNameAndSelectLoadsTheSchedule) {
    ScheduleFields sw = scheduleFields("  Zulu Switch", "3");
    sw.SatLang = "SR";
    sw.SatRoute = "R";
    sw.SatAtt = "14";
    sw.PlayTimes[5] = "07:30:00";
    sw.RecDays[2] = 4;
    sw.RecTimes[2] = "06:00:00";
    put(s().SatListFile, 7, sw);
    put(s().SatListFile, 12, scheduleFields("alpha"));
    open();
    QStringList codes;
    for (int i = 0; i < w->cboSatLang->count(); ++i)
        codes << w->cboSatLang->itemText(i);
    EXPECT_EQ(codes, (QStringList{"AA1", "SR "}));
    EXPECT_EQ(listed(), (QStringList{"alpha", "Zulu Switch"}));
    EXPECT_EQ(w->lblScheduleNo->text(), "12");
    EXPECT_TRUE(w->cmdApply->isEnabled());

    w->lstDisplaySchedule->setCurrentRow(1);
    EXPECT_EQ(w->currentScheduleNo(), 7);
    EXPECT_EQ(w->txtSatName->text(), QString("Zulu Switch").leftJustified(25));
    EXPECT_EQ(w->cboSatLang->currentText(), "SR ");
    EXPECT_EQ(w->cboSatRoute->currentText(), "Reverse");
    EXPECT_EQ(w->lstRecChan->currentRow(), 2);
    EXPECT_EQ(w->Label2->text(), "Switch Time  HH:MM:SS");
    EXPECT_FALSE(w->txtSatLen->isVisible());
    EXPECT_FALSE(w->txtPlay[5]->isEnabled());
    EXPECT_EQ(w->cboRec[2]->currentText(), "Wed");
    EXPECT_EQ(w->txtRec[2]->text(), "06:00:00");
    EXPECT_EQ(w->txtPlay[0]->text(), "") << "room to type a time";

    w->mnuViewNumber->trigger();
    EXPECT_EQ(listed(), (QStringList{"7 Zulu Switch", "12 alpha"}));
}

TEST_F(EditorTest, SwitchOnlySavesWithoutLengthButChannelOneRefuses) {
    put(s().SatListFile, 1, scheduleFields("Feed", "3"));
    open();
    w->txtPlay[4]->setText("08:00:00");
    click(w->cmdApply);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(stored(1).mid(26, 5), "     ");
    EXPECT_EQ(stored(1).mid(41 + 4 * 8, 8), "08:00:00");

    chooseChannel(0);
    EXPECT_TRUE(w->txtSatLen->isVisible());
    const QByteArray saved = stored(1);
    click(w->cmdApply);
    EXPECT_EQ(t.messages.shown, QStringList{"You must enter a Length"});
    EXPECT_EQ(stored(1), saved);
}

// After New no channel counts as chosen until one is clicked, even the one
// the list still shows.
TEST_F(EditorTest, NewSchedulesGoToTheFreeSlotAndConflictsAreListed) {
    ScheduleFields first = scheduleFields("First", "1", "30:00");
    first.RecDays[1] = 2;
    first.RecTimes[1] = "08:00:00";
    put(s().SatListFile, 1, first);
    put(s().SatListFile, 2, scheduleFields("Gone"));
    ASSERT_TRUE(s().SatListFile.deleteRecord(2));
    open();
    click(w->cmdNew);
    EXPECT_EQ(w->currentScheduleNo(), 2);
    EXPECT_EQ(w->lblScheduleNo->text(), "2");
    EXPECT_EQ(w->cboSatLang->currentText(), "AA1");
    EXPECT_EQ(w->lstRecChan->currentRow(), 0);
    w->txtSatName->setText("Second");
    w->txtSatLen->setText("10:00");
    w->cboRec[1]->setCurrentIndex(2);
    w->txtRec[1]->setText("08:05:00");
    click(w->cmdApply);
    EXPECT_EQ(t.messages.shown, QStringList{"Select a channel to record or switch only"});
    EXPECT_FALSE(s().SatListFile.read(2)->inUse());

    chooseChannel(0);
    click(w->cmdApply);
    EXPECT_TRUE(s().SatListFile.read(2)->inUse());
    ASSERT_NE(w->conflictsWindow(), nullptr);
    EXPECT_TRUE(w->conflictsWindow()->isVisible());
    EXPECT_EQ(w->conflictsWindow()->lstConflicts->count(), 1);
    EXPECT_EQ(w->conflictsWindow()->lstConflicts->item(0)->text(),
              "Record First conflicts with Second on Monday");
    EXPECT_EQ(s().Rec(1).NextRecSlot, 1) << "the finders ran";

    w->lstDisplaySchedule->setCurrentRow(1);
    w->txtRec[1]->setText("09:00:00");
    click(w->cmdApply);
    EXPECT_EQ(w->conflictsWindow()->lstConflicts->count(), 0);
}

// Switch Only hides the length: nothing else may move nor the window resize.
TEST_F(EditorTest, SwitchOnlyMovesNothingAndKeepsTheWindowSize) {
    put(s().SatListFile, 1, scheduleFields("Feed", "1", "30:00"));
    open();
    w->adjustSize();
    const auto places = [&] {
        return controlPlaces(w.get(), {w->lstDisplaySchedule, w->lstRecChan, w->txtSatName,
                                       w->cboSatLang, w->cboSatPort, w->Label2, w->txtPlay[0],
                                       w->txtPlay[27], w->txtRec[0], w->cboRec[6], w->cmdNew,
                                       w->cmdDelete, w->cmdApply, w->cmdScheduleClose});
    };
    const QStringList recording = places();
    for (int row : {2, 0, 2, 1}) {
        chooseChannel(row);
        EXPECT_EQ(w->txtSatLen->isVisible(), row != 2);
        EXPECT_EQ(places(), recording) << "channel row " << row;
    }
}

// During New no old entry looks chosen, and the list taking the focus must
// not load one over what is being typed; Apply then shows the new schedule.
TEST_F(EditorTest, NewHighlightsNothingAndApplyShowsTheScheduleJustSaved) {
    put(s().SatListFile, 1, scheduleFields("Bravo"));
    put(s().SatListFile, 2, scheduleFields("Delta"));
    open();
    click(w->cmdNew);
    EXPECT_TRUE(w->lstDisplaySchedule->selectedItems().isEmpty());
    w->txtSatName->setText("Charlie");
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w->lstDisplaySchedule, &tabbedIn);
    EXPECT_TRUE(w->lstDisplaySchedule->selectedItems().isEmpty());
    EXPECT_EQ(w->currentScheduleNo(), 3);
    EXPECT_EQ(w->txtSatName->text(), "Charlie");

    w->txtSatLen->setText("10:00");
    chooseChannel(1);
    click(w->cmdApply);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    ASSERT_EQ(w->lstDisplaySchedule->selectedItems().size(), 1);
    EXPECT_EQ(w->lstDisplaySchedule->selectedItems().first()->text().trimmed(), "Charlie");
    EXPECT_EQ(w->lstDisplaySchedule->currentRow(), 1);
    EXPECT_EQ(w->currentScheduleNo(), 3);
    EXPECT_EQ(w->lblScheduleNo->text(), "3");
    EXPECT_EQ(w->txtSatName->text().trimmed(), "Charlie");
    EXPECT_EQ(w->txtSatLen->text(), "10:00");
    EXPECT_EQ(w->lstRecChan->currentRow(), 1);
}

TEST_F(EditorTest, ApplyKeepsTheListPositionNotTheSchedule) {
    for (ScheduleNo n = 1; n <= 60; ++n)
        put(s().SatListFile, n, scheduleFields(QString("Show %1").arg(n, 2, 10, QChar('0'))));
    open();
    QScrollBar* bar = w->lstDisplaySchedule->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 20);
    w->lstDisplaySchedule->setCurrentRow(30);
    bar->setValue(20);
    w->txtSatName->setText("Aardvark");
    click(w->cmdApply);
    EXPECT_EQ(listed().first(), "Aardvark");
    EXPECT_EQ(bar->value(), 20);
    EXPECT_EQ(w->lstDisplaySchedule->currentRow(), 30);
    EXPECT_EQ(w->currentScheduleNo(), 30) << "the entry now at the position";
    EXPECT_EQ(w->txtSatName->text().trimmed(), "Show 30");
}

TEST_F(EditorTest, DeleteAsksByNameThenDeletesAndReloads) {
    put(s().SatListFile, 1, scheduleFields("Alpha"));
    put(s().SatListFile, 2, scheduleFields("Beta"));
    open();
    w->lstDisplaySchedule->clearSelection();
    click(w->cmdDelete);
    EXPECT_EQ(t.messages.shown, QStringList{"Select a schedule"});
    EXPECT_EQ(w->deleteDialog(), nullptr);

    // The Delete key asks at once.
    w->lstDisplaySchedule->setCurrentRow(1);
    QTest::keyClick(w->lstDisplaySchedule, Qt::Key_Delete);
    ASSERT_NE(w->deleteDialog(), nullptr);
    EXPECT_EQ(w->deleteDialog()->windowTitle(), "Delete Beta Schedule?");
    EXPECT_EQ(w->deleteDialog()->lblQuestion->text(), "Are You Sure?");
    click(w->deleteDialog()->CancelButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->deleteDialog(), nullptr);
    EXPECT_TRUE(s().SatListFile.read(2)->inUse());

    // The pop-up comes on releasing the right button over the list.
    QTest::mouseRelease(w->lstDisplaySchedule->viewport(), Qt::RightButton);
    EXPECT_TRUE(w->mnuHiddenPopupMenu->isVisible());
    w->mnuHiddenPopupMenu->close();
    w->mnuHiddenPopupDelete->trigger();
    ASSERT_NE(w->deleteDialog(), nullptr);
    // Choosing another schedule meanwhile does not change which is deleted.
    w->lstDisplaySchedule->setCurrentRow(0);
    click(w->deleteDialog()->OKButton);
    EXPECT_FALSE(s().SatListFile.read(2)->inUse());
    EXPECT_TRUE(s().SatListFile.read(1)->inUse());
    EXPECT_EQ(listed(), QStringList{"Alpha"});
    EXPECT_EQ(playList.builds, 1);
}

// A new schedule not yet applied is not in the file to be deleted.
TEST_F(EditorTest, DeleteRefusesAnUnsavedSchedule) {
    put(s().SatListFile, 1, scheduleFields("Alpha"));
    open();
    click(w->cmdNew);
    QTest::keyClick(w->lstDisplaySchedule, Qt::Key_Delete);
    EXPECT_EQ(t.messages.shown, QStringList{"Select a schedule"});
    EXPECT_EQ(w->deleteDialog(), nullptr);
}

TEST_F(EditorTest, KeyboardMovesThroughTheGrid) {
    put(s().SatListFile, 1, scheduleFields("Alpha"));
    open();
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    const auto press = [&](QWidget* from, Qt::Key key) {
        from->setFocus();
        QTest::keyClick(from, key);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(press(w->txtSatName, Qt::Key_Return), w->txtSatLen);
    EXPECT_EQ(press(w->txtSatLen, Qt::Key_Enter), w->cboSatLang);
    EXPECT_EQ(press(w->txtPlay[27], Qt::Key_Return), w->txtPlay[0]);
    EXPECT_EQ(press(w->txtPlay[25], Qt::Key_Down), w->txtPlay[1]);
    EXPECT_EQ(press(w->txtPlay[1], Qt::Key_Up), w->txtPlay[25]);
    EXPECT_EQ(press(w->txtPlay[6], Qt::Key_Down), w->txtPlay[10]);
    w->txtPlay[0]->setText("12:00:001");
    EXPECT_EQ(press(w->txtPlay[0], Qt::Key_Backspace), w->txtPlay[27]);
    EXPECT_EQ(w->txtPlay[0]->text(), "12:00:0");
    EXPECT_EQ(press(w->txtRec[6], Qt::Key_Down), w->txtRec[0]);
    EXPECT_EQ(press(w->txtRec[0], Qt::Key_Up), w->txtRec[6]);
    EXPECT_EQ(press(w->cboRec[2], Qt::Key_Backspace), w->txtPlay[11]);

    w->cboSatLang->setCurrentText("");
    QTest::keyClicks(w->cboSatLang->lineEdit(), "abcd");
    EXPECT_EQ(w->cboSatLang->currentText(), "abc");
}

TEST_F(EditorTest, CloseRebuildsThePlayListAndTakesTheConflictsWindowAlong) {
    ScheduleFields a = scheduleFields("A"), b = scheduleFields("B");
    a.PlayTimes[0] = b.PlayTimes[0] = "10:00:00";
    put(s().SatListFile, 1, a);
    put(s().SatListFile, 2, b);
    open();
    click(w->cmdApply);
    ASSERT_TRUE(w->conflictsWindow() && w->conflictsWindow()->isVisible());
    w->close();
    EXPECT_EQ(playList.builds, 1);
    EXPECT_TRUE(w->conflictsWindow()->isVisible()) << "closed by other means";

    w->show();
    click(w->cmdScheduleClose);
    EXPECT_EQ(playList.builds, 2);
    EXPECT_FALSE(w->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->conflictsWindow(), nullptr);
}

QStringList pdfLines(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", "-fixed", "7.2", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(20000));
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n');
}

QString lineWith(const QStringList& lines, const QString& text) {
    for (const QString& line : lines)
        if (line.contains(text))
            return line;
    return {};
}

// The printout goes through the schedules in the list's order without
// taking the editor off the schedule it shows.
TEST_F(EditorTest, PrintsTheListInItsOrderAndApplyStillSavesTheShownSchedule) {
    ScheduleFields zulu = scheduleFields("Zulu");
    zulu.SatPort = "4";
    zulu.SatLang = "FN1";
    zulu.SatAtt = "12";
    zulu.RecTimes[2] = "06:00:00";
    put(s().SatListFile, 3, zulu);
    put(s().SatListFile, 9, scheduleFields("Alpha", "2"));
    open();
    w->mnuViewNumber->trigger();
    ASSERT_EQ(w->currentScheduleNo(), 3);
    w->txtSatName->setText("Zulu Renamed");
    const QString pdf = t.root() + "/list.pdf";
    w->setPrintFile(pdf);
    w->mnuPrint->trigger();
    EXPECT_TRUE(t.messages.shown.isEmpty());

    const QStringList lines = pdfLines(pdf);
    const QString heads = lineWith(lines, "CH PT  NET   LEN RT AT");
    const QString first = lineWith(lines, "Zulu");
    ASSERT_FALSE(heads.isEmpty());
    EXPECT_TRUE(lineWith(lines, "Satellite Record Schedule 3/2/2026").indexOf("Satellite") >= 0);
    EXPECT_EQ(heads.indexOf("Name"), first.indexOf("Zulu") + 10);
    EXPECT_EQ(heads.indexOf("CH") + 1, first.indexOf(" 1  4  FN1  00:30 S  12") + 1);
    EXPECT_EQ(heads.indexOf("AT") + 1, first.indexOf("12"));
    EXPECT_LT(lines.indexOf(first), lines.indexOf(lineWith(lines, "Alpha")));
    EXPECT_FALSE(lineWith(lines, "Tue: 06:00:00").isEmpty());

    click(w->cmdApply);
    EXPECT_EQ(s().SatListFile.read(3)->parse().SatName.trimmed(), "Zulu Renamed");
    EXPECT_EQ(s().SatListFile.read(9)->parse().SatName.trimmed(), "Alpha");
}

TEST_F(EditorTest, MissingSourceFileIsReportedAndATypedCodeStillSaves) {
    QFile::remove(t.host("c:\\satfile\\Source.dat"));
    put(s().SatListFile, 1, scheduleFields("Alpha"));
    open();
    EXPECT_EQ(t.messages.shown,
              QStringList{"Missing file-->c:\\satfile\\Source.dat  The program source codes (AA1, "
                          "FN1, SR1, etc.)  are missing."});
    EXPECT_EQ(w->cboSatLang->count(), 0);
    // Typed in lower case, kept as the list of codes holds them.
    w->cboSatLang->setCurrentText("xy");
    click(w->cmdApply);
    EXPECT_EQ(stored(1).mid(31, 3), "XY ");
}

} // namespace
