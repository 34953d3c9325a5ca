#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/next_event_finder.h"
#include "station/station.h"
#include "support/test.h"

namespace {

// Wednesday 4 March 2026, 10:00:00.
const QDateTime Wednesday10(QDate(2026, 3, 4), QTime(10, 0, 0));

class FinderTest : public ::testing::Test {
protected:
    FinderTest() : t(Wednesday10) { t.startUp(); }
    ScheduleFile& file() { return t.station->state.SatListFile; }
    StationState& s() { return t.station->state; }

    TempStation t;
};

TEST_F(FinderTest, PicksTheNextOccurrenceCountingFromToday) {
    putSchedule(file(), 1, "Early", "1", {{4, "09:00:00"}});
    putSchedule(file(), 2, "Later", "1", {{4, "11:00:00"}});
    putSchedule(file(), 3, "Monday", "1", {{2, "08:00:00"}});
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(s().Rec(1).NextRecTime, "11:00:00");
    EXPECT_EQ(s().Rec(1).NextRecDay, 4);
    EXPECT_EQ(s().Rec(1).NextRecSlot, 2);
    EXPECT_EQ(s().Rec(1).NextRecEntry, 0);
    EXPECT_EQ(s().Rec(1).NextRecName, "Later                    ");
    // Keys: Wednesday 11:00 is 14, Monday next week 19, Wednesday 09:00 next week 21.
    EXPECT_EQ(t.station->weeklyLists.lstWeeklySchedule,
              (QStringList{"Wed 11:00:00  Sun Later                    ",
                           "Mon 08:00:00  Sun Monday                   ",
                           "Wed 09:00:00  Sun Early                    "}));
    const auto& items = t.station->weeklyLists.lstSort.items();
    EXPECT_EQ(items[0].number, 1402);
    EXPECT_EQ(items[1].number, 1903);
    EXPECT_EQ(items[2].number, 2101);
    EXPECT_EQ(t.station->display.Rec(1).lblNextToRecord,
              "Next to Record Channel 1:  Sunday  Later on  Wednesday   @ 11:00:00");
}

TEST_F(FinderTest, AnEntryAtExactlyNowIsToday) {
    putSchedule(file(), 1, "Now", "2", {{4, "10:00:00"}});
    putSchedule(file(), 2, "Soon", "2", {{4, "10:00:01"}});
    FindNextRecord(*t.station, 2);
    EXPECT_EQ(s().Rec(2).NextRecSlot, 1);
    EXPECT_EQ(s().Rec(2).NextRecDay, 4);
}

TEST_F(FinderTest, OnlyEntryAlreadyPassedTodayIsTakenAsToday) {
    putSchedule(file(), 7, "Passed", "3", {{0, "08:00:00"}, {4, "09:59:59"}});
    FindNextSwitch(*t.station);
    EXPECT_EQ(s().NextSwitchSlot, 7);
    EXPECT_EQ(s().NextSwitchDay, 4);
    EXPECT_EQ(s().NextSwitchTime, "09:59:59");
    EXPECT_EQ(t.station->weeklyLists.lstSort.at(0).number, 2117);
    EXPECT_EQ(t.station->display.lblNextSwitch,
              "Next to Switch:  Monday  Passed on  Wednesday   @ 09:59:59");
}

TEST_F(FinderTest, ChannelAndInUseDecideTheCandidates) {
    putSchedule(file(), 1, "Channel two", "2", {{4, "10:30:00"}});
    putSchedule(file(), 2, "Switch", "3", {{4, "10:20:00"}});
    putSchedule(file(), 3, "Deleted", "1", {{4, "10:10:00"}});
    ASSERT_TRUE(file().deleteRecord(3));
    putSchedule(file(), 4, "Channel one", "1", {{5, "07:00:00"}, {0, "10:05:00"}});
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(s().Rec(1).NextRecSlot, 4);
    EXPECT_EQ(s().Rec(1).NextRecDay, 5);
    EXPECT_EQ(t.station->weeklyLists.lstWeeklySchedule.size(), 1);
    FindNextRecord(*t.station, 2);
    EXPECT_EQ(s().Rec(2).NextRecSlot, 1);
    FindNextSwitch(*t.station);
    EXPECT_EQ(s().NextSwitchSlot, 2);
}

TEST_F(FinderTest, NoCandidateKeepsThePreviousChoiceButEmptiesTheLists) {
    putSchedule(file(), 1, "Only", "1", {{6, "12:00:00"}});
    FindNextRecord(*t.station, 1);
    const QString label = t.station->display.Rec(1).lblNextToRecord;
    ASSERT_TRUE(file().deleteRecord(1));
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(s().Rec(1).NextRecSlot, 1);
    EXPECT_EQ(s().Rec(1).NextRecTime, "12:00:00");
    EXPECT_EQ(t.station->display.Rec(1).lblNextToRecord, label);
    EXPECT_TRUE(t.station->weeklyLists.lstWeeklySchedule.isEmpty());
}

// Same day and time on two schedules: the rest of the text decides, the
// entry's row name and then the programme name.
TEST_F(FinderTest, EqualTimesAreOrderedByRowThenName) {
    putSchedule(file(), 1, "Zulu", "1", {{5, "06:00:00"}});
    putSchedule(file(), 2, "Alpha", "1", {{0, ""}, {5, "06:00:00"}});
    putSchedule(file(), 3, "Bravo", "1", {{5, "06:00:00"}});
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(s().Rec(1).NextRecSlot, 2); // row "Mon" sorts before row "Sun"
    ASSERT_TRUE(file().deleteRecord(2));
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(s().Rec(1).NextRecSlot, 3);
}

// A stray day digit beyond Saturday must not become a weekday or crash the finder.
TEST_F(FinderTest, DayDigitsBeyondSaturdayAreOff) {
    QByteArray bytes;
    putSchedule(file(), 1, "Odd", "1", {{5, "06:00:00"}, {6, "07:00:00"}});
    bytes = file().read(1)->bytes();
    bytes[265] = '9';
    ASSERT_TRUE(file().write(1, ScheduleRecord(bytes)));
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(t.station->weeklyLists.lstWeeklySchedule.size(), 1);
    EXPECT_EQ(s().Rec(1).NextRecDay, 6);
}

TEST_F(FinderTest, SlotNumbersUpToTheLimitSurviveTheItemNumber) {
    putSchedule(file(), 999, "Last slot", "1",
                {{0, ""}, {0, ""}, {0, ""}, {0, ""}, {0, ""}, {0, ""}, {3, "23:59:59"}});
    FindNextRecord(*t.station, 1);
    EXPECT_EQ(s().Rec(1).NextRecSlot, 999);
    EXPECT_EQ(s().Rec(1).NextRecEntry, 6);
    EXPECT_EQ(s().Rec(1).NextRecDay, 3);
    EXPECT_EQ(t.station->weeklyLists.lstSort.at(0).number, 206999);
}

} // namespace
