#include "schedule/time_change.h"
#include "support/test.h"

#include "console/clock_tick.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "station/log_files.h"

namespace {

// One schedule holding every case in its rows, with play times that must not
// move.
ScheduleRecord everyCase() {
    ScheduleFields f = scheduleFields("Changes");
    f.PlayTimes[0] = "00:15:00";
    f.PlayTimes[27] = "23:45:00";
    f.RecDays = {3, 1, 7, 6, 0, 5, 0};
    f.RecTimes = {"06:30:00", "00:15:00", "23:45:00", "23:00:00", "00:30:00", "", "09:10:11"};
    return ScheduleRecord::build(f);
}

// The record with only the day digits and hours replaced.
QByteArray withRows(const QByteArray& before, const QByteArray& days,
                    const QList<QByteArray>& hours) {
    QByteArray after = before;
    after.replace(265, 7, days);
    for (int r = 0; r < 7; ++r)
        after.replace(272 + 8 * r, 2, hours[r]);
    return after;
}

TEST(ShiftRecordTimes, MovesHoursAcrossMidnightAndNothingElse) {
    const QByteArray before = everyCase().bytes();
    EXPECT_EQ(ShiftRecordTimes(everyCase(), -1).bytes(),
              withRows(before, "37760 0", {"05", "23", "22", "22", "23", "  ", "08"}));
    EXPECT_EQ(ShiftRecordTimes(everyCase(), +1).bytes(),
              withRows(before, "31170 0", {"07", "01", "00", "00", "01", "  ", "10"}));
}

class TimeChangeTest : public ::testing::Test {
protected:
    explicit TimeChangeTest(const QDate& date = QDate(2026, 3, 8))
        : t(QDateTime(date, QTime(1, 59, 0))), date(date) {}
    void run(int16_t adjust) {
        t.writeSettings({{Setting::ActivityLogOn, 1}, {Setting::TimeChangeAdjust, adjust}});
        handoffs.timeChange = &timeChange;
        dispatcher = std::make_unique<ClockDispatcher>(*t.station, handoffs);
        ASSERT_TRUE(dispatcher->Form_Load().ok);
        ASSERT_TRUE(t.station->state.SatListFile.write(2, everyCase()));
        t.time.advanceTo(QDateTime(date, QTime(2, 2, 0)));
    }
    QByteArray stored() { return t.station->state.SatListFile.read(2)->bytes(); }
    QByteArray activityLog() {
        return TempStation::readFile(t.host(logFileStationPath("AL", date)));
    }

    TempStation t;
    QDate date;
    ScheduleTimeChange timeChange{*t.station};
    TickHandoffs handoffs;
    std::unique_ptr<ClockDispatcher> dispatcher;
};

TEST_F(TimeChangeTest, SpringDateMovesRecordTimesOnceAndLogsIt) {
    run(1);
    EXPECT_EQ(stored(), ShiftRecordTimes(everyCase(), -1).bytes());
    EXPECT_EQ(activityLog(), "01:59:58  Updated Schedules for DST\r\n");
    // The console counts down to the moved times at once, not an hour late.
    EXPECT_EQ(t.station->state.Rec(1).NextRecTime, "05:30:00");
    EXPECT_EQ(t.station->state.Rec(1).NextRecDay, 3);
    // A clock set back over the arming seconds does not move them again.
    t.time.jumpTo(QDateTime(date, QTime(1, 59, 50)));
    t.time.advance(20000);
    EXPECT_EQ(stored(), ShiftRecordTimes(everyCase(), -1).bytes());
}

TEST_F(TimeChangeTest, SwitchOffChangesNothing) {
    run(0);
    EXPECT_EQ(stored(), everyCase().bytes());
    t.station->state.TimeChangeAdjust = 0;
    timeChange.AdjustForTimeChange();
    EXPECT_EQ(stored(), everyCase().bytes());
    EXPECT_TRUE(activityLog().isEmpty());
}

class FallTimeChangeTest : public TimeChangeTest {
protected:
    FallTimeChangeTest() : TimeChangeTest(QDate(2026, 11, 1)) {}
};

TEST_F(FallTimeChangeTest, StandardTimeDateMovesAnHourLater) {
    run(1);
    EXPECT_EQ(stored(), ShiftRecordTimes(everyCase(), +1).bytes());
    EXPECT_EQ(activityLog(), "01:59:58  Updated Schedules for Standard Time\r\n");
}

// A console left running into a new year moves the schedules on that year's
// dates.
TEST(TimeChangeDates, AreRecomputedWhenTheYearChanges) {
    TempStation t(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 50)));
    TickHandoffs none;
    ClockDispatcher dispatcher(*t.station, none);
    ASSERT_TRUE(dispatcher.Form_Load().ok);
    t.time.advanceTo(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 10)));
    EXPECT_EQ(t.station->state.SpringChangeDate, QDate(2027, 3, 14));
    EXPECT_EQ(t.station->state.FallChangeDate, QDate(2027, 11, 7));
}

} // namespace
