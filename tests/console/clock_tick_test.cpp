#include "console/clock_tick.h"
#include "fakes/fake_station_parts.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "station/log_files.h"
#include "support/test.h"

namespace {

// Monday 2 March 2026.
const QDate Monday(2026, 3, 2);

class TickTest : public ::testing::Test {
protected:
    explicit TickTest(const QDateTime& start = QDateTime(Monday, QTime(9, 59, 40))) : t(start) {}

    void load(const SettingRecords& settings = {}) {
        t.writeSettings(settings);
        dispatcher = std::make_unique<ClockDispatcher>(*t.station, parts.handoffs());
        parts.attach(*dispatcher);
        const StartUpResult r = dispatcher->Form_Load();
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }
    ScheduleFile& file() {
        // The schedules go in before the load; open the file ourselves.
        if (!scheduleFile.isOpen()) {
            QDir().mkpath(t.host("c:\\satfile"));
            EXPECT_TRUE(scheduleFile.open(t.host(ScheduleFile::StationPath), nullptr));
        }
        return scheduleFile;
    }
    void runUntil(const QTime& time, const QDate& date = Monday) {
        t.time.advanceTo(QDateTime(date, time));
    }
    // Ticks by hand at chosen moments, as when the machine was too busy to
    // tick in between; one-shot timers still run on virtual time.
    void tickAt(const QTime& time, const QDate& date = Monday) {
        dispatcher->tmrClock->setEnabled(false);
        t.time.advanceTo(QDateTime(date, time));
        dispatcher->ClockTick();
    }
    QStringList times(const QString& what) const {
        QStringList out;
        for (const auto& c : parts.named(what))
            out << c.when.toString("HH:mm:ss.zzz");
        return out;
    }
    const ConsoleDisplay& display() const { return t.station->display; }
    StationState& s() { return t.station->state; }

    TempStation t;
    ScheduleFile scheduleFile;
    FakeStationParts parts{*t.station};
    std::unique_ptr<ClockDispatcher> dispatcher;
};

TEST_F(TickTest, ChannelOneCountsSevenCuesASecondLaterAndArmsBelowOne) {
    putSchedule(file(), 1, "Ten O'Clock", "1", {{2, "10:00:00"}});
    load();
    runUntil(QTime(9, 59, 53));
    EXPECT_EQ(display().Rec(1).lblRecTime, "    00:07");
    // 7.5 rounds to 8 (half to even), so the first tick showing 7 is at .55.
    runUntil(QTime(10, 0, 1));
    EXPECT_EQ(times("cue1"), QStringList{"09:59:53.550"});
    EXPECT_EQ(times("arm1"), QStringList{"09:59:59.500"});
    EXPECT_EQ(parts.named("cue1")[0].slot, 1);
}

TEST_F(TickTest, ChannelTwoCuesAtFourAndTheSwitchAtOneWithItsTwoSecondTimer) {
    putSchedule(file(), 1, "Second channel", "2", {{2, "10:00:00"}});
    putSchedule(file(), 2, "Switch", "3", {{2, "10:00:00"}});
    load();
    runUntil(QTime(10, 0, 2));
    // 4.5 rounds to 4: enabled at 09:59:55.50.
    EXPECT_EQ(times("cue2"), QStringList{"09:59:56.500"});
    EXPECT_EQ(times("arm2"), QStringList{"09:59:59.500"});
    EXPECT_EQ(times("switch"), QStringList{"10:00:00.550"});
}

TEST_F(TickTest, AMissedCueSecondStillCuesAtTheSecondChance) {
    putSchedule(file(), 1, "One", "1", {{2, "10:00:00"}});
    putSchedule(file(), 2, "Two", "2", {{2, "10:00:00"}});
    putSchedule(file(), 3, "Switch", "3", {{2, "10:00:00"}});
    load();
    tickAt(QTime(9, 59, 50));
    tickAt(QTime(9, 59, 55)); // channel 1 at 5, channel 2 at 5
    tickAt(QTime(9, 59, 58)); // channel 2 at 2, switch at 2
    tickAt(QTime(10, 0, 0));  // switch at 0
    t.time.advance(3000);
    EXPECT_EQ(times("cue1"), QStringList{"09:59:56.000"});
    EXPECT_EQ(times("cue2"), QStringList{"09:59:59.000"});
    EXPECT_EQ(times("switch"), QStringList{"10:00:02.000"});
}

// The switch timer runs two seconds; cued at the last moment it fires after
// the switch time, and must still switch to its own schedule.
TEST_F(TickTest, SwitchCuedAtTheLastMomentSwitchesItsOwnSchedule) {
    putSchedule(file(), 1, "First", "3", {{2, "10:00:00"}});
    putSchedule(file(), 2, "Second", "3", {{2, "10:00:20"}});
    load();
    tickAt(QTime(9, 59, 58));
    tickAt(QTime(10, 0, 0));
    dispatcher->tmrClock->setEnabled(true);
    runUntil(QTime(10, 0, 30));
    ASSERT_EQ(times("switch"), (QStringList{"10:00:02.000", "10:00:20.550"}));
    EXPECT_EQ(parts.named("switch")[0].slot, 1);
    EXPECT_EQ(parts.named("switch")[1].slot, 2);
}

// A switch a second after another is found only once its own second has
// begun, while the first one's cue was pending: it is switched late, once,
// not passed by without a word.
TEST_F(TickTest, SwitchASecondAfterAnotherIsSwitchedLateOnce) {
    putSchedule(file(), 1, "First", "3", {{2, "10:00:00"}});
    putSchedule(file(), 2, "Second", "3", {{2, "10:00:01"}});
    load();
    runUntil(QTime(10, 0, 10));
    const auto switched = parts.named("switch");
    ASSERT_EQ(switched.size(), 2u) << times("switch").join(" ").toStdString();
    EXPECT_EQ(switched[0].slot, 1);
    EXPECT_EQ(switched[1].slot, 2);
}

TEST_F(TickTest, CountdownStaysNegativeForTwoSecondsThenShowsNextWeek) {
    putSchedule(file(), 1, "One", "1", {{2, "10:00:00"}});
    load();
    tickAt(QTime(10, 0, 1));
    EXPECT_EQ(display().Rec(1).lblRecTime, "   -00:01");
    tickAt(QTime(10, 0, 2));
    EXPECT_EQ(display().Rec(1).lblRecTime, "   -00:02");
    tickAt(QTime(10, 0, 3));
    EXPECT_EQ(display().Rec(1).lblRecTime, "167:59:57");
}

TEST_F(TickTest, SwitchFinderMovesOnASecondAfterTheSwitchHasPassed) {
    putSchedule(file(), 1, "Early", "3", {{2, "10:00:00"}});
    putSchedule(file(), 2, "Late", "3", {{2, "10:30:00"}});
    load();
    runUntil(QTime(10, 0, 0, 400));
    EXPECT_EQ(s().NextSwitchSlot, 1);
    runUntil(QTime(10, 0, 2));
    EXPECT_EQ(s().NextSwitchSlot, 2);
    EXPECT_EQ(display().lblSwitchTimer, "    29:58");
}

// A channel busy with one programme when the next one comes must not stay
// pinned to the missed one for a week: the one after it is still recorded.
TEST_F(TickTest, AProgrammeMissedWhileBusyDoesNotHoldTheChannel) {
    putSchedule(file(), 1, "Long", "1", {{2, "10:00:00"}}, "10:00");
    putSchedule(file(), 2, "Overlapping", "1", {{2, "10:05:00"}});
    putSchedule(file(), 3, "Following", "1", {{2, "10:20:00"}});
    load();
    runUntil(QTime(10, 21, 0));
    QList<ScheduleNo> armed;
    for (const auto& c : parts.named("arm1"))
        armed << c.slot;
    EXPECT_EQ(armed, (QList<ScheduleNo>{1, 3}));
    EXPECT_EQ(times("stop1"), (QStringList{"10:09:59.550", "10:20:29.550"}));
}

// The clock passes a programme's start between two ticks (set forward, or
// the machine stalled): it cannot be recorded or switched any more, and the
// error log says so once, then the channel moves on.
TEST_F(TickTest, ProgrammesTheClockPassesAreSaidToBeLost) {
    putSchedule(file(), 1, "Skipped", "1", {{2, "10:00:00"}});
    putSchedule(file(), 2, "Skipped Switch", "3", {{2, "10:00:00"}});
    putSchedule(file(), 3, "Next", "1", {{2, "10:10:00"}});
    load({{Setting::ActivityLogOn, 1}});
    tickAt(QTime(9, 59, 50));
    tickAt(QTime(10, 0, 20));
    dispatcher->tmrClock->setEnabled(true);
    runUntil(QTime(10, 10, 5));
    EXPECT_TRUE(parts.named("switch").empty());
    const QByteArray errors = TempStation::readFile(t.host(logFileStationPath("ER", Monday)));
    EXPECT_EQ(errors.count("Record channel 1: Skipped due at 10:00:00 was not recorded: the clock "
                           "passed its start"),
              1)
        << errors.toStdString();
    EXPECT_EQ(errors.count("Switch: Skipped Switch due at 10:00:00 was not switched"), 1);
    ASSERT_EQ(parts.named("arm1").size(), 1u);
    EXPECT_EQ(parts.named("arm1")[0].slot, 3);
}

// After the day's last take the next programme is a week on, at a time of
// day already past today: the one recorded today is not said to be lost.
TEST_F(TickTest, NextProgrammeAWeekOnIsNotSaidToBeLost) {
    putSchedule(file(), 1, "First", "1", {{2, "10:00:00"}}, "00:05");
    putSchedule(file(), 2, "Last", "1", {{2, "10:01:00"}}, "00:05");
    load({{Setting::ActivityLogOn, 1}});
    runUntil(QTime(10, 3, 0));
    EXPECT_EQ(parts.named("arm1").size(), 2u);
    EXPECT_FALSE(TempStation::readFile(t.host(logFileStationPath("ER", Monday)))
                     .contains("was not recorded"));
}

// The clock set back over a programme already recorded does not record it
// again.
TEST_F(TickTest, ClockSetBackOverATakeDoesNotArmItAgain) {
    putSchedule(file(), 1, "Once", "1", {{2, "10:00:00"}}, "00:05");
    load();
    runUntil(QTime(10, 0, 20));
    t.time.jumpTo(QDateTime(Monday, QTime(9, 59, 58)));
    runUntil(QTime(10, 0, 20));
    EXPECT_EQ(parts.named("arm1").size(), 1u);
}

TEST_F(TickTest, ArmedChannelWithoutAudioIsDumpedAfterItsLength) {
    putSchedule(file(), 1, "Silent", "1", {{2, "10:00:00"}}, "01:00");
    putSchedule(file(), 2, "Next", "1", {{2, "11:00:00"}});
    parts.silent = true;
    load();
    runUntil(QTime(10, 1, 5));
    EXPECT_EQ(times("dump1"), QStringList{"10:00:59.550"});
    EXPECT_EQ(s().Rec(1).NextRecSlot, 2);
}

TEST_F(TickTest, ElapsedRecordTimeShowsWhileRecording) {
    putSchedule(file(), 1, "One", "1", {{2, "10:00:00"}}, "05:00");
    load();
    runUntil(QTime(10, 1, 5, 500));
    EXPECT_EQ(display().Rec(1).lblRecordTimer, "01:06");
}

TEST_F(TickTest, ChannelTwoTimeWithABlankIsSkipped) {
    load();
    s().Rec(2).NextRecTime = "10:00:0 ";
    s().Rec(2).NextRecDay = 2;
    runUntil(QTime(10, 0, 5));
    EXPECT_TRUE(parts.named("cue2").empty());
    EXPECT_TRUE(display().Rec(2).lblRecTime.isEmpty());
}

class MidnightTickTest : public TickTest {
protected:
    MidnightTickTest() : TickTest(QDateTime(Monday, QTime(23, 59, 0))) {}
};

TEST_F(MidnightTickTest, PlayCountdownCarriesPastMidnightAndPulsesOnce) {
    load();
    s().Playing = 1;
    s().PlayEndAt = 86410; // ends at 00:00:10 tomorrow
    s().EomSent = false;
    runUntil(QTime(0, 0, 0, 100), Monday.addDays(1));
    EXPECT_DOUBLE_EQ(s().PlayEndAt, 10);
    runUntil(QTime(0, 0, 5), Monday.addDays(1));
    EXPECT_EQ(display().lblPlayTime, "00:05");
    runUntil(QTime(0, 0, 20), Monday.addDays(1));
    EXPECT_EQ(parts.relayWrites, (QStringList{"element0=1", "element0=0"}));
    EXPECT_EQ(times("relays"), (QStringList{"00:00:10.550", "00:00:11.550"}));
    EXPECT_TRUE(s().EomSent);
    EXPECT_FALSE(dispatcher->TimerEOM->isEnabled());
}

// Stop times are times of day; one past midnight must still be reached.
TEST_F(MidnightTickTest, RecordingAcrossMidnightStopsOnTime) {
    putSchedule(file(), 1, "Late", "1", {{2, "23:59:50"}}, "00:30");
    putSchedule(file(), 2, "Tomorrow", "1", {{3, "00:05:00"}});
    load();
    runUntil(QTime(0, 0, 10), Monday.addDays(1));
    EXPECT_EQ(display().Rec(1).lblRecordTimer, "00:20");
    runUntil(QTime(0, 6, 0), Monday.addDays(1));
    EXPECT_EQ(times("stop1"), (QStringList{"00:00:19.550", "00:05:29.550"}));
    EXPECT_EQ(times("arm1"), (QStringList{"23:59:49.500", "00:04:59.500"}));
}

TEST_F(MidnightTickTest, PlaylistIsRebuiltOnceAtFiveToMidnight) {
    load();
    t.station->display.PlayList.add("20:00:00  Old", 1);
    runUntil(QTime(0, 0, 30), Monday.addDays(1));
    EXPECT_EQ(times("playlist mode 0"), QStringList{"23:59:55.000"});
    EXPECT_EQ(parts.named("playlist mode 1").size(), 1u); // the load
    EXPECT_TRUE(t.station->display.PlayList.isEmpty());
    EXPECT_EQ(s().MidnightListLatch, 0);
}

TEST_F(MidnightTickTest, PurgeRunsOnceAtHalfAMinutePastMidnight) {
    load({{Setting::ActivityLogOn, 1}, {Setting::WaveKeepDays, 1}, {Setting::WaveDriveNo, 3}});
    runUntil(QTime(0, 1, 0), Monday.addDays(1));
    const QByteArray log =
        TempStation::readFile(t.host(logFileStationPath("AL", Monday.addDays(1))));
    EXPECT_EQ(log.count("Deleted Monday Sound Files"), 1) << log.toStdString();
    EXPECT_TRUE(log.startsWith("00:00:30  ")) << log.toStdString();
    EXPECT_EQ(s().LogPurgeLatch, 0);
}

TEST_F(TickTest, EbNoEveryTwentyMinutesPollsOnceAtEachMoment) {
    load({{Setting::EbNoLogInterval, 3}});
    runUntil(QTime(11, 59, 50));
    QStringList moments;
    for (const auto& c : parts.named("ebno"))
        moments << c.when.toString("HH:mm:ss");
    EXPECT_EQ(moments, (QStringList{"10:00:12", "10:20:12", "10:40:12", "11:00:12", "11:20:12",
                                    "11:40:12"}));
}

TEST_F(TickTest, EbNoIntervalsBeyondTheTableNeverPoll) {
    load({{Setting::EbNoLogInterval, 6}});
    runUntil(QTime(10, 1, 0));
    EXPECT_TRUE(parts.named("ebno").empty());
}

class TimeChangeTickTest : public TickTest {
protected:
    explicit TimeChangeTickTest(const QDate& date = QDate(2026, 3, 8))
        : TickTest(QDateTime(date, QTime(1, 59, 0))), date_(date) {}
    int adjustmentsUntilTwoPastTwo() {
        t.time.advanceTo(QDateTime(date_, QTime(2, 2, 0)));
        return int(parts.named("timechange").size());
    }
    QDate date_;
};

TEST_F(TimeChangeTickTest, ArmsOnlyInTheThreeSecondsBeforeOneFiftyNineFiftySeven) {
    load({{Setting::TimeChangeAdjust, 1}});
    runUntil(QTime(1, 59, 54), date_);
    EXPECT_FALSE(dispatcher->tmrTimeChange->isEnabled());
    runUntil(QTime(1, 59, 54, 50), date_);
    EXPECT_TRUE(dispatcher->tmrTimeChange->isEnabled());
    EXPECT_EQ(adjustmentsUntilTwoPastTwo(), 1);
    EXPECT_EQ(times("timechange"), QStringList{"01:59:58.050"});
    EXPECT_FALSE(dispatcher->tmrTimeChange->isEnabled());
}

TEST_F(TimeChangeTickTest, SwitchOffNeverArms) {
    load({{Setting::TimeChangeAdjust, 0}});
    EXPECT_EQ(adjustmentsUntilTwoPastTwo(), 0);
}

class FallTickTest : public TimeChangeTickTest {
protected:
    FallTickTest() : TimeChangeTickTest(QDate(2026, 11, 1)) {}
};
TEST_F(FallTickTest, ArmsOnTheFallDateToo) {
    load({{Setting::TimeChangeAdjust, 1}});
    EXPECT_EQ(adjustmentsUntilTwoPastTwo(), 1);
}

class OrdinaryDayTickTest : public TimeChangeTickTest {
protected:
    OrdinaryDayTickTest() : TimeChangeTickTest(QDate(2026, 3, 9)) {}
};
TEST_F(OrdinaryDayTickTest, NeverArmsOnOtherDates) {
    load({{Setting::TimeChangeAdjust, 1}});
    EXPECT_EQ(adjustmentsUntilTwoPastTwo(), 0);
}

TEST_F(TickTest, LoadFindsTheNextEventsBuildsThePlaylistAndPollsInputsEveryTick) {
    putSchedule(file(), 1, "One", "1", {{3, "08:00:00"}});
    load();
    EXPECT_EQ(s().Rec(1).NextRecSlot, 1);
    EXPECT_EQ(s().PlayListMode, 1);
    EXPECT_EQ(parts.named("playlist mode 1").size(), 1u);
    EXPECT_FALSE(display().lblClock.isEmpty());
    const int before = parts.remotePolls;
    t.time.advance(1000);
    EXPECT_EQ(parts.remotePolls - before, 20);
}

} // namespace
