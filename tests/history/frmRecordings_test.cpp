#include "app/mnuMenu.h"
#include "audition/frmAudition.h"
#include "fakes/takes.h"
#include "history/frmRecordings.h"
#include "support/test.h"

#include <QtWidgets>

namespace {

// A double-click opens a recording in the audition at the day and slot its
// file is named after, though no schedule lists the slot.
TEST(RecordingsWindow, ListsMarksFiltersAndOpensTakes) {
    TakeStation h;
    TempStation& t = h.t;
    const QStringList names = {"Morning News", "Farm report", "Noon news", "Sports", "Old news"};
    for (int i = 0; i < names.size(); ++i)
        ASSERT_TRUE(
            h.write(h.take(names[i], TakeOutcome(i), QDateTime(QDate(2026, 3, 2), QTime(8 - i, 0)),
                           i < 2 ? QString("P:\\satfile\\SFMON00%1.WAV").arg(i + 1) : "", i + 1)));
    TempStation::writeFile(t.host("P:\\satfile\\SFMON001.WAV"), "RIFF");

    ClockDispatcher dispatcher{*t.station, TickHandoffs{}};
    mnuMenu menu(*t.station, dispatcher, nullptr, ConsoleParts{.history = &h.history});
    menu.mnuRecordings->trigger();
    frmRecordings& w = *menu.findChild<frmRecordings*>();
    const auto shown = [&] {
        QStringList out;
        for (int r = 0; r < w.grdTakes->rowCount(); ++r) {
            const QTableWidgetItem* outcome = w.grdTakes->item(r, 4);
            out << w.grdTakes->item(r, 3)->text() + " " + outcome->text() +
                       (outcome->font().bold() ? "*" : "") +
                       (outcome->foreground().color() == QColor(176, 0, 0) ? "!" : "");
        }
        return out << w.lblCount->text();
    };
    EXPECT_EQ(shown(),
              QStringList({"Morning News recorded", "Farm report short*!", "Noon news dumped*!",
                           "Sports refused*!", "Old news missed*!", "5 of 5 takes"}));
    w.cboOutcome->setCurrentIndex(w.cboOutcome->findData(FailedTakes));
    QTest::keyClicks(w.txtProgramme, "NEWS");
    EXPECT_EQ(shown(), QStringList({"Noon news dumped*!", "Old news missed*!", "2 of 5 takes"}));

    // A double-click follows a click, as the view expects.
    w.cboOutcome->setCurrentIndex(w.cboOutcome->findData(AllTakes));
    for (int row : {0, 1}) {
        const QRect cell = w.grdTakes->visualRect(w.grdTakes->model()->index(row, 3));
        QTest::mouseClick(w.grdTakes->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(w.grdTakes->viewport(), Qt::LeftButton, {}, cell.center());
    }
    const auto* audition = menu.findChild<frmAudition*>();
    ASSERT_TRUE(audition && audition->isVisible());
    EXPECT_EQ(audition->lstDay->currentItem()->text() + " " + audition->lblNumber->text(),
              "Monday 1");
    EXPECT_EQ(t.messages.shown,
              QStringList{"Nothing was recorded of Noon news (Mon 03/02/26 06:00:00)."});
}

} // namespace
