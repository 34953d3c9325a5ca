#include "console/clock_tick.h"
#include "fakes/fake_station_parts.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "station/log_files.h"
#include "station/time_format.h"
#include "support/test.h"

#include <QDir>
#include <algorithm>
#include <ctime>
#include <map>

namespace {

// Monday 2 March 2026.
const QDate Monday(2026, 3, 2);

// A station on the fake parts with its clock tick; the schedules go in
// before the load.
struct Rig {
    explicit Rig(const QDateTime& start = QDateTime(Monday, QTime(9, 59, 40))) : t(start) {
        QDir().mkpath(t.host("c:\\satfile"));
        EXPECT_TRUE(file.open(t.host(ScheduleFile::StationPath), nullptr));
    }
    void load(const SettingRecords& settings = {}) {
        t.writeSettings(settings);
        dispatcher = std::make_unique<ClockDispatcher>(*t.station, parts.handoffs());
        parts.attach(*dispatcher);
        const StartUpResult r = dispatcher->Form_Load();
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }
    // A time of day at or after the clock's, tomorrow when it is earlier.
    QDateTime next(const QTime& time) const {
        const QDateTime now = t.time.now();
        return QDateTime(now.date().addDays(time < now.time() ? 1 : 0), time);
    }
    void runUntil(const QTime& time) {
        dispatcher->tmrClock->setEnabled(true);
        t.time.advanceTo(next(time));
    }
    // Ticks by hand at chosen moments, as when the machine was too busy to
    // tick in between; one-shot timers still run on virtual time.
    void tickAt(const QTime& time) {
        dispatcher->tmrClock->setEnabled(false);
        t.time.advanceTo(next(time));
        dispatcher->ClockTick();
    }
    QString log(const char* kind, const QDate& date = Monday) const {
        return QString(TempStation::readFile(t.host(logFileStationPath(kind, date))))
            .replace("\r\n", "\n");
    }
    const ConsoleDisplay& display() const { return t.station->display; }
    StationState& s() { return t.station->state; }

    TempStation t;
    ScheduleFile file;
    FakeStationParts parts{*t.station};
    std::unique_ptr<ClockDispatcher> dispatcher;
};

// Programme n is "Prog n"; every one is on Monday unless it says otherwise.
struct Entry {
    ScheduleNo slot;
    const char* chan;
    const char* time;
    const char* length = "00:30";
    int day = 2;
};
// 't' ticks by hand at the time, 'r' runs the clock until it, 'j' sets the
// clock back to it; then the countdowns show "rec1|timer1|rec2|switch".
struct Step {
    char how;
    const char* at;
    const char* shown = nullptr;
};
struct Scenario {
    const char* name;
    const char* start;
    std::vector<Entry> schedules;
    std::vector<Step> steps;
    // Every cue, arm, switch, stop and dump: "what HH:mm:ss.zzz slot", where
    // the slot is the one the channel's finder holds at the call.
    const char* calls;
    const char* errors = "";
    bool silent = false;
};

TEST(TickTest, CuesArmsSwitchesStopsAndLostProgrammes) {
    const Scenario scenarios[] = {
        // 7.5 rounds to 8 (half to even), so the first tick showing 7 is at
        // .55; channel 2's 4.5 rounds to 4.
        {"channel 1 cues at seven, arms below one",
         "09:59:40",
         {{1, "1", "10:00:00"}},
         {{'r', "09:59:53", "    00:07|||"}, {'r', "10:00:01"}},
         "cue1 09:59:53.550 1, arm1 09:59:59.500 1"},
        {"channel 2 cues at four, the switch at one with its two-second timer; a second after "
         "the switch the finder moves on",
         "09:59:40",
         {{1, "2", "10:00:00"}, {2, "3", "10:00:00"}, {3, "3", "10:30:00"}},
         {{'r', "10:00:00.400", "||    00:00|    00:00"},
          {'r', "10:00:02", "||   -00:02|    29:58"}},
         "cue2 09:59:56.500 1, arm2 09:59:59.500 1, switch 10:00:00.550 2"},
        {"a missed cue second still cues at the second chance",
         "09:59:40",
         {{1, "1", "10:00:00"}, {2, "2", "10:00:00"}, {3, "3", "10:00:00"}},
         {{'t', "09:59:50"},
          {'t', "09:59:55"},
          {'t', "09:59:58"},
          {'t', "10:00:00"},
          {'r', "10:00:03"}},
         "cue1 09:59:56.000 1, cue2 09:59:59.000 2, arm1 10:00:00.000 1, arm2 10:00:00.000 2, "
         "switch 10:00:02.000 3"},
        {"the countdown stays negative for two seconds, then shows next week",
         "09:59:40",
         {{1, "1", "10:00:00"}},
         {{'t', "09:59:53", "    00:07|||"},
          {'t', "10:00:01", "   -00:01|00:00||"},
          {'t', "10:00:02", "   -00:02|00:01||"},
          {'t', "10:00:03", "167:59:57|00:02||"}},
         "cue1 09:59:54.000 1, arm1 10:00:01.000 1"},
        // The switch timer runs two seconds: cued at the last moment it fires
        // after the switch time, and must still switch its own schedule.
        {"a switch cued at the last moment switches its own schedule",
         "09:59:40",
         {{1, "3", "10:00:00"}, {2, "3", "10:00:20"}},
         {{'t', "09:59:58"}, {'t', "10:00:00"}, {'r', "10:00:30"}},
         "switch 10:00:02.000 1, switch 10:00:20.550 2"},
        // Found only once its own second has begun, while the first one's cue
        // was pending: switched late, once, not passed by without a word.
        {"a switch a second after another is switched late once",
         "09:59:40",
         {{1, "3", "10:00:00"}, {2, "3", "10:00:01"}},
         {{'r', "10:00:10"}},
         "switch 10:00:00.550 1, switch 10:00:03.550 2"},
        // A channel busy with one programme when the next one comes must not
        // stay pinned to the missed one for a week.
        {"a programme missed while busy does not hold the channel",
         "09:59:40",
         {{1, "1", "10:00:00", "10:00"}, {2, "1", "10:05:00"}, {3, "1", "10:20:00"}},
         {{'r', "10:01:05.500", "    03:54|01:06||"}, {'r', "10:21:00"}},
         "cue1 09:59:53.550 1, arm1 09:59:59.500 1, cue1 10:04:53.550 2, stop1 10:09:59.550 3, "
         "cue1 10:19:53.550 3, arm1 10:19:59.500 3, stop1 10:20:29.550 1",
         "10:05:02  Record channel 1: Prog 2 due at 10:05:00 was not recorded\n"},
        // The clock passes a programme's start between two ticks (set forward,
        // or the machine stalled): the error log says so once, and the
        // channel moves on.
        {"programmes the clock passes are said to be lost",
         "09:59:40",
         {{1, "1", "10:00:00"}, {2, "3", "10:00:00"}, {3, "1", "10:10:00"}},
         {{'t', "09:59:50"}, {'t', "10:00:20"}, {'r', "10:10:05"}},
         "cue1 10:09:53.550 3, arm1 10:09:59.500 3",
         "10:00:20  Switch: Prog 2 due at 10:00:00 was not switched: the clock passed its time\n"
         "10:00:20  Record channel 1: Prog 1 due at 10:00:00 was not recorded: the clock passed "
         "its start\n"},
        // After the day's last take the next one is a week on, at a time of
        // day already past: the one recorded today is not said to be lost.
        {"the next programme a week on is not said to be lost",
         "09:59:40",
         {{1, "1", "10:00:00", "00:05"}, {2, "1", "10:01:00", "00:05"}},
         {{'r', "10:03:00"}},
         "cue1 09:59:53.550 1, arm1 09:59:59.500 1, stop1 10:00:04.550 2, cue1 10:00:53.550 2, "
         "arm1 10:00:59.500 2, stop1 10:01:04.550 1"},
        {"the clock set back over a take does not arm it again",
         "09:59:40",
         {{1, "1", "10:00:00", "00:05"}},
         {{'r', "10:00:20"}, {'j', "09:59:58"}, {'r', "10:00:20"}},
         "cue1 09:59:53.550 1, arm1 09:59:59.500 1, stop1 10:00:04.550 1"},
        {"an armed channel without audio is dumped after its length",
         "09:59:40",
         {{1, "1", "10:00:00", "01:00"}, {2, "1", "11:00:00"}},
         {{'r', "10:01:05", "    58:55|||"}},
         "cue1 09:59:53.550 1, arm1 09:59:59.500 1, dump1 10:00:59.550 1",
         "",
         true},
        // Stop times are times of day; one past midnight must still be reached.
        {"a recording across midnight stops on time",
         "23:59:00",
         {{1, "1", "23:59:50", "00:30"}, {2, "1", "00:05:00", "00:30", 3}},
         {{'r', "00:00:10", "    04:50|00:20||"}, {'r', "00:06:00"}},
         "cue1 23:59:43.550 1, arm1 23:59:49.500 1, stop1 00:00:19.550 2, cue1 00:04:53.550 2, "
         "arm1 00:04:59.500 2, stop1 00:05:29.550 1"},
    };
    for (const Scenario& c : scenarios) {
        SCOPED_TRACE(c.name);
        Rig r(QDateTime(Monday, QTime::fromString(c.start)));
        for (const Entry& e : c.schedules)
            putSchedule(r.file, e.slot, QString("Prog %1").arg(e.slot), e.chan, {{e.day, e.time}},
                        e.length);
        r.parts.silent = c.silent;
        r.load({{Setting::ActivityLogOn, 1}});
        for (const Step& step : c.steps) {
            const QTime at = QTime::fromString(step.at, step.at[8] ? "HH:mm:ss.zzz" : "HH:mm:ss");
            if (step.how == 't')
                r.tickAt(at);
            else if (step.how == 'r')
                r.runUntil(at);
            else
                r.t.time.jumpTo(QDateTime(r.t.time.now().date(), at));
            const ConsoleDisplay& d = r.display();
            if (step.shown) {
                EXPECT_EQ(QStringList({d.Rec(1).lblRecTime, d.Rec(1).lblRecordTimer,
                                       d.Rec(2).lblRecTime, d.lblSwitchTimer})
                              .join('|'),
                          step.shown)
                    << step.at;
            }
        }
        QStringList calls;
        for (const auto& call : r.parts.calls)
            if (QStringList{"cue", "arm", "swi", "sto", "dum"}.contains(call.what.left(3)))
                calls << QString("%1 %2 %3")
                             .arg(call.what, call.when.toString("HH:mm:ss.zzz"))
                             .arg(call.slot);
        EXPECT_EQ(calls.join(", "), c.calls);
        EXPECT_EQ(r.log("ER"), c.errors);
    }
}

TEST(TickTest, ChannelTwoTimeWithABlankIsSkipped) {
    Rig r;
    r.load();
    r.s().Rec(2).NextRecTime = "10:00:0 ";
    r.s().Rec(2).NextRecDay = 2;
    r.runUntil(QTime(10, 0, 5));
    EXPECT_TRUE(r.parts.named("cue2").empty());
    EXPECT_TRUE(r.display().Rec(2).lblRecTime.isEmpty());
}

TEST(TickTest, LoadFindsTheNextEventsBuildsThePlaylistAndPollsInputsEveryTick) {
    Rig r;
    putSchedule(r.file, 1, "One", "1", {{3, "08:00:00"}});
    r.load();
    EXPECT_EQ(r.s().Rec(1).NextRecSlot, 1);
    EXPECT_EQ(r.s().PlayListMode, 1);
    EXPECT_EQ(r.parts.named("playlist mode 1").size(), 1u);
    EXPECT_FALSE(r.display().lblClock.isEmpty());
    const int before = r.parts.remotePolls;
    r.t.time.advance(1000);
    EXPECT_EQ(r.parts.remotePolls - before, 20);
}

TEST(TickTest, EbNoIsPolledOnceAtEachMomentOfItsInterval) {
    const struct {
        int16_t interval;
        const char* until;
        const char* moments;
    } cases[] = {{1, "11:01:00", "10:00:12 11:00:12"},
                 {2, "11:01:00", "10:00:12 10:30:12 11:00:12"},
                 {3, "11:59:50", "10:00:12 10:20:12 10:40:12 11:00:12 11:20:12 11:40:12"},
                 {4, "10:31:00", "10:00:12 10:15:12 10:30:12"},
                 {5, "10:02:00", "10:00:12 10:01:12"},
                 {6, "10:31:00", ""}};
    for (const auto& c : cases) {
        Rig r;
        r.load({{Setting::EbNoLogInterval, c.interval}});
        r.runUntil(QTime::fromString(c.until));
        EXPECT_EQ(r.parts.times("ebno", "HH:mm:ss").join(' '), c.moments) << c.interval;
    }
}

// The adjustment is armed only in the three seconds before 01:59:57 on the
// change dates, and its timer runs four seconds.
TEST(TickTest, TimeChangeIsAdjustedOnlyOnItsDatesWhenSwitchedOn) {
    const struct {
        QDate date;
        int16_t adjust;
        const char* moment;
    } cases[] = {{QDate(2026, 3, 8), 1, "01:59:58.050"},
                 {QDate(2026, 3, 8), 0, ""},
                 {QDate(2026, 11, 1), 1, "01:59:58.050"},
                 {QDate(2026, 3, 9), 1, ""}};
    for (const auto& c : cases) {
        Rig r(QDateTime(c.date, QTime(1, 59, 0)));
        r.load({{Setting::TimeChangeAdjust, c.adjust}});
        r.runUntil(QTime(2, 2, 0));
        EXPECT_EQ(r.parts.times("timechange").join(' '), c.moment)
            << c.date.toString().toStdString();
        EXPECT_FALSE(r.dispatcher->tmrTimeChange->isEnabled());
    }
}

TEST(TickTest, AtMidnightThePlayCountdownCarriesOverAndPulsesOnce) {
    Rig r(QDateTime(Monday, QTime(23, 59, 0)));
    r.load();
    r.s().Playing = 1;
    r.s().PlayEndAt = 86410; // ends at 00:00:10 tomorrow
    r.runUntil(QTime(0, 0, 0, 100));
    EXPECT_DOUBLE_EQ(r.s().PlayEndAt, 10);
    r.runUntil(QTime(0, 0, 5));
    EXPECT_EQ(r.display().lblPlayTime, "00:05");
    r.runUntil(QTime(0, 0, 20));
    EXPECT_EQ(r.parts.relayWrites, (QStringList{"element0=1", "element0=0"}));
    EXPECT_EQ(r.parts.times("relays"), (QStringList{"00:00:10.550", "00:00:11.550"}));
    EXPECT_TRUE(r.s().EomSent);
    EXPECT_FALSE(r.dispatcher->TimerEOM->isEnabled());
}

TEST(TickTest, AtMidnightThePlaylistIsRebuiltAndFilesPurgedOnce) {
    Rig r(QDateTime(Monday, QTime(23, 59, 0)));
    r.load({{Setting::ActivityLogOn, 1}, {Setting::WaveKeepDays, 1}, {Setting::WaveDriveNo, 3}});
    r.t.station->display.PlayList.add("20:00:00  Old", 1);
    r.runUntil(QTime(0, 1, 0));
    EXPECT_EQ(r.parts.times("playlist mode 0"), QStringList{"23:59:55.000"});
    EXPECT_EQ(r.parts.named("playlist mode 1").size(), 1u); // the load
    EXPECT_TRUE(r.display().PlayList.isEmpty());
    EXPECT_EQ(r.s().MidnightListLatch, 0);
    const QString log = r.log("AL", Monday.addDays(1));
    EXPECT_EQ(log.count("Deleted Monday Sound Files"), 1) << log.toStdString();
    EXPECT_TRUE(log.startsWith("00:00:30  ")) << log.toStdString();
    EXPECT_EQ(r.s().LogPurgeLatch, 0);
}

// A whole week of 50 ms ticks on virtual time against a varied schedule:
// every cue, arm and switch must happen once, at its second.
TEST(ClockWeekTest, EveryEventOfAWeekHappensOnceAtItsSecond) {
    // Wednesday noon to Wednesday noon: Saturday to Sunday falls inside.
    const QDateTime start(QDate(2026, 3, 4), QTime(12, 0, 0));
    const QDateTime end = start.addDays(7);
    Rig r(start);
    struct Sched {
        ScheduleNo slot;
        QString chan;
        std::vector<std::pair<int, QString>> rows;
    };
    std::vector<Sched> all;
    for (int k = 0; k < 60; ++k) {
        all.push_back({k + 1, QString::number(k % 3 + 1), {}});
        for (int row = 0; row < 1 + k % 3; ++row) {
            const int minute = (k * 137 + row * 401 + 11) % 1440;
            const QTime time(minute / 60, minute % 60, (k * 7 + row * 13) % 60);
            all.back().rows.emplace_back((k + row * 3) % 7 + 1, time.toString("HH:mm:ss"));
        }
    }
    // Near midnight, across Saturday into Sunday, equal times on both
    // channels and for the switch, and entries for the very moment of start.
    all.insert(all.end(), {{61, "1", {{7, "23:59:58"}, {6, "00:00:00"}}},
                           {62, "2", {{7, "23:59:58"}, {5, "23:59:59"}}},
                           {63, "3", {{1, "00:00:03"}, {7, "23:59:58"}}},
                           {64, "1", {{4, "12:00:00"}}},
                           {65, "2", {{4, "12:00:00"}}},
                           {66, "3", {{4, "12:00:00"}}}});
    for (const Sched& s : all)
        putSchedule(r.file, s.slot, "Programme " + QString::number(s.slot), s.chan, s.rows);
    // A free slot is never an event.
    putSchedule(r.file, 67, "Gone", "1", {{5, "15:00:00"}});
    ASSERT_TRUE(r.file.deleteRecord(67));

    // Every occurrence from start on, a day beyond the week run so that
    // calls at the very end can be matched too.
    struct Occurrence {
        QString chan;
        ScheduleNo slot;
        QDateTime at;
    };
    std::vector<Occurrence> expected;
    std::map<QString, std::vector<QDateTime>> perChannel;
    for (const Sched& s : all)
        for (const auto& [day, time] : s.rows)
            for (int d = 0; d < 8; ++d) {
                const QDateTime at(start.date().addDays(d), QTime::fromString(time));
                if (StationWeekday(at.date()) == day && at >= start) {
                    expected.push_back({s.chan, s.slot, at});
                    perChannel[s.chan].push_back(at);
                }
            }
    // The data must leave every recording room to finish before the next on
    // its channel (30 s recordings, cued up to 7 s ahead); switches only
    // need their two-second timer.
    for (auto& [chan, times] : perChannel) {
        std::sort(times.begin(), times.end());
        for (size_t i = 1; i < times.size(); ++i)
            ASSERT_GE(times[i - 1].secsTo(times[i]), chan == "3" ? 4 : 40)
                << times[i].toString().toStdString();
    }

    r.load();
    const std::clock_t cpu0 = std::clock();
    r.t.time.advanceTo(end);
    const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    RecordProperty("week_cpu_seconds", QString::number(cpu, 'f', 2).toStdString());
    std::printf("A week of ticks took %.2f s of CPU\n", cpu);

    // Each event: exactly one call of each kind, in its window. Channel 1
    // cues about 6.5 s ahead, channel 2 about 3.5 s; arms come half a second
    // before the time and the switch about half a second after it (two
    // seconds after start-up for one due at that very moment). One too close
    // to start-up to be cued is not recorded this time, and must not hold
    // the channel up either.
    struct Window {
        QString what;
        double from, to;
    };
    const auto windowsFor = [&](const Occurrence& o) -> std::vector<Window> {
        const bool atStart = start.secsTo(o.at) < 7;
        if (o.chan == "3")
            return {{"switch", 0, atStart ? 2.1 : 1}};
        if (atStart)
            return {};
        const bool one = o.chan == "1";
        return {{"cue" + o.chan, one ? -7.0 : -4.0, one ? -6.0 : -3.0}, {"arm" + o.chan, -1, 0}};
    };
    const auto fits = [](const Occurrence& o, const Window& w, const FakeStationParts::Call& c) {
        const double off = o.at.msecsTo(c.when) / 1000.0;
        return c.what == w.what && c.slot == o.slot && off >= w.from && off <= w.to;
    };
    const auto& calls = r.parts.calls;
    std::map<QString, int> counted;
    for (const Occurrence& o : expected) {
        if (o.at.addSecs(2) > end)
            continue;
        for (const Window& w : windowsFor(o)) {
            EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                    [&](const auto& c) { return fits(o, w, c); }),
                      1)
                << w.what.toStdString() << " slot " << o.slot << " at "
                << o.at.toString("ddd HH:mm:ss").toStdString();
            ++counted[w.what];
        }
    }
    // And nothing else: every call belongs to an event.
    for (const auto& c : calls) {
        if (!QStringList{"switch", "cue1", "cue2", "arm1", "arm2"}.contains(c.what))
            continue;
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
                                [&](const Occurrence& o) {
                                    const auto windows = windowsFor(o);
                                    return std::any_of(
                                        windows.begin(), windows.end(),
                                        [&](const Window& w) { return fits(o, w, c); });
                                }))
            << c.what.toStdString() << " slot " << c.slot << " at "
            << c.when.toString("ddd HH:mm:ss.zzz").toStdString();
    }
    EXPECT_GT(counted["arm1"], 20);
    EXPECT_GT(counted["arm2"], 20);
    EXPECT_GT(counted["switch"], 20);
    EXPECT_TRUE(r.parts.named("dump1").empty());
    // Every recording ended on time, the last one perhaps after the run.
    EXPECT_GE(r.parts.named("stop1").size() + 1, r.parts.named("arm1").size());
    EXPECT_GE(r.parts.named("stop2").size() + 1, r.parts.named("arm2").size());
}

} // namespace
