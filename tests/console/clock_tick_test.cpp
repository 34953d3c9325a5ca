#include "console/clock_tick.h"
#include "fakes/fake_station_parts.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "support/test.h"

namespace {

const QDateTime At940(Monday, QTime(9, 59, 40)), At10(Monday, QTime(10, 0)),
    At2359(Monday, QTime(23, 59));

struct Rig {
    explicit Rig(const QDateTime& start = At940) : t(start) { openSchedules(file, t); }
    void load(const SettingRecords& settings = {}) {
        t.writeSettings(settings);
        dispatcher = std::make_unique<ClockDispatcher>(*t.station, parts.handoffs());
        parts.attach(*dispatcher);
        const StartUpResult r = dispatcher->Form_Load();
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }
    // 't' ticks by hand at the time (as when the machine was too busy to tick
    // in between), 'r' runs the clock until it, 'j' sets the clock back to it.
    // A time earlier than the clock's is tomorrow's, but for 'j'.
    void step(char how, const QString& time) {
        const QDateTime now = t.time.now();
        const QTime at = QTime::fromString(time, time.size() > 8 ? "HH:mm:ss.zzz" : "HH:mm:ss");
        const QDateTime when(now.date().addDays(at < now.time() && how != 'j'), at);
        dispatcher->tmrClock->setEnabled(how == 'r');
        if (how == 'j')
            return t.time.jumpTo(when);
        t.time.advanceTo(when);
        if (how == 't')
            dispatcher->ClockTick();
    }
    // The calls of a kind (all but the load's playlist when empty) as
    // "what HH:mm:ss.zzz slot".
    QString calls(const QString& what = {}) const {
        QStringList out;
        for (const auto& c : parts.calls)
            if (what.isEmpty() ? c.what != "playlist mode 1" : c.what == what)
                out << c.what + c.when.toString(" HH:mm:ss.zzz") +
                           (c.slot ? QString(" %1").arg(c.slot) : "");
        return out.join(", ");
    }
    QString log(const char* kind, const QDate& date = Monday) const {
        return QString(t.log(kind, date)).replace("\r\n", "\n");
    }
    StationState& s() { return t.station->state; }

    TempStation t;
    ScheduleFile file;
    FakeStationParts parts{*t.station};
    std::unique_ptr<ClockDispatcher> dispatcher;
};

struct Scenario {
    const char* name;
    QDateTime start;
    SettingRecords settings;
    // "slot chan day HH:mm:ss MM:SS" each, programme n named "Prog n".
    QStringList schedules;
    // Steps (how, time, and then the countdowns "rec1|timer1|rec2|switch").
    std::vector<std::array<const char*, 3>> steps;
    const char* calls;
    const char* errors = "";
    bool silent = false;
};

const SettingRecords Logs = {{Setting::ActivityLogOn, 1}};
Scenario ebNo(int16_t interval, const char* until, const char* calls) {
    return {"Eb/No", At940, {{Setting::EbNoLogInterval, interval}}, {}, {{"r", until}}, calls};
}
// 7.5 rounds to 8 (half to even), so the first tick showing 7 is at .55;
// channel 2's 4.5 rounds to 4. The switch timer runs two seconds, so a switch
// cued at the last moment fires after its time. A missed programme must not
// pin its channel for a week.
// clang-format off
const Scenario Scenarios[] = {
    {"channel 2 cues at four, the switch at one; a second on the finder moves on", At940, Logs,
     {"1 2 2 10:00:00 00:30", "2 3 2 10:00:00 00:30", "3 3 2 10:30:00 00:30"},
     {{"r", "10:00:00.400", "||    00:00|    00:00"}, {"r", "10:00:02", "||   -00:02|    29:58"}},
     "cue2 09:59:56.500 1, arm2 09:59:59.500 1, switch 10:00:00.550 2"},
    {"a missed cue second still cues at the second chance", At940, Logs,
     {"1 1 2 10:00:00 00:30", "2 2 2 10:00:00 00:30", "3 3 2 10:00:00 00:30"},
     {{"t", "09:59:50"}, {"t", "09:59:55"}, {"t", "09:59:58"}, {"t", "10:00:00"},
      {"r", "10:00:03"}},
     "cue1 09:59:56.000 1, cue2 09:59:59.000 2, arm1 10:00:00.000 1, arm2 10:00:00.000 2, "
     "switch 10:00:02.000 3"},
    {"the countdown stays negative for two seconds, then shows next week", At940, Logs,
     {"1 1 2 10:00:00 00:30"},
     {{"t", "09:59:53", "    00:07|||"}, {"t", "10:00:01", "   -00:01|00:00||"},
      {"t", "10:00:02", "   -00:02|00:01||"}, {"t", "10:00:03", "167:59:57|00:02||"}},
     "cue1 09:59:54.000 1, arm1 10:00:01.000 1"},
    {"a switch cued at the last moment switches its own schedule", At940, Logs,
     {"1 3 2 10:00:00 00:30", "2 3 2 10:00:20 00:30"},
     {{"t", "09:59:58"}, {"t", "10:00:00"}, {"r", "10:00:30"}},
     "switch 10:00:02.000 1, switch 10:00:20.550 2"},
    {"a switch a second after another is switched late once", At940, Logs,
     {"1 3 2 10:00:00 00:30", "2 3 2 10:00:01 00:30"}, {{"r", "10:00:10"}},
     "switch 10:00:00.550 1, switch 10:00:03.550 2"},
    {"a programme missed while busy does not hold the channel", At940, Logs,
     {"1 1 2 10:00:00 10:00", "2 1 2 10:05:00 00:30", "3 1 2 10:20:00 00:30"},
     {{"r", "10:01:05.500", "    03:54|01:06||"}, {"r", "10:21:00"}},
     "cue1 09:59:53.550 1, arm1 09:59:59.500 1, cue1 10:04:53.550 2, "
     "missed1 (it came due while the channel was busy, due 10:05:00) 10:05:02.550 2, "
     "stop1 10:09:59.550 3, "
     "cue1 10:19:53.550 3, arm1 10:19:59.500 3, stop1 10:20:29.550 1",
     "10:05:02  Record channel 1: Prog 2 due at 10:05:00 was not recorded\n"},
    {"one due as the busy channel's finder moves on is said to be lost", At940, Logs,
     {"1 1 2 10:00:00 00:30", "2 1 2 10:00:03 00:30"},
     {{"t", "09:59:53"}, {"t", "10:00:02"}, {"r", "10:00:40"}},
     "cue1 09:59:54.000 1, arm1 10:00:02.000 1, "
     "missed1 (it came due while the channel was busy, due 10:00:03) 10:00:04.000 2, "
     "stop1 10:00:32.050 1",
     "10:00:04  Record channel 1: Prog 2 due at 10:00:03 was not recorded\n"},
    {"programmes the clock passes are said to be lost", At940, Logs,
     {"1 1 2 10:00:00 00:30", "2 3 2 10:00:00 00:30", "3 1 2 10:10:00 00:30"},
     {{"t", "09:59:50"}, {"t", "10:00:20"}, {"r", "10:10:05"}},
     "missed1 (the clock passed its start, due 10:00:00) 10:00:20.000 1, cue1 10:09:53.550 3, "
     "arm1 10:09:59.500 3",
     "10:00:20  Switch: Prog 2 due at 10:00:00 was not switched: the clock passed its time\n"
     "10:00:20  Record channel 1: Prog 1 due at 10:00:00 was not recorded: the clock passed "
     "its start\n"},
    {"the next programme a week on is not said to be lost", At940, Logs,
     {"1 1 2 10:00:00 00:05", "2 1 2 10:01:00 00:05"}, {{"r", "10:03:00"}},
     "cue1 09:59:53.550 1, arm1 09:59:59.500 1, stop1 10:00:04.550 2, cue1 10:00:53.550 2, "
     "arm1 10:00:59.500 2, stop1 10:01:04.550 1"},
    {"a take due at start-up is lost, not held; its switch comes two seconds late", At10, Logs,
     {"1 1 2 10:00:00 00:30", "2 3 2 10:00:00 00:30", "3 1 2 10:00:30 00:30"}, {{"r", "10:01:00"}},
     "switch 10:00:02.000 2, missed1 (the clock passed its start, due 10:00:00) 10:00:02.550 1, "
     "cue1 10:00:23.550 3, arm1 10:00:29.500 3, stop1 10:00:59.550 1",
     "10:00:02  Record channel 1: Prog 1 due at 10:00:00 was not recorded: the clock passed its "
     "start\n"},
    {"the clock set back over a take does not arm it again", At940, Logs,
     {"1 1 2 10:00:00 00:05"}, {{"r", "10:00:20"}, {"j", "09:59:58"}, {"r", "10:00:20"}},
     "cue1 09:59:53.550 1, arm1 09:59:59.500 1, stop1 10:00:04.550 1"},
    {"an armed channel without audio is dumped after its length", At940, Logs,
     {"1 1 2 10:00:00 01:00", "2 1 2 11:00:00 00:30"}, {{"r", "10:01:05", "    58:55|||"}},
     "cue1 09:59:53.550 1, arm1 09:59:59.500 1, dump1 10:00:59.550 1", "", true},
    {"a recording across midnight stops on time; the playlist is rebuilt once", At2359, Logs,
     {"1 1 2 23:59:50 00:30", "2 1 3 00:05:00 00:30"},
     {{"r", "00:00:10", "    04:50|00:20||"}, {"r", "00:06:00"}},
     "cue1 23:59:43.550 1, arm1 23:59:49.500 1, playlist mode 0 23:59:55.000, "
     "stop1 00:00:19.550 2, cue1 00:04:53.550 2, arm1 00:04:59.500 2, stop1 00:05:29.550 1"},
    ebNo(1, "11:01:00", "ebno 10:00:12.000, ebno 11:00:12.000"),
    ebNo(2, "11:01:00", "ebno 10:00:12.000, ebno 10:30:12.000, ebno 11:00:12.000"),
    ebNo(3, "11:01:00", "ebno 10:00:12.000, ebno 10:20:12.000, ebno 10:40:12.000, "
                        "ebno 11:00:12.000"),
    ebNo(4, "10:31:00", "ebno 10:00:12.000, ebno 10:15:12.000, ebno 10:30:12.000"),
    ebNo(5, "10:02:00", "ebno 10:00:12.000, ebno 10:01:12.000"),
    ebNo(6, "10:31:00", ""),
};
// clang-format on

TEST(TickTest, Scenarios) {
    for (const Scenario& c : Scenarios) {
        SCOPED_TRACE(c.name);
        Rig r(c.start);
        for (const QString& line : c.schedules) {
            const QStringList f = line.split(' ');
            putSchedule(r.file, f[0].toInt(), "Prog " + f[0], f[1], {{f[2].toInt(), f[3]}}, f[4]);
        }
        r.parts.silent = c.silent;
        r.load(c.settings);
        for (const auto& [how, at, shown] : c.steps) {
            r.step(how[0], at);
            const ConsoleDisplay& d = r.t.station->display;
            const QString countdowns = QStringList{d.Rec(1).lblRecTime, d.Rec(1).lblRecordTimer,
                                                   d.Rec(2).lblRecTime, d.lblSwitchTimer}
                                           .join('|');
            EXPECT_TRUE(!shown || countdowns == shown)
                << at << " shows " << countdowns.toStdString();
        }
        EXPECT_EQ(r.calls(), c.calls);
        EXPECT_EQ(r.log("ER"), c.errors);
    }
}

// A stop time carried over midnight picks up rounding in its last bit: the
// take must not stop on the tick of its very millisecond, before the card has
// handed over the last buffer of its length.
TEST(TickTest, AStopTimeCarriedOverMidnightStopsOnlyAfterItsMillisecond) {
    Rig r(At2359);
    putSchedule(r.file, 1, "Prog 1", "1", {{3, "10:00:00"}});
    r.load();
    r.s().CueRecordStart = "T";
    r.s().Rec(1).RecActive = 1;
    r.s().Rec(1).RecStopAt = 86382.65 + 32;
    r.step('t', "00:00:14.650");
    EXPECT_EQ(r.calls("stop1"), "");
    r.step('t', "00:00:14.651");
    EXPECT_EQ(r.calls("stop1"), "stop1 00:00:14.651 1");
}

TEST(TickTest, ChannelTwoTimeWithABlankIsSkipped) {
    Rig r;
    r.load();
    r.s().Rec(2).NextRecTime = "10:00:0 ";
    r.s().Rec(2).NextRecDay = 2;
    r.step('r', "10:00:05");
    EXPECT_EQ(r.calls("cue2"), "");
    EXPECT_EQ(r.t.station->display.Rec(2).lblRecTime, "");
}

// Inputs are polled every tick; the relay pulses once, a second.
TEST(TickTest, AtMidnightThePlayCountdownCarriesOverAndTheLatchesOpen) {
    Rig r(At2359);
    r.load({{Setting::ActivityLogOn, 1}, {Setting::WaveKeepDays, 1}, {Setting::WaveDriveNo, 3}});
    r.s().Playing = 1;
    r.s().PlayEndAt = 86410; // ends at 00:00:10 tomorrow
    const int before = r.parts.remotePolls;
    r.t.time.advance(1000);
    EXPECT_EQ(r.parts.remotePolls - before, 20);
    r.step('r', "00:01:00");
    EXPECT_EQ(r.calls(),
              "playlist mode 0 23:59:55.000, relays 1 00:00:10.550, relays 0 00:00:11.550");
    // The latches must be open again for the next night.
    EXPECT_EQ(std::pair(r.s().LogPurgeLatch, r.s().MidnightListLatch), std::pair(0, 0));
}

} // namespace
