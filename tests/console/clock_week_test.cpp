// A whole week of 50 ms ticks on virtual time against a varied schedule:
// every cue, arm and switch must happen once, at its second.
#include "console/clock_tick.h"
#include "fakes/fake_station_parts.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "station/time_format.h"
#include "support/test.h"

#include <QDir>
#include <algorithm>
#include <ctime>
#include <map>

namespace {

// Wednesday noon to Wednesday noon: Saturday to Sunday falls inside.
const QDateTime Start(QDate(2026, 3, 4), QTime(12, 0, 0));

struct Row {
    int day;
    QString time;
};
struct Sched {
    ScheduleNo slot;
    QString chan;
    std::vector<Row> rows;
};

std::vector<Sched> weekOfSchedules() {
    std::vector<Sched> all;
    ScheduleNo slot = 1;
    for (int k = 0; k < 60; ++k) {
        const QString chan = QString::number(k % 3 + 1);
        std::vector<Row> rows;
        for (int r = 0; r < 1 + k % 3; ++r) {
            const int minute = (k * 137 + r * 401 + 11) % 1440;
            const int second = (k * 7 + r * 13) % 60;
            rows.push_back({(k + r * 3) % 7 + 1,
                            QTime(minute / 60, minute % 60, second).toString("HH:mm:ss")});
        }
        all.push_back({slot++, chan, rows});
    }
    // Near midnight, across Saturday into Sunday, equal times on both
    // channels and for the switch, and entries for the very moment of start.
    all.push_back({slot++, "1", {{7, "23:59:58"}, {6, "00:00:00"}}});
    all.push_back({slot++, "2", {{7, "23:59:58"}, {5, "23:59:59"}}});
    all.push_back({slot++, "3", {{1, "00:00:03"}, {7, "23:59:58"}}});
    all.push_back({slot++, "1", {{4, "12:00:00"}}});
    all.push_back({slot++, "2", {{4, "12:00:00"}}});
    all.push_back({slot++, "3", {{4, "12:00:00"}}});
    // A free slot in the middle of the file is never an event.
    all.push_back({slot++, "deleted", {{5, "15:00:00"}}});
    return all;
}

struct Occurrence {
    QString chan;
    ScheduleNo slot;
    QDateTime at;
};

// Every occurrence of every row from start on, a day beyond the week run so
// that calls at the very end can be matched too.
std::vector<Occurrence> occurrences(const std::vector<Sched>& all) {
    std::vector<Occurrence> out;
    for (const Sched& s : all) {
        if (s.chan == "deleted")
            continue;
        for (const Row& r : s.rows) {
            for (int d = 0; d < 8; ++d) {
                const QDate date = Start.date().addDays(d);
                if (StationWeekday(date) != r.day)
                    continue;
                const QDateTime at(date, QTime::fromString(r.time, "HH:mm:ss"));
                if (at >= Start && at < Start.addDays(8))
                    out.push_back({s.chan, s.slot, at});
            }
        }
    }
    return out;
}

double seconds(const QDateTime& from, const QDateTime& to) {
    return from.msecsTo(to) / 1000.0;
}

TEST(ClockWeekTest, EveryEventOfAWeekHappensOnceAtItsSecond) {
    TempStation t(Start);
    const auto all = weekOfSchedules();
    {
        QDir().mkpath(t.host("c:\\satfile"));
        ScheduleFile file;
        ASSERT_TRUE(file.open(t.host(ScheduleFile::StationPath), nullptr));
        for (const Sched& s : all) {
            std::vector<std::pair<int, QString>> rows;
            for (const Row& r : s.rows)
                rows.emplace_back(r.day, r.time);
            putSchedule(file, s.slot,
                        s.chan == "deleted" ? "Gone" : "Programme " + QString::number(s.slot),
                        s.chan == "deleted" ? "1" : s.chan, rows);
            if (s.chan == "deleted") {
                ASSERT_TRUE(file.deleteRecord(s.slot));
            }
        }
    }
    const auto expected = occurrences(all);
    ASSERT_GE(all.size(), 60u);

    // The data must leave every recording room to finish before the next on
    // its channel (30 s recordings, cued up to 7 s ahead); switches only
    // need their two-second timer.
    std::map<QString, std::vector<QDateTime>> perChannel;
    for (const auto& o : expected)
        perChannel[o.chan].push_back(o.at);
    for (auto& [chan, times] : perChannel) {
        std::sort(times.begin(), times.end());
        for (size_t i = 1; i < times.size(); ++i)
            ASSERT_GE(seconds(times[i - 1], times[i]), chan == "3" ? 4 : 40)
                << chan.toStdString() << " " << times[i].toString().toStdString();
    }

    FakeStationParts parts(*t.station);
    ClockDispatcher dispatcher(*t.station, parts.handoffs());
    parts.attach(dispatcher);
    ASSERT_TRUE(dispatcher.Form_Load().ok);

    const std::clock_t cpu0 = std::clock();
    t.time.advanceTo(Start.addDays(7));
    const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
    RecordProperty("week_cpu_seconds", QString::number(cpu, 'f', 2).toStdString());
    std::printf("A week of ticks took %.2f s of CPU\n", cpu);

    // Each event: exactly one call of each kind, in its window. Channel 1
    // cues about 6.5 s ahead, channel 2 about 3.5 s; arms come half a second
    // before the time and the switch about half a second after it (two
    // seconds after start-up for one due at that very moment).
    struct Window {
        QString what;
        double from, to;
    };
    const auto windowsFor = [](const Occurrence& o) {
        const bool atStart = seconds(Start, o.at) < 7;
        if (o.chan == "3")
            return std::vector<Window>{{"switch", 0, atStart ? 2.1 : 1}};
        // Too close to start-up to be cued: not recorded this time, and it
        // must not hold the channel up either.
        if (atStart)
            return std::vector<Window>{};
        return std::vector<Window>{
            {"cue" + o.chan, o.chan == "1" ? -7.0 : -4.0, o.chan == "1" ? -6.0 : -3.0},
            {"arm" + o.chan, -1, 0}};
    };
    const QDateTime end = Start.addDays(7);
    std::map<QString, int> expectedCount;
    for (const Occurrence& o : expected) {
        if (o.at.addSecs(2) > end)
            continue;
        for (const Window& w : windowsFor(o)) {
            int hits = 0;
            for (const auto& c : parts.named(w.what)) {
                const double off = seconds(o.at, c.when);
                if (c.slot == o.slot && off >= w.from && off <= w.to)
                    ++hits;
            }
            EXPECT_EQ(hits, 1) << w.what.toStdString() << " slot " << o.slot << " at "
                               << o.at.toString("ddd HH:mm:ss").toStdString();
            ++expectedCount[w.what];
        }
    }
    // And nothing else: every call belongs to an event.
    for (const auto& c : parts.calls) {
        if (!QStringList{"switch", "cue1", "cue2", "arm1", "arm2"}.contains(c.what))
            continue;
        const bool matched =
            std::any_of(expected.begin(), expected.end(), [&](const Occurrence& o) {
                for (const Window& w : windowsFor(o)) {
                    const double off = seconds(o.at, c.when);
                    if (w.what == c.what && c.slot == o.slot && off >= w.from && off <= w.to)
                        return true;
                }
                return false;
            });
        EXPECT_TRUE(matched) << c.what.toStdString() << " slot " << c.slot << " at "
                             << c.when.toString("ddd HH:mm:ss.zzz").toStdString();
    }
    EXPECT_GT(expectedCount["arm1"], 20);
    EXPECT_GT(expectedCount["arm2"], 20);
    EXPECT_GT(expectedCount["switch"], 20);
    EXPECT_TRUE(parts.named("dump1").empty());
    // Every recording ended on time, the last one perhaps after the run.
    EXPECT_GE(parts.named("stop1").size() + 1, parts.named("arm1").size());
    EXPECT_GE(parts.named("stop2").size() + 1, parts.named("arm2").size());
}

} // namespace
