#include "schedule/schedule_views.h"
#include "support/test.h"

#include "fakes/schedules.h"
#include "fakes/temp_station.h"

namespace {

class ViewsTest : public ::testing::Test {
protected:
    void SetUp() override { t.startUp(); }
    StationState& s() { return t.station->state; }
    static QString name25(const QString& name) { return name.leftJustified(25); }
    // Each head starts where its field does in a line of the view.
    static void expectHeadsOver(const QString& heads, const QString& line,
                                std::initializer_list<std::pair<const char*, const char*>> fields) {
        for (const auto& [head, field] : fields)
            EXPECT_EQ(heads.indexOf(head), line.indexOf(field))
                << head << " in " << heads.toStdString();
    }

    TempStation t;
};

TEST_F(ViewsTest, PlayViewListsEveryPlayTimeInWeekOrderThenTimeThenName) {
    ScheduleFields news = scheduleFields("news");
    news.PlayTimes[4] = "08:00:00";  // Monday, column 0
    news.PlayTimes[15] = "07:00:00"; // Wednesday, column 3
    ScheduleFields sw = scheduleFields("Alpha Switch", "3");
    sw.PlayTimes[7] = "08:00:00"; // Monday, column 3: same time, name sorts first
    put(s().SatListFile, 1, news);
    put(s().SatListFile, 2, sw);
    put(s().SatListFile, 3, news);
    ASSERT_TRUE(s().SatListFile.deleteRecord(3));

    const WeeklyScheduleLists view = WeeklyPlaySchedule(s());
    EXPECT_EQ(view.lstWeeklySchedule,
              (QStringList{"Mon 08:00:00 " + name25("Alpha Switch"),
                           "Mon 08:00:00 " + name25("news"), "Wed 07:00:00 " + name25("news")}));
    ASSERT_EQ(view.lstSort.count(), 3);
    EXPECT_EQ(view.lstSort.at(2).text, " 4Wed 07:00:00 " + name25("news"));
    expectHeadsOver(WeeklyPlayHeadings(), view.lstWeeklySchedule.first(),
                    {{"Day", "Mon"}, {"Time", "08:00:00"}, {"Name", "Alpha"}});
}

TEST_F(ViewsTest, RecordViewLeavesOutSwitchesAndDaysThatAreNone) {
    ScheduleFields rec = scheduleFields("Evening", "2");
    rec.RecDays = {0, 6, 2, 9, 0, 0, 0};
    rec.RecTimes[0] = "05:00:00"; // row marked Off
    rec.RecTimes[1] = "19:00:00"; // Friday, in the Monday row
    // Row 2 has a day but no time; row 3 a stray 9.
    rec.RecTimes[3] = "01:00:00";
    ScheduleFields sw = scheduleFields("Switch", "3");
    sw.RecDays[0] = 1;
    sw.RecTimes[0] = "04:00:00";
    put(s().SatListFile, 1, rec);
    put(s().SatListFile, 2, sw);

    const QStringList lines = WeeklyRecordSchedule(s()).lstWeeklySchedule;
    EXPECT_EQ(lines, (QStringList{"Mon " + QString(8, ' ') + "  Tue " + name25("Evening") + " 2",
                                  "Fri 19:00:00  Mon " + name25("Evening") + " 2"}));
    expectHeadsOver(
        WeeklyRecordHeadings(), lines.last(),
        {{"Day", "Fri"}, {"Time", "19:00:00"}, {"Row", "Mon"}, {"Name", "Evening"}, {"CH", "2"}});
}

// The heads stand over their fields in the fixed-pitch columns.
TEST_F(ViewsTest, PrintoutPutsFieldsUnderTheirHeadsInTheListsOrder) {
    ScheduleFields a = scheduleFields("Alpha");
    a.SatPort = "4";
    a.SatLang = "SR";
    a.SatAtt = "14";
    a.RecDays[2] = 3;
    a.RecTimes[2] = "06:00:00";
    a.RecTimes[6] = "23:00:00";
    put(s().SatListFile, 7, a);
    put(s().SatListFile, 12, scheduleFields("Beta", "3"));

    const auto lines = ScheduleListPrintout(s(), {12, 7}, QDate(2026, 3, 2));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].text, "    Satellite Record Schedule 3/2/2026");
    const QString heads = lines[2].text;
    EXPECT_EQ(heads.indexOf("Name"), 14);
    EXPECT_EQ(heads.indexOf("CH"), 29);
    EXPECT_EQ(lines[4].text, "    " + name25("Beta") + " 3  1  AA1  " + QString(5, ' ') + " S  0 ");
    const QString alpha = lines[7].text;
    EXPECT_EQ(alpha, "    " + name25("Alpha") + " 1  4  SR   00:30 S  14");
    qsizetype from = 29;
    for (const auto& [head, field] :
         {std::pair{"CH", "1"}, std::pair{"PT", "4"}, std::pair{"NET", "SR"},
          std::pair{"LEN", "00:30"}, std::pair{"RT", "S"}, std::pair{"AT", "14"}}) {
        const qsizetype h = heads.indexOf(head), f = alpha.indexOf(field, from);
        from = f + qsizetype(strlen(field));
        EXPECT_TRUE(h < from && f < h + qsizetype(strlen(head))) << head;
    }
    EXPECT_EQ(lines[8].text, "    Tue: 06:00:00  Sat: 23:00:00  ");
    EXPECT_EQ(lines[5].text, "    ");
    for (size_t i : {5u, 6u, 8u, 9u})
        EXPECT_EQ(lines[i].pointSize, 11) << i;
    for (size_t i : {0u, 2u, 4u, 7u})
        EXPECT_EQ(lines[i].pointSize, 12) << i;
}

} // namespace
