// The soak's station and timetable. Both channels record programmes back to
// back with the smallest gap the schedule's conflict check allows, after a
// short warm-up take whose export and play come first, so that the memory
// and descriptors sampled afterwards are those of a station that has done
// everything once. Both samples are taken with the console idle (nothing
// cued, recorded, copied or played) so that they can be compared as they are.
#include "soak.h"

#include "station_layout.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cstdio>
#include <sys/stat.h>

namespace {

// From the lay-out to the warm-up takes: time for a console slow to start on
// a loaded machine to find and cue them.
constexpr int LeadSeconds = 75;
constexpr int WarmUpSeconds = 30;
// A schedule's window includes both its ends, so the next programme on the
// channel may start one second after the last one's end.
constexpr int GapSeconds = 1;
// Time for the last takes' copies to reach both stores before the end.
constexpr int ExportSeconds = 30;
constexpr int EndSampleAhead = 10;
constexpr int PressSeconds = 3;
constexpr int ShortestTake = 10;

struct Event {
    qint64 at;
    QString what;
};

QDateTime moment(qint64 at) {
    return QDateTime::fromSecsSinceEpoch(at);
}

QString lengthText(int seconds) {
    return QString("%1:%2")
        .arg(seconds / 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

// The recorder's name for a take: its weekday and schedule number, independent
// of the console's code so that a wrong name shows as a missing take.
QString waveStationPath(qint64 at, qint64 slot) {
    const QString day = QLocale(QLocale::English).dayName(moment(at).date().dayOfWeek());
    return QString("C:\\SATFILE\\SF%1%2.WAV")
        .arg(day.left(3).toUpper())
        .arg(slot, 3, 10, QChar('0'));
}

} // namespace

int layOut(const QStringList& args) {
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: soak-station lay-out FOLDER COM1-DEVICE END-EPOCH "
                             "[LONGEST-TAKE-SECONDS]\n");
        return 2;
    }
    const QDir folder(args[0]);
    const qint64 begin = QDateTime::currentSecsSinceEpoch();
    const qint64 end = args[2].toLongLong();
    const int longest = args.value(3, "240").toInt();

    // The timetable, in seconds since the epoch.
    const qint64 warmUp = begin + LeadSeconds;
    const qint64 firstPress = warmUp + WarmUpSeconds + 20;
    const qint64 startSample = firstPress + WarmUpSeconds + 20;
    const qint64 first = startSample + 10;
    const qint64 endSample = end - EndSampleAhead;
    const qint64 span = endSample - ExportSeconds - first;
    // As many takes as fit at the longest length, at least three so that a
    // short run still records back to back, all of one length filling the span.
    const int count = std::max<int>(3, int((span + GapSeconds + longest) / (longest + GapSeconds)));
    const int length = int((span + GapSeconds) / count) - GapSeconds;
    if (longest < ShortestTake || length < ShortestTake || length > 3599)
        layoutFail(QString("%1 s leaves no room for three takes of %2 s or more; give the soak "
                           "more time")
                       .arg(end - begin)
                       .arg(ShortestTake));

    Plan plan;
    plan.begin = begin;
    plan.end = end;
    QStringList tableNames;
    const auto take = [&](int channel, int number, qint64 at, int seconds) {
        PlannedTake t;
        t.slot = plan.takes.size() + 1;
        t.channel = channel;
        t.at = at;
        t.seconds = seconds;
        // Channel 2 records one side only, so the mono path is soaked too.
        t.channels = channel == 1 ? 2 : 1;
        t.winjock = int(8000 + t.slot);
        t.wave = waveStationPath(at, t.slot);
        t.name = QString("Soak ch%1 no.%2").arg(channel).arg(number, 2, 10, QChar('0'));
        plan.takes << t;
        tableNames << t.name;
    };
    for (int channel : {1, 2})
        take(channel, 0, warmUp, WarmUpSeconds);
    for (int k = 0; k < count; ++k) {
        for (int channel : {1, 2})
            take(channel, k + 1, first + qint64(k) * (length + GapSeconds), length);
    }

    // The Play contact plays the first entry of the day's list, which lists
    // the takes in order. Press n plays take n, which has ended by then:
    // after the warm-up, one press every second round of takes.
    std::vector<Event> events;
    const auto press = [&](qint64 at) {
        events.push_back({at, "press"});
        events.push_back({at + PressSeconds, "release"});
    };
    press(firstPress);
    for (int n = 2;; ++n) {
        const int round = 2 * (n - 2);
        if (round >= count)
            break;
        const qint64 at = first + qint64(round) * (length + GapSeconds) + length + 10;
        const PlannedTake& played = plan.takes.at(n - 1);
        // The list is rebuilt for the next day just before midnight.
        if (at + played.seconds + 15 > endSample || moment(at).date() != moment(begin).date() ||
            moment(at).time() > QTime(23, 59))
            break;
        press(at);
    }
    for (qint64 at = begin + 60; at < endSample; at += 60)
        events.push_back({at, "sample minute"});
    events.push_back({startSample, "sample start"});
    events.push_back({endSample, "sample end"});
    events.push_back({end, "stop"});
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.at < b.at; });

    std::array<QString, 2> inputs{folder.filePath("input1.pcm"), folder.filePath("input2.pcm")};
    for (const QString& fifo : inputs) {
        QFile::remove(fifo);
        if (::mkfifo(fifo.toLocal8Bit().constData(), 0600) != 0)
            layoutFail("cannot make the FIFO " + fifo);
    }
    StationLayout station(folder, args[1], inputs,
                          {folder.filePath("play.pcm"), folder.filePath("audition.pcm")});
    station.writeStation();
    station.writeProgrammeTables(tableNames, lengthText(length));
    for (const PlannedTake& t : plan.takes) {
        ScheduleFields f = ScheduleOnce(t.name, QString::number(t.channel), lengthText(t.seconds),
                                        moment(t.at), moment(t.end() + 10 + t.channel));
        if (t.channel == 2) {
            f.SatPort = "2";
            f.SatRoute = "1";
        }
        station.addSchedule(t.slot, f, t.winjock);
    }
    plan.save(folder.filePath("plan.txt"));
    QByteArray timetable;
    for (const Event& e : events)
        timetable += QString("%1 %2\n").arg(e.at).arg(e.what).toLatin1();
    writeLayoutFile(folder.filePath("events.txt"), timetable);

    const int presses = int(std::count_if(events.begin(), events.end(),
                                          [](const Event& e) { return e.what == "press"; }));
    std::printf("Warm-up at %s: one take of %d s on each channel.\n"
                "From %s: %d takes of %s on each channel back to back, the last ending at %s.\n"
                "The Play contact is closed %d times; the soak ends at %s.\n",
                qPrintable(moment(warmUp).time().toString("HH:mm:ss")), WarmUpSeconds,
                qPrintable(moment(first).time().toString("HH:mm:ss")), count,
                qPrintable(lengthText(length)),
                qPrintable(moment(plan.takes.last().end()).time().toString("HH:mm:ss")), presses,
                qPrintable(moment(end).time().toString("HH:mm:ss")));
    return 0;
}
