#include "logs/frmActivityLog.h"
#include "support/test.h"

#include "fakes/list_texts.h"
#include "fakes/takes.h"

#include <QtCharts>
#include <QtWidgets>

// With no logs OK shows nothing and says nothing. Only the Eb/No log gets a
// chart: the day's readings over that day's takes, shaded by how they ended.
TEST(ActivityLogWindow, ShowsTheNewestDayByTimeOrByEventAndChartsEbNo) {
    TakeStation h;
    TempStation& t = h.t;
    frmActivityLog none(*t.station, "EB");
    QTest::mouseClick(none.cmdOk, Qt::LeftButton);
    EXPECT_EQ(listTexts(none.lstDate) + listTexts(none.lstActivityLog) + t.messages.shown,
              QStringList{"No Logs Found"});

    TempStation::writeFile(t.host("c:\\satfile\\logs\\AL251231.log"), "23:00:00  Old\r\n");
    TempStation::writeFile(t.host("c:\\satfile\\logs\\AL260101.log"),
                           "01:00:00  B event\r\n02:00:00  A event\r\n");
    frmActivityLog w(*t.station, "AL");
    w.show();
    EXPECT_EQ(listTexts(w.lstDate), QStringList({"01/01/26", "12/31/25"}));
    QTest::mouseClick(w.cmdOk, Qt::LeftButton);
    EXPECT_EQ(w.windowTitle(), "Activity Log for 01/01/26");
    EXPECT_EQ(listTexts(w.lstActivityLog), QStringList({"01:00:00  B event", "02:00:00  A event"}));
    w.Option2->setChecked(true);
    QTest::mouseClick(w.cmdOk, Qt::LeftButton);
    EXPECT_EQ(listTexts(w.lstActivityLog), QStringList({"A event 02:00:00", "B event 01:00:00"}));

    TempStation::writeFile(t.host("c:\\satfile\\logs\\EB260301.log"),
                           "09:00:12  9.8 dB\r\n10:00:12  \r\n11:00:12  7.5 dB\r\n");
    for (int hour : {9, 14})
        ASSERT_TRUE(h.write(
            TakeStation::take("Take", hour == 9 ? TakeOutcome::Recorded : TakeOutcome::Dumped,
                              QDateTime(QDate(2026, 3, 1), QTime(hour, 0)))));
    frmActivityLog eb(*t.station, "EB", &h.history);
    eb.show();
    QTest::mouseClick(eb.cmdOk, Qt::LeftButton);
    QStringList series; // name, points, first-last
    const auto at = [](QPointF p) {
        return QDateTime::fromMSecsSinceEpoch(qint64(p.x())).toString("HH:mm");
    };
    for (QAbstractSeries* s : eb.chtEbNo->chart()->series()) {
        const auto* band = qobject_cast<QAreaSeries*>(s);
        const auto points = (band ? band->upperSeries() : qobject_cast<QLineSeries*>(s))->points();
        series << QString("%1 %2 %3-%4")
                      .arg(s->name(), QString::number(points.size()), at(points.first()),
                           at(points.last()));
    }
    EXPECT_TRUE(eb.chtEbNo->isVisible());
    EXPECT_EQ(series, QStringList({"take 2 09:00-09:30", "failed take 2 14:00-14:30",
                                   "Eb/No 2 09:00-11:00"}));
    eb.showKind("ER");
    EXPECT_FALSE(eb.chtEbNo->isVisible());
}
