#include "fakes/list_texts.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/frmDialog1.h"
#include "schedule/frmProgramSourceCodes.h"
#include "schedule/frmSchedule.h"
#include "schedule/frmScheduleConflicts.h"
#include "schedule/frmWeeklySchedule.h"
#include "schedule/schedule_views.h"
#include "station/tick_handoffs.h"
#include "support/test.h"

#include <QtWidgets>

namespace {

class CountingPlayList : public PlayListControl {
public:
    void BuildPlayList() override { ++builds; }
    int builds = 0;
};

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        TempStation::writeFile(codesFile(), "AA1\r\nSR\r\n");
    }
    void TearDown() override {
        if (w && w->conflictsWindow())
            delete w->conflictsWindow();
    }
    QString codesFile() const { return t.host("c:\\satfile\\Source.dat"); }
    ScheduleFile& file() { return t.station->state.SatListFile; }
    QByteArray stored(ScheduleNo n) { return file().read(n)->bytes(); }
    void open() {
        w = std::make_unique<frmSchedule>(*t.station, &playList);
        w->resize(1000, 560);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    QStringList listed() const {
        return listTexts(w->lstDisplaySchedule)
            .replaceInStrings(QRegularExpression("^\\s+|\\s+$"), "");
    }
    static void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void chooseChannel(int row) {
        QTest::mouseClick(w->lstRecChan->viewport(), Qt::LeftButton, {},
                          w->lstRecChan->visualItemRect(w->lstRecChan->item(row)).center());
    }

    TempStation t;
    CountingPlayList playList;
    std::unique_ptr<frmSchedule> w;
};

TEST_F(Windows, EditorOpensSelectsSavesSwitchOnlyWithoutLengthAndPrints) {
    ScheduleFields sw = scheduleFields("  Zulu Switch", "3");
    sw.SatLang = "SR";
    sw.SatRoute = "R";
    sw.SatAtt = "14";
    sw.PlayTimes[5] = "07:30:00";
    sw.RecDays[2] = 4;
    sw.RecTimes[2] = "06:00:00";
    put(file(), 7, sw);
    put(file(), 12, scheduleFields("alpha"));
    open();
    EXPECT_EQ((QStringList{w->cboSatLang->itemText(0), w->cboSatLang->itemText(1),
                           w->cboSatLang->itemText(2), w->lblScheduleNo->text()} +
               listed()),
              (QStringList{"AA1", "SR ", "", "12", "alpha", "Zulu Switch"}));

    w->lstDisplaySchedule->setCurrentRow(1);
    // An empty time leaves room to type in its box.
    EXPECT_EQ((QStringList{w->txtSatName->text(), w->cboSatLang->currentText(),
                           w->cboSatRoute->currentText(), w->cboSatAtt->currentText(),
                           w->Label2->text(), w->cboRec[2]->currentText(), w->txtRec[2]->text(),
                           w->txtPlay[5]->text(), w->txtPlay[0]->text()}),
              (QStringList{QString("Zulu Switch").leftJustified(25), "SR ", "Reverse", "14",
                           "Switch Time  HH:MM:SS", "Wed", "06:00:00", "07:30:00", ""}));
    EXPECT_FALSE(w->txtSatLen->isVisible() || w->txtPlay[5]->isEnabled());
    // Switch Only hides the length and needs none.
    w->txtPlay[4]->setText("08:00:00");
    click(w->cmdApply);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(w->conflictsWindow(), nullptr) << "nothing to list";
    EXPECT_EQ(stored(7).mid(26, 5) + stored(7).mid(41 + 4 * 8, 8), "     08:00:00");
    for (int row : {0, 2, 1}) {
        chooseChannel(row);
        EXPECT_EQ(w->txtSatLen->isVisible(), row != 2) << "channel row " << row;
    }

    w->mnuViewNumber->trigger();
    EXPECT_EQ(listed(), (QStringList{"7 Zulu Switch", "12 alpha"}));

    // The printout follows the list's order without taking the editor off
    // the schedule it shows. Its layout is the printout's own test; here it
    // must reach the page in a fixed-pitch font.
    chooseChannel(2);
    w->txtSatName->setText("Zulu Renamed");
    const QString pdf = t.root() + "/list.pdf";
    w->setPrintFile(pdf);
    w->mnuPrint->trigger();
    QProcess p;
    p.start("pdftotext", {"-layout", "-fixed", "7.2", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    lines = lines.filter(QRegularExpression("Name|Zulu|alpha"));
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[0].indexOf("CH"), lines[1].indexOf(" 3  1  SR "));
    EXPECT_EQ(lines[0].indexOf("CH"), lines[2].indexOf(" 1  1  AA1  00:30"));
    click(w->cmdApply);
    EXPECT_EQ(file().read(7)->parse().SatName.trimmed() +
                  file().read(12)->parse().SatName.trimmed(),
              "Zulu Renamedalpha");
}

// During New no old entry looks chosen, nor is any channel until one is
// clicked, and the list taking the focus must not load an entry over what is
// typed; Apply lists the conflicts and shows the new schedule where it sorts.
TEST_F(Windows, NewSchedulesGoToTheFreeSlotAndConflictsAreListed) {
    putOnDay(file(), 1, "First", "1", 2, "08:00:00", "30:00");
    put(file(), 2, scheduleFields("Gone"));
    ASSERT_TRUE(file().deleteRecord(2));
    put(file(), 3, scheduleFields("Zulu"));
    open();
    click(w->cmdNew);
    EXPECT_EQ(w->lblScheduleNo->text() + w->cboSatLang->currentText(), "2AA1");
    EXPECT_EQ(w->lstRecChan->currentRow(), 0);
    EXPECT_TRUE(w->lstDisplaySchedule->selectedItems().isEmpty());
    QTest::keyClick(w->lstDisplaySchedule, Qt::Key_Delete); // not in the file yet
    EXPECT_EQ(w->deleteDialog(), nullptr);
    w->txtSatName->setText("Gamma");
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w->lstDisplaySchedule, &tabbedIn);
    EXPECT_TRUE(w->lstDisplaySchedule->selectedItems().isEmpty());
    EXPECT_EQ(QString::number(w->currentScheduleNo()) + w->txtSatName->text(), "2Gamma");
    w->txtSatLen->setText("10:00");
    w->cboRec[1]->setCurrentIndex(2);
    w->txtRec[1]->setText("08:05:00");
    click(w->cmdApply);
    EXPECT_EQ(t.messages.shown,
              (QStringList{"Select a schedule", "Select a channel to record or switch only"}));
    EXPECT_FALSE(file().read(2)->inUse());

    chooseChannel(0);
    click(w->cmdApply);
    EXPECT_TRUE(file().read(2)->inUse());
    ASSERT_TRUE(w->conflictsWindow() && w->conflictsWindow()->isVisible());
    EXPECT_EQ(listTexts(w->conflictsWindow()->lstConflicts),
              QStringList{"Record First conflicts with Gamma on Monday"});
    EXPECT_EQ(t.station->state.Rec(1).NextRecSlot, 1) << "the finders ran";
    ASSERT_EQ(w->lstDisplaySchedule->selectedItems().size(), 1);
    EXPECT_EQ(w->lstDisplaySchedule->currentRow(), 1);

    w->txtRec[1]->setText("09:00:00");
    click(w->cmdApply);
    EXPECT_EQ(w->conflictsWindow()->lstConflicts->count(), 0);
}

TEST_F(Windows, ApplyKeepsTheListPositionNotTheSchedule) {
    for (ScheduleNo n = 1; n <= 60; ++n)
        put(file(), n, scheduleFields(QString("Show %1").arg(n, 2, 10, QChar('0'))));
    open();
    QScrollBar* bar = w->lstDisplaySchedule->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 20);
    w->lstDisplaySchedule->setCurrentRow(30);
    bar->setValue(20);
    w->txtSatName->setText("Aardvark");
    click(w->cmdApply);
    EXPECT_EQ(listed().first(), "Aardvark");
    EXPECT_EQ((std::tuple{bar->value(), w->lstDisplaySchedule->currentRow(), w->currentScheduleNo(),
                          w->txtSatName->text().trimmed()}),
              (std::tuple{20, 30, ScheduleNo(30), QString("Show 30")}))
        << "the entry now at the position";
}

// Closing rebuilds the playlist and takes the conflicts window along, unless
// closed by other means; so does a delete.
TEST_F(Windows, CloseOrDeleteRebuildsThePlayListAndDeleteAsksByName) {
    ScheduleFields a = scheduleFields("Alpha"), b = scheduleFields("Beta");
    a.PlayTimes[0] = b.PlayTimes[0] = "10:00:00";
    put(file(), 1, a);
    put(file(), 2, b);
    open();
    click(w->cmdApply);
    ASSERT_TRUE(w->conflictsWindow() && w->conflictsWindow()->isVisible());
    w->close();
    EXPECT_EQ(playList.builds, 1);
    EXPECT_TRUE(w->conflictsWindow()->isVisible()) << "closed by other means";
    w->show();
    click(w->cmdScheduleClose);
    EXPECT_EQ(playList.builds, 2);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->conflictsWindow(), nullptr);

    w->show();
    w->lstDisplaySchedule->clearSelection();
    click(w->cmdDelete);
    EXPECT_EQ(t.messages.shown, QStringList{"Select a schedule"});
    EXPECT_EQ(w->deleteDialog(), nullptr);

    // The Delete key asks at once.
    w->lstDisplaySchedule->setCurrentRow(1);
    QTest::keyClick(w->lstDisplaySchedule, Qt::Key_Delete);
    ASSERT_NE(w->deleteDialog(), nullptr);
    EXPECT_EQ(w->deleteDialog()->windowTitle() + w->deleteDialog()->lblQuestion->text(),
              "Delete Beta Schedule?Are You Sure?");
    click(w->deleteDialog()->CancelButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->deleteDialog(), nullptr);
    EXPECT_TRUE(file().read(2)->inUse());

    // The pop-up comes on releasing the right button over the list.
    QTest::mouseRelease(w->lstDisplaySchedule->viewport(), Qt::RightButton);
    EXPECT_TRUE(w->mnuHiddenPopupMenu->isVisible());
    w->mnuHiddenPopupMenu->close();
    w->mnuHiddenPopupDelete->trigger();
    ASSERT_NE(w->deleteDialog(), nullptr);
    // Choosing another schedule meanwhile does not change which is deleted.
    w->lstDisplaySchedule->setCurrentRow(0);
    click(w->deleteDialog()->OKButton);
    EXPECT_TRUE(file().read(1)->inUse() && !file().read(2)->inUse());
    EXPECT_EQ(listed(), QStringList{"Alpha"});
    EXPECT_EQ(playList.builds, 3);
}

// Enter in the entry box does what Apply does; Delete needs a selection and
// asks nothing.
TEST_F(Windows, SourceCodesAreAddedUpperCaseInPlaceDeletedAndMissedAloud) {
    frmProgramSourceCodes codes(*t.station);
    codes.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&codes));
    click(codes.cmdNew);
    QTest::keyClicks(codes.text1, "sr2");
    QTest::keyClick(codes.text1, Qt::Key_Return);
    EXPECT_FALSE(codes.text1->isVisible());
    EXPECT_EQ(listTexts(codes.List1) << codes.List1->currentItem()->text(),
              (QStringList{"AA1", "SR", "SR2", "SR2"}));
    click(codes.cmdNew);
    EXPECT_EQ(codes.text1->text(), "");
    click(codes.cmdApply);
    EXPECT_FALSE(codes.text1->isVisible());
    codes.List1->clearSelection();
    click(codes.cmdDelete);
    EXPECT_EQ(codes.List1->count(), 3);
    codes.List1->setCurrentRow(0);
    click(codes.cmdDelete);
    EXPECT_EQ(QPoint(codes.List1->count(), codes.List1->currentRow()), QPoint(2, -1));
    EXPECT_EQ(TempStation::readFile(codesFile()), "SR\r\nSR2\r\n");

    // Without the file the codes window opens empty and silent, the editor
    // says so, and a code typed in lower case is stored as the list holds it.
    QFile::remove(codesFile());
    EXPECT_EQ(frmProgramSourceCodes(*t.station).List1->count(), 0);
    put(file(), 1, scheduleFields("Alpha"));
    open();
    EXPECT_EQ(t.messages.shown,
              QStringList{"Missing file-->c:\\satfile\\Source.dat  The program source codes (AA1, "
                          "FN1, SR1, etc.)  are missing."});
    EXPECT_EQ(w->cboSatLang->count(), 0);
    w->cboSatLang->setCurrentText("xy");
    click(w->cmdApply);
    EXPECT_EQ(stored(1).mid(31, 3), "XY ");
}

// The window keeps lists of its own, filled afresh for each view.
TEST_F(Windows, WeeklyWindowFillsEachViewAfreshUnderItsHeads) {
    ScheduleFields f = scheduleFields("News");
    f.PlayTimes[4] = "08:00:00";
    f.RecDays[0] = 2;
    f.RecTimes[0] = "07:00:00";
    put(file(), 1, f);
    frmWeeklySchedule weekly(*t.station, frmWeeklySchedule::View::Play);
    weekly.show();
    const auto shown = [&] {
        return QStringList{weekly.windowTitle(), weekly.lblHeadings->text()} +
               listTexts(weekly.lstWeeklySchedule) + listTexts(weekly.lstSort);
    };
    const QString play = "Mon 08:00:00 " + QString("News").leftJustified(25),
                  record = "Mon 07:00:00  Sun " + QString("News").leftJustified(25) + " 1";
    EXPECT_EQ(shown(),
              (QStringList{"Weekly Play Schedule", WeeklyPlayHeadings(), play, " 2" + play}));
    weekly.showView(frmWeeklySchedule::View::Record);
    EXPECT_EQ(shown(), (QStringList{"Weekly Record Schedule", WeeklyRecordHeadings(), record,
                                    " 2" + record}));
}

} // namespace
