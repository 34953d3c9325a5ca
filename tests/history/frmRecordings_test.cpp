#include "fakes/takes.h"
#include "history/frmRecordings.h"
#include "support/test.h"

#include <QtWidgets>

namespace {

// The window over a real database: one take of each outcome, newest first;
// failures marked by colour and their word in bold; both filters; a
// double-click hands an existing recording to the audition and explains one
// that is gone.
TEST(RecordingsWindow, ListsMarksFiltersAndOpensTakes) {
    TakeStation h;
    TempStation& t = h.t;
    const QList<std::tuple<QString, TakeOutcome, QString>> takes = {
        {"Morning News", TakeOutcome::Recorded, "P:\\satfile\\SFMON001.WAV"},
        {"Farm report", TakeOutcome::Short, "P:\\satfile\\SFMON002.WAV"},
        {"Noon news", TakeOutcome::Dumped, ""},
        {"Sports", TakeOutcome::Refused, ""},
        {"Old news", TakeOutcome::Missed, ""}};
    int slot = 0;
    for (const auto& [name, outcome, wave] : takes) {
        ++slot;
        ASSERT_TRUE(h.write(
            h.take(name, outcome, QDateTime(QDate(2026, 3, 2), QTime(9 - slot, 0)), wave, slot)));
    }
    TempStation::writeFile(t.host("P:\\satfile\\SFMON001.WAV"), "RIFF");

    QStringList opened;
    frmRecordings w(*t.station, h.history, [&](const TakeRow& r) { opened << r.hostPath; });
    w.show();
    const auto column = [&](int c) {
        QStringList out;
        for (int r = 0; r < w.grdTakes->rowCount(); ++r) {
            const QTableWidgetItem* item = w.grdTakes->item(r, c);
            out << item->text() + (item->font().bold() ? "*" : "") +
                       (item->foreground().color() == QColor(176, 0, 0) ? "!" : "");
        }
        return out;
    };
    EXPECT_EQ(column(3),
              QStringList({"Morning News", "Farm report", "Noon news", "Sports", "Old news"}));
    EXPECT_EQ(column(4), QStringList({"recorded", "short*!", "dumped*!", "refused*!", "missed*!"}));

    w.cboOutcome->setCurrentIndex(w.cboOutcome->findData(FailedTakes));
    EXPECT_EQ(column(3), QStringList({"Farm report", "Noon news", "Sports", "Old news"}));
    QTest::keyClicks(w.txtProgramme, "NEWS");
    EXPECT_EQ(column(3), QStringList({"Noon news", "Old news"}));
    EXPECT_EQ(w.lblCount->text(), "2 of 5 takes");
    w.cboOutcome->setCurrentIndex(w.cboOutcome->findData(AllTakes));
    EXPECT_EQ(column(3), QStringList({"Morning News", "Noon news", "Old news"}));

    for (int row : {0, 1}) {
        const QRect cell = w.grdTakes->visualRect(w.grdTakes->model()->index(row, 3));
        // A double-click follows a click, as the view expects.
        QTest::mouseClick(w.grdTakes->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(w.grdTakes->viewport(), Qt::LeftButton, {}, cell.center());
    }
    EXPECT_EQ(opened, QStringList{t.host("P:\\satfile\\SFMON001.WAV")});
    EXPECT_EQ(t.messages.shown,
              QStringList{"Nothing was recorded of Noon news (Mon 03/02/26 06:00:00)."});
}

} // namespace
