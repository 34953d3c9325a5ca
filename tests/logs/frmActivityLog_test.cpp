#include "logs/frmActivityLog.h"
#include "support/test.h"

#include "fakes/temp_station.h"

#include <QtWidgets>

// Days and lines come from logDays/logDayLines (LogsTest.ViewerListsTheDaysAndShowsADay);
// here the window shows them: newest by time unless asked by event, and with no
// logs OK shows nothing and says nothing.
TEST(ActivityLogWindow, ShowsTheNewestDayByTimeOrByEvent) {
    TempStation t;
    const auto texts = [](const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    };
    frmActivityLog none(*t.station, "EB");
    QTest::mouseClick(none.cmdOk, Qt::LeftButton);
    EXPECT_EQ(texts(none.lstDate) + texts(none.lstActivityLog) + t.messages.shown,
              QStringList{"No Logs Found"});

    TempStation::writeFile(t.host("c:\\satfile\\logs\\AL251231.log"), "23:00:00  Old\r\n");
    TempStation::writeFile(t.host("c:\\satfile\\logs\\AL260101.log"),
                           "01:00:00  B event\r\n02:00:00  A event\r\n");
    frmActivityLog w(*t.station, "AL");
    w.show();
    EXPECT_EQ(w.windowTitle(), "Load Activity Log");
    EXPECT_EQ(texts(w.lstDate), QStringList({"01/01/26", "12/31/25"}));
    EXPECT_TRUE(w.Option1->isChecked());
    QTest::mouseClick(w.cmdOk, Qt::LeftButton);
    EXPECT_EQ(w.windowTitle(), "Activity Log for 01/01/26");
    EXPECT_EQ(texts(w.lstActivityLog), QStringList({"01:00:00  B event", "02:00:00  A event"}));
    w.Option2->setChecked(true);
    QTest::mouseClick(w.cmdOk, Qt::LeftButton);
    EXPECT_EQ(texts(w.lstActivityLog), QStringList({"A event 02:00:00", "B event 01:00:00"}));
}
