// Random schedules run for days in virtual time through the whole assembled
// station: record channels on fake cards, the receiver link on a fake line,
// the switch, the playlist and the purge. make test runs one short span with
// a fixed seed; make soak runs many with new seeds (VARNOLA_SOAK_SEEDS runs of
// VARNOLA_SOAK_DAYS days, or VARNOLA_SOAK_SEED to replay one).
#include "fakes/assembled_station.h"
#include "fakes/schedules.h"
#include "fakes/wave_files.h"
#include "schedule/next_event_finder.h"
#include "schedule/schedule_editor.h"
#include "station/recording_files.h"
#include "station/time_format.h"
#include "support/test.h"

#include <QRegularExpression>
#include <map>
#include <random>

namespace {

using enum Setting;

// On channel 3 a programme is a switch only.
struct Programme {
    ScheduleNo slot;
    QString name;
    int channel, length, row;
    QDateTime at;
    bool deleted = false;
};

// Clustered so that equal times, neighbouring seconds, overlaps and takes
// across midnight come up, leaving the last programme time to end.
QDateTime randomMoment(std::mt19937& random, const QDateTime& from, const QDateTime& until) {
    const qint64 quarters = std::max<qint64>(1, (from.secsTo(until) - 600) / 900);
    QDateTime at = from.addSecs(qint64(random() % quint32(quarters)) * 900);
    const QDateTime nearMidnight(at.date(), QTime(23, 59, 30));
    if (random() % 8 == 0 && nearMidnight.secsTo(until) > 600)
        at = nearMidnight;
    static const int offsets[] = {0, 0, 1, 2, 3, 7, 60, 61};
    at = at.addSecs(offsets[random() % 8]);
    // Some start in the minute the network sets the clock in.
    if (random() % 8 == 0)
        at = QDateTime(at.date(), QTime(at.time().hour(), 54, int(random() % 60)));
    return at;
}

void writeProgramme(ScheduleFile& file, const Programme& p) {
    ScheduleFields f = scheduleFields(p.name, QString::number(p.channel),
                                      QTime(0, 0).addSecs(p.length).toString("mm:ss"));
    f.RecDays[size_t(p.row)] = StationWeekday(p.at.date());
    f.RecTimes[size_t(p.row)] = p.at.time().toString("HH:mm:ss");
    put(file, p.slot, f);
}

void soak(quint32 seed, int days) {
    SCOPED_TRACE(QString("seed %1 (replay with VARNOLA_SOAK_SEED=%1 VARNOLA_SOAK_DAYS=%2)")
                     .arg(seed)
                     .arg(days)
                     .toStdString());
    std::mt19937 random(seed);
    static const QDate starts[] = {QDate(2026, 3, 6), QDate(2026, 10, 30), QDate(2026, 12, 29)};
    const QDateTime start(starts[random() % 3], QTime(22, 0, 0));
    const QDateTime end = start.addSecs(qint64(days) * DaySeconds);
    TempStation t(start);
    AssembledStation a(t);
    // clang-format off
    t.writeSettings({{CommPortNo, 1}, {BaudIndex, 2}, {ActivityLogOn, 1}, {WaveDriveNo, 3},
                     {RecordThreshold, 6}, {RecDevice2, 1}, {RelayCardType, 1}});
    // clang-format on
    ScheduleFile file;
    openSchedules(file, t);
    std::vector<Programme> programmes;
    for (int n = 1; n <= 10 * days; ++n) {
        Programme p{ScheduleNo(n),
                    QString("Soak %1").arg(n, 3, 10, QChar('0')),
                    1 + int(random() % 3),
                    5 + int(random() % 85),
                    0,
                    randomMoment(random, start.addSecs(600), end)};
        p.row = random() % 4 == 0 ? int(random() % 7) : StationWeekday(p.at.date()) - 1;
        writeProgramme(file, p);
        programmes.push_back(p);
    }
    file.close();

    StationAssembly& parts = a.assemble();
    a.startCards();
    auto audio = t.time.create(7000);
    audio->setHandler([&] {
        for (qint16& l : a.level)
            l = random() % 3 ? 900 : 0;
    });
    audio->setEnabled(true);
    ASSERT_TRUE(parts.dispatcher.Form_Load().ok);

    // Every few hours the network's Time Update contact closes in minute 54
    // and sets the clock to 54:30, forward or back by up to half a minute.
    const auto timeUpdatesUntil = [&](const QDateTime& until) {
        while (true) {
            const QDateTime now = t.time.now();
            QDateTime pulse(now.date(), QTime(now.time().hour(), 54, 1 + int(random() % 58)));
            pulse = pulse.addSecs(3600 * qint64(1 + random() % 4));
            if (pulse.addSecs(120) >= until)
                break;
            t.time.advanceTo(pulse);
            a.setPort(889, 127 - 8);
            t.time.advanceTo(t.time.now().addSecs(70));
            a.setPort(889, 127);
        }
        t.time.advanceTo(until);
    };

    // Half-way, some programmes still ahead are deleted or moved, as the
    // operator would with the schedule window.
    const QDateTime middle = start.addSecs(qint64(days) * DaySeconds / 2);
    timeUpdatesUntil(middle);
    for (Programme& p : programmes) {
        if (p.at < middle.addSecs(900) || random() % 8 != 0)
            continue;
        if (random() % 2) {
            ASSERT_TRUE(DeleteSchedule(*t.station, p.slot));
            p.deleted = true;
        } else {
            p.at = randomMoment(random, middle.addSecs(900), end);
            writeProgramme(t.station->state.SatListFile, p);
        }
    }
    FindNextRecord(*t.station, 1);
    FindNextRecord(*t.station, 2);
    FindNextSwitch(*t.station);
    timeUpdatesUntil(end);

    QString activity, errors;
    for (int d = 0; d <= days; ++d) {
        activity += t.log("AL", start.date().addDays(d));
        errors += t.log("ER", start.date().addDays(d));
    }
    int switches = 0, switchesAccounted = 0;
    std::map<QString, int> channelOf;
    for (const Programme& p : programmes) {
        channelOf[p.name] = p.channel;
        const std::string trace = QString("%1 on channel %2 at %3, row %4")
                                      .arg(p.name, QString::number(p.channel),
                                           p.at.toString(Qt::ISODate), QString::number(p.row))
                                      .toStdString();
        const int lost = int(errors.count(p.name + " due at") + errors.count(p.name + " was not") +
                             errors.count(p.name + " was passed over"));
        if (p.channel == 3) {
            switches += p.deleted ? 0 : 1;
            switchesAccounted += lost;
            continue;
        }
        const QString named = fixedWidth(p.name, 25);
        const int finished = int(activity.count("Stop   " + named));
        EXPECT_EQ(finished + lost + activity.count("Dump " + named), p.deleted ? 0 : 1) << trace;
        if (finished == 1) {
            const RecordingNames names =
                recordingFileNames("C", t.station->state.DayNames[size_t(p.row + 1)], p.slot);
            EXPECT_EQ(readWave(t.host(names.wave)).frames, qint64(p.length) * AudioSampleRate)
                << trace;
            EXPECT_TRUE(QFile::exists(t.host(names.marks))) << trace;
        }
    }
    const QStringList switchLines = activity.split("\r\n").filter(" Switch Only");
    EXPECT_EQ(int(switchLines.size()) + switchesAccounted, switches)
        << switchLines.join("\n").toStdString();

    // A channel records one take at a time: its takes start and stop in turn.
    static const QRegularExpression take(R"((\d\d:\d\d:\d\d)  (Record|Stop  ) (Soak \d{3}))");
    QString recording[3];
    for (const auto& m : take.globalMatch(activity)) {
        QString& current = recording[channelOf[m.captured(3)]];
        if (m.captured(2) == "Record") {
            EXPECT_TRUE(current.isEmpty())
                << m.captured(0).toStdString() << " while " << current.toStdString() << " records";
            current = m.captured(3);
        } else {
            current.clear();
        }
    }
    EXPECT_GT(activity.count("Time Set"), 0);
    EXPECT_TRUE(t.station->display.lblClock.endsWith(end.time().toString("HH:mm:ss")));
}

TEST(SoakTest, RandomSchedulesAreEachRecordedSwitchedDumpedOrAccountedFor) {
    bool set = false;
    const int asked = qEnvironmentVariableIntValue("VARNOLA_SOAK_DAYS", &set);
    const int days = set ? std::clamp(asked, 1, 6) : 2;
    const int seed = qEnvironmentVariableIntValue("VARNOLA_SOAK_SEED"),
              runs = qEnvironmentVariableIntValue("VARNOLA_SOAK_SEEDS");
    if (seed != 0 || runs == 0)
        return soak(seed != 0 ? quint32(seed) : 20261206, days);
    std::random_device fresh;
    for (int i = 0; i < runs && !HasFailure(); ++i) {
        const quint32 seed = fresh() % 2000000000 + 1;
        std::printf("soak run %d of %d: seed %u, %d days\n", i + 1, runs, seed, days);
        soak(seed, days);
    }
}

} // namespace
