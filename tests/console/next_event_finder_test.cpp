#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/next_event_finder.h"
#include "station/station.h"
#include "support/test.h"

namespace {

const QDateTime Wednesday10(QDate(2026, 3, 4), QTime(10, 0, 0));

QString sortNumbers(const Station& station) {
    QStringList numbers;
    for (const auto& i : station.weeklyLists.lstSort.items())
        numbers << QString::number(i.number);
    return numbers.join(' ');
}

// Keys: today (Wednesday) is 14, next Wednesday 21. Each finder's choice as
// "slot@day time#row [item numbers of the sort]" for channel 1, channel 2,
// then the switch (which has no row). Schedules are "slot chan name: day
// time, ..." by row, Sunday's first; a "-" before the slot deletes it again.
TEST(FinderTest, ChoosesTheNextOccurrenceListsTheWeekAndNamesTheChoice) {
    // clang-format off
    const std::pair<QStringList, const char*> cases[] = {
        // An entry at exactly now is today.
        {{"1 2 Now: 4 10:00:00", "2 2 Soon: 4 10:00:01"},
         "0@0 #0 [] | 1@4 10:00:00#0 [1401 1402] | 0@0 #- []"},
        // The only entry, passed today, is taken as today.
        {{"7 3 Passed: 0 08:00:00, 4 09:59:59"}, "0@0 #0 [] | 0@0 #0 [] | 7@4 09:59:59#- [2117]"},
        // The channel and being in use decide.
        {{"1 2 Channel two: 4 10:30:00", "2 3 Switch: 4 10:20:00", "-3 1 Deleted: 4 10:10:00",
          "4 1 Channel one: 5 07:00:00, 0 10:05:00"},
         "4@5 07:00:00#0 [1504] | 1@4 10:30:00#0 [1401] | 2@4 10:20:00#- [1402]"},
        // Equal times: the row's name decides before the programme's, "Mon" before "Sun".
        {{"1 1 Zulu: 5 06:00:00", "2 1 Alpha: 0 , 5 06:00:00", "3 1 Bravo: 5 06:00:00"},
         "2@5 06:00:00#1 [1512 1503 1501] | 0@0 #0 [] | 0@0 #- []"},
        {{"1 1 Zulu: 5 06:00:00", "-2 1 Alpha: 0 , 5 06:00:00", "3 1 Bravo: 5 06:00:00"},
         "3@5 06:00:00#0 [1503 1501] | 0@0 #0 [] | 0@0 #- []"},
        // Day digits beyond Saturday are off.
        {{"1 1 Odd: 9 06:00:00, 6 07:00:00"}, "1@6 07:00:00#1 [1611] | 0@0 #0 [] | 0@0 #- []"},
        // Slot numbers up to the limit survive the item number.
        {{"999 1 Last slot: 0 , 0 , 0 , 0 , 0 , 0 , 3 23:59:59"},
         "999@3 23:59:59#6 [206999] | 0@0 #0 [] | 0@0 #- []"},
    };
    // clang-format on
    for (const auto& [schedules, wanted] : cases) {
        TempStation t(Wednesday10);
        t.startUp();
        StationState& s = t.station->state;
        for (const QString& line : schedules) {
            const QString head = line.section(':', 0, 0), slot = head.section(' ', 0, 0);
            std::vector<std::pair<int, QString>> rows;
            for (const QString& row : line.section(": ", 1).split(", "))
                rows.emplace_back(row.section(' ', 0, 0).toInt(), row.section(' ', 1));
            putSchedule(s.SatListFile, std::abs(slot.toInt()), head.section(' ', 2),
                        head.section(' ', 1, 1), rows);
            EXPECT_TRUE(slot[0] != '-' || s.SatListFile.deleteRecord(-slot.toInt()));
        }
        QStringList chosen;
        const auto add = [&](ScheduleNo slot, int day, const QString& time, const QString& row) {
            chosen << QString("%1@%2 %3#%4 [%5]")
                          .arg(QString::number(slot), QString::number(day), time, row,
                               sortNumbers(*t.station));
        };
        for (int channel : {1, 2}) {
            FindNextRecord(*t.station, channel);
            const RecordChannelState& r = s.Rec(channel);
            add(r.NextRecSlot, r.NextRecDay, r.NextRecTime, QString::number(r.NextRecEntry));
        }
        FindNextSwitch(*t.station);
        add(s.NextSwitchSlot, s.NextSwitchDay, s.NextSwitchTime, "-");
        EXPECT_EQ(chosen.join(" | "), wanted) << schedules.join("; ").toStdString();
    }
    TempStation t(Wednesday10);
    t.startUp();
    StationState& s = t.station->state;
    putSchedule(s.SatListFile, 1, "Early", "1", {{4, "09:00:00"}});
    putSchedule(s.SatListFile, 2, "Later", "1", {{4, "11:00:00"}});
    putSchedule(s.SatListFile, 3, "Monday", "1", {{2, "08:00:00"}});
    putSchedule(s.SatListFile, 7, "Passed", "3", {{0, "08:00:00"}, {4, "09:59:59"}});
    FindNextSwitch(*t.station);
    EXPECT_EQ(t.station->display.lblNextSwitch,
              "Next to Switch:  Monday  Passed on  Wednesday   @ 09:59:59");
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(t.station->weeklyLists.lstWeeklySchedule,
              (QStringList{"Wed 11:00:00  Sun Later                    ",
                           "Mon 08:00:00  Sun Monday                   ",
                           "Wed 09:00:00  Sun Early                    "}));
    const QString label = "Next to Record Channel 1:  Sunday  Later on  Wednesday   @ 11:00:00";
    EXPECT_EQ(t.station->display.Rec(1).lblNextToRecord, label);
    // With no candidate left the choice stays, but the lists empty.
    for (ScheduleNo slot : {1, 2, 3})
        ASSERT_TRUE(s.SatListFile.deleteRecord(slot));
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(std::pair(s.Rec(1).NextRecSlot, s.Rec(1).NextRecTime),
              std::pair(ScheduleNo(2), QString("11:00:00")));
    EXPECT_EQ(t.station->display.Rec(1).lblNextToRecord, label);
    EXPECT_TRUE(t.station->weeklyLists.lstWeeklySchedule.isEmpty());
}

} // namespace
