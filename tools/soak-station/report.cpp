// The soak's report: what the plan said was due against what the console's
// logs, wave files and playout stores show, the input buffers lost, the
// console's memory, descriptors and CPU, and its error log. Printed, and kept
// as report.txt beside the run; the exit status says whether every property
// held.
#include "soak.h"

#include "platform/drive_paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace {

// What the harness (scripts/soak-realtime.sh) did and saw, from harness.txt.
struct Sample {
    QString label;
    qint64 at = 0;
    qint64 rssKb = 0;
    int fds = 0;
    qint64 cpuTicks = 0;
    int pooledThreads = 0;
};

struct Harness {
    qint64 launch = 0;
    QVector<qint64> presses;
    QVector<Sample> samples;
    qint64 died = 0;
    bool exited = false;
    int exitStatus = -1;

    std::optional<Sample> sample(const QString& label) const {
        for (const Sample& s : samples)
            if (s.label == label)
                return s;
        return std::nullopt;
    }
};

Harness readHarness(const QString& path) {
    Harness h;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return h;
    while (!f.atEnd()) {
        const QStringList w = QString::fromLatin1(f.readLine()).simplified().split(' ');
        if (w[0] == "launch" && w.size() >= 2)
            h.launch = w[1].toLongLong();
        else if (w[0] == "press" && w.size() >= 2)
            h.presses << w[1].toLongLong();
        else if (w[0] == "sample" && w.size() >= 7)
            h.samples << Sample{w[1],         w[2].toLongLong(), w[3].toLongLong(),
                                w[4].toInt(), w[5].toLongLong(), w[6].toInt()};
        else if (w[0] == "died" && w.size() >= 2)
            h.died = w[1].toLongLong();
        else if (w[0] == "exit" && w.size() >= 3) {
            h.exited = true;
            h.exitStatus = w[2].toInt();
        }
    }
    return h;
}

QMap<QString, qint64> readCounts(const QString& path) {
    QMap<QString, qint64> counts;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        while (!f.atEnd()) {
            const QStringList w = QString::fromLatin1(f.readLine()).simplified().split(' ');
            if (w.size() == 2)
                counts.insert(w[0], w[1].toLongLong());
        }
    }
    return counts;
}

// One line of the console's daily logs, with its moment.
struct LogLine {
    qint64 at;
    QString text;
};

QVector<LogLine> readLogs(const QString& folder, const QString& prefix) {
    QVector<LogLine> lines;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({prefix + "*.log"}, QDir::Files, QDir::Name)) {
        const QDate date = QDate::fromString("20" + name.mid(2, 6), "yyyyMMdd");
        QFile f(dir.filePath(name));
        if (!date.isValid() || !f.open(QIODevice::ReadOnly))
            continue;
        while (!f.atEnd()) {
            const QString line = QString::fromLatin1(f.readLine()).trimmed();
            const QTime time = QTime::fromString(line.left(8), "HH:mm:ss");
            if (time.isValid())
                lines << LogLine{QDateTime(date, time).toSecsSinceEpoch(), line.mid(8).trimmed()};
        }
    }
    return lines;
}

struct Wave {
    bool exists = false;
    int channels = 0;
    qint64 frames = 0;
    // Places where the feeder's counter does not step by one from one frame
    // to the next (or the two sides differ): stretches lost inside the take.
    qint64 breaks = 0;
};

Wave readWave(const QString& path, bool followCounter) {
    Wave w;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f)
        return w;
    w.exists = true;
    w.channels = info.channels;
    w.frames = info.frames;
    if (followCounter && (info.channels == 1 || info.channels == 2)) {
        std::vector<short> block(size_t(65536 * info.channels));
        bool first = true;
        uint16_t last = 0;
        sf_count_t got;
        while ((got = sf_readf_short(f, block.data(), 65536)) > 0) {
            for (sf_count_t i = 0; i < got; ++i) {
                const auto v = uint16_t(block[size_t(i * info.channels)]);
                if (info.channels == 2 && block[size_t(i * 2 + 1)] != block[size_t(i * 2)])
                    ++w.breaks;
                else if (!first && uint16_t(v - last) != 1)
                    ++w.breaks;
                first = false;
                last = v;
            }
        }
    }
    sf_close(f);
    return w;
}

QString clock(qint64 at) {
    return QDateTime::fromSecsSinceEpoch(at).time().toString("HH:mm:ss");
}

qint64 ceilDiv(qint64 a, qint64 b) {
    return (a + b - 1) / b;
}

} // namespace

int report(const QStringList& args) {
    if (args.isEmpty() || args.size() > 2) {
        std::fprintf(stderr, "usage: soak-station report FOLDER [RSS-TOLERANCE-KB]\n");
        return 2;
    }
    const QDir folder(args[0]);
    const qint64 rssToleranceKb = args.value(1, "4096").toLongLong();
    Plan plan;
    QString error;
    if (!plan.load(folder.filePath("plan.txt"), &error)) {
        std::fprintf(stderr, "soak-station: %s\n", qPrintable(error));
        return 2;
    }
    const DrivePaths paths(StationConfig::fromFile(folder.filePath("varnola.conf")));
    const Harness harness = readHarness(folder.filePath("harness.txt"));
    const QString logFolder = paths.resolve("c:\\satfile\\logs");
    const QVector<LogLine> activity = readLogs(logFolder, "AL");
    const QVector<LogLine> errors = readLogs(logFolder, "ER");
    const QVector<LogLine> ebNo = readLogs(logFolder, "EB");

    QStringList out, failures;
    const auto say = [&](const QString& line) { out << line; };
    const auto fail = [&](const QString& why) { failures << why; };
    const std::optional<Sample> start = harness.sample("start"), end = harness.sample("end");
    const qint64 lastSeen = end ? end->at : (harness.died ? harness.died : plan.end);

    say(QString("Real-time soak of %1 s, %2 to %3 on %4")
            .arg(plan.end - plan.begin)
            .arg(clock(plan.begin), clock(plan.end),
                 QDateTime::fromSecsSinceEpoch(plan.begin).date().toString(Qt::ISODate)));
    if (harness.died)
        fail(QString("the console died at %1, %2 s into the soak")
                 .arg(clock(harness.died))
                 .arg(harness.died - plan.begin));
    else if (!harness.exited || harness.exitStatus != 0)
        fail(QString("the console's stop by SIGTERM ended with status %1 (0 expected)")
                 .arg(harness.exitStatus));

    // Takes: due by the plan; made when the log has its Record and Stop, and
    // its wave holds exactly the scheduled length.
    int due = 0, made = 0, exportsDue = 0, exportsMade = 0;
    qint64 framesShort = 0, buffersShort = 0, breaks = 0;
    qint64 earliestStart = 0, latestStart = 0;
    bool anyStart = false;
    QMap<int, int> dueOn, madeOn;
    QStringList takeProblems;
    for (const PlannedTake& t : plan.takes) {
        if (t.end() + 30 > lastSeen)
            continue;
        ++due;
        ++dueOn[t.channel];
        const auto line = [&](const QString& verb) -> const LogLine* {
            for (const LogLine& l : activity)
                if (l.text.startsWith(verb + " ") && l.text.mid(verb.size()).trimmed() == t.name &&
                    l.at >= t.at - 60)
                    return &l;
            return nullptr;
        };
        const LogLine* recorded = line("Record");
        const LogLine* stopped = line("Stop");
        const LogLine* dumped = line("Dump");
        const Wave wave = readWave(paths.resolve(t.wave), true);
        const qint64 expected = qint64(t.seconds) * AudioSampleRate;
        QStringList problems;
        if (!recorded)
            problems << "no Record line in the activity log";
        if (!stopped)
            problems << "no Stop line";
        if (dumped)
            problems << "dumped at " + clock(dumped->at);
        if (!wave.exists)
            problems << "no wave file " + t.wave;
        else if (wave.channels != t.channels)
            problems << QString("%1 channels, %2 expected").arg(wave.channels).arg(t.channels);
        else if (wave.frames != expected)
            problems << QString("%1 frames, %2 expected (%3%4)")
                            .arg(wave.frames)
                            .arg(expected)
                            .arg(wave.frames > expected ? "+" : "")
                            .arg(wave.frames - expected);
        if (wave.breaks)
            problems << QString("%1 breaks in its sample sequence").arg(wave.breaks);
        if (wave.exists && wave.frames < expected) {
            framesShort += expected - wave.frames;
            buffersShort += ceilDiv(expected - wave.frames, framesPerBuffer(t.channels));
        }
        breaks += wave.breaks;
        if (recorded) {
            const qint64 offset = recorded->at - t.at;
            earliestStart = anyStart ? std::min(earliestStart, offset) : offset;
            latestStart = anyStart ? std::max(latestStart, offset) : offset;
            anyStart = true;
        }
        if (recorded && stopped && wave.exists && wave.channels == t.channels &&
            wave.frames == expected) {
            ++made;
            ++madeOn[t.channel];
        }

        // The playout stores: a copy of the take's length (to its last audio)
        // and its companion file on each.
        for (QChar store : {'H', 'P'}) {
            ++exportsDue;
            const QDir programs(paths.resolve(QString(store) + ":\\programs"));
            const QString stem = QString("SF%1").arg(t.winjock);
            // The Winjock number, then three characters of the store's naming.
            const QStringList copies = programs.entryList({stem + "???.wav"}, QDir::Files);
            const QStringList companions =
                programs.entryList({QString("DF%1???.dat").arg(t.winjock)}, QDir::Files);
            const Wave copy =
                copies.size() == 1 ? readWave(programs.filePath(copies[0]), false) : Wave{};
            if (copy.exists && !companions.isEmpty() &&
                copy.frames > expected - 2 * AudioSampleRate && copy.frames <= expected)
                ++exportsMade;
            else
                problems << QString("drive %1: %2")
                                .arg(store)
                                .arg(copy.exists
                                         ? QString("%1 frames copied, %2 expected, "
                                                   "companion %3")
                                               .arg(copy.frames)
                                               .arg(expected)
                                               .arg(companions.isEmpty() ? "missing" : "there")
                                         : QString("no copy %1*.wav").arg(stem));
        }
        if (!problems.isEmpty())
            takeProblems << QString("  %1 (schedule %2, due %3, %4 s): %5")
                                .arg(t.name)
                                .arg(t.slot)
                                .arg(clock(t.at))
                                .arg(t.seconds)
                                .arg(problems.join("; "));
    }
    say(QString("Takes: %1 due, %2 made, %3 missed or not whole (channel 1: %4 of %5; "
                "channel 2: %6 of %7)")
            .arg(due)
            .arg(made)
            .arg(due - made)
            .arg(madeOn.value(1))
            .arg(dueOn.value(1))
            .arg(madeOn.value(2))
            .arg(dueOn.value(2)));
    if (anyStart)
        say(QString("  Record lines from %1 to %2 s after their scheduled moments")
                .arg(earliestStart)
                .arg(latestStart));
    out << takeProblems;
    if (due == 0)
        fail("no take was due");
    if (made < due)
        fail(QString("%1 of %2 takes missed or wrong").arg(due - made).arg(due));

    // Buffers dropped: frames a take lacks at its stop (the simulated card
    // skips time the console did not read), breaks in the counter the feeder
    // writes (audio lost between the FIFO and the file), and frames the
    // feeder could not put into a full FIFO (the console read nothing for a
    // pipe's worth of audio).
    qint64 overrunBuffers = 0;
    QStringList feeders;
    for (int channel : {1, 2}) {
        const auto stats = readCounts(folder.filePath(QString("feed%1.txt").arg(channel)));
        if (stats.isEmpty()) {
            fail(QString("no counts from the feeder of input %1").arg(channel));
            continue;
        }
        overrunBuffers +=
            ceilDiv(stats.value("frames_dropped"), framesPerBuffer(channel == 1 ? 2 : 1));
        feeders << QString("input %1: %2 connections, %3 frames written, %4 dropped in %5 "
                           "overruns, longest pause %6 ms, pipe %7 bytes")
                       .arg(channel)
                       .arg(stats.value("connections"))
                       .arg(stats.value("frames_written"))
                       .arg(stats.value("frames_dropped"))
                       .arg(stats.value("overruns"))
                       .arg(stats.value("longest_pause_ms"))
                       .arg(stats.value("pipe_bytes"));
    }
    const qint64 dropped = buffersShort + breaks + overrunBuffers;
    say(QString("Buffers dropped: %1 (takes short by %2 frames = %3 buffers; %4 breaks in the "
                "takes' sample sequence; %5 buffers overrun at the input FIFOs)")
            .arg(dropped)
            .arg(framesShort)
            .arg(buffersShort)
            .arg(breaks)
            .arg(overrunBuffers));
    for (const QString& f : feeders)
        say("  Feeder of " + f);
    if (dropped)
        fail(QString("%1 buffers dropped").arg(dropped));

    say(QString("Exports: %1 of %2 copies in the playout stores H and P")
            .arg(exportsMade)
            .arg(exportsDue));
    if (exportsMade < exportsDue)
        fail(QString("%1 copies missing or wrong").arg(exportsDue - exportsMade));

    // Plays: every closing of the Play contact plays a programme, and every
    // play ends with an end-of-message pulse on relay 1.
    const int plays = int(std::count_if(activity.begin(), activity.end(), [](const LogLine& l) {
        return l.text.startsWith("Play ");
    }));
    int pulses = 0;
    {
        QFile f(folder.filePath("relays.txt"));
        int last = 0;
        if (f.open(QIODevice::ReadOnly)) {
            while (!f.atEnd()) {
                const QStringList w = QString::fromLatin1(f.readLine()).simplified().split(' ');
                const int value = w.value(1).toInt();
                if ((value & 1) && !(last & 1))
                    ++pulses;
                last = value;
            }
        }
    }
    say(QString("Plays: Play contact closed %1 times, %2 programmes played, %3 end-of-message "
                "pulses")
            .arg(harness.presses.size())
            .arg(plays)
            .arg(pulses));
    if (plays != harness.presses.size() || pulses != harness.presses.size())
        fail("plays or end-of-message pulses do not match the Play contact");

    // Eb/No: a poll every minute at second 12 while the console ran.
    int ebNoDue = 0;
    for (qint64 at = harness.launch + 15; at <= lastSeen; ++at)
        if (QDateTime::fromSecsSinceEpoch(at).time().second() == 12)
            ++ebNoDue;
    say(QString("Eb/No: %1 readings logged, %2 minutes due").arg(ebNo.size()).arg(ebNoDue));
    if (ebNo.size() < ebNoDue)
        fail(QString("%1 Eb/No readings missing").arg(ebNoDue - ebNo.size()));

    // Memory and descriptors, both sampled with the console idle.
    if (start && end) {
        const qint64 growth = end->rssKb - start->rssKb;
        qint64 highest = 0;
        QStringList trend;
        for (const Sample& s : harness.samples) {
            highest = std::max(highest, s.rssKb);
            if (s.label == "minute" && (s.at - plan.begin) % 600 < 60)
                trend << QString("%1 %2").arg(clock(s.at)).arg(s.rssKb);
        }
        say(QString("Resident memory: %1 kB after the first take (%2), %3 kB at the end (%4): "
                    "%5%6 kB, tolerance %7 kB; highest %8 kB")
                .arg(start->rssKb)
                .arg(clock(start->at))
                .arg(end->rssKb)
                .arg(clock(end->at))
                .arg(growth >= 0 ? "+" : "")
                .arg(growth)
                .arg(rssToleranceKb)
                .arg(highest));
        if (!trend.isEmpty())
            say("  every ten minutes (kB): " + trend.join(", "));
        if (growth > rssToleranceKb)
            fail(QString("resident memory grew by %1 kB").arg(growth));
        // Each of Qt's pooled threads holds an event descriptor while it lives.
        const int fdsStart = start->fds - start->pooledThreads;
        const int fdsEnd = end->fds - end->pooledThreads;
        say(QString("Open descriptors: %1 after the first take, %2 at the end, not counting the "
                    "event descriptors of Qt's pooled threads (%3 and %4 of them); equal expected")
                .arg(fdsStart)
                .arg(fdsEnd)
                .arg(start->pooledThreads)
                .arg(end->pooledThreads));
        if (fdsStart != fdsEnd) {
            fail("open descriptors changed");
            const auto lines = [&](const QString& name) {
                QFile f(folder.filePath(name));
                return f.open(QIODevice::ReadOnly)
                           ? QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts)
                           : QStringList();
            };
            QStringList before = lines("fds-start.txt"), after = lines("fds-end.txt");
            for (const QString& l : QStringList(before))
                if (after.removeOne(l))
                    before.removeOne(l);
            for (const QString& l : before)
                say("  gone:  " + l);
            for (const QString& l : after)
                say("  added: " + l);
        }
        const double tick = double(::sysconf(_SC_CLK_TCK));
        const double all = end->cpuTicks / tick, steady = (end->cpuTicks - start->cpuTicks) / tick;
        say(QString("CPU: %1 s in %2 s since launch = %3 s per hour; after the first take %4 s "
                    "per hour")
                .arg(all, 0, 'f', 1)
                .arg(end->at - harness.launch)
                .arg(all * 3600 / std::max<qint64>(1, end->at - harness.launch), 0, 'f', 1)
                .arg(steady * 3600 / std::max<qint64>(1, end->at - start->at), 0, 'f', 1));
    } else {
        fail("the console was not sampled both after the first take and at the end");
    }

    say(QString("Error-log lines: %1").arg(errors.size()));
    for (const LogLine& l : errors)
        say(QString("  %1  %2").arg(clock(l.at), l.text));
    if (!errors.isEmpty())
        fail(QString("%1 error-log lines").arg(errors.size()));

    // What the console wrote to its terminal: not a property, but worth a look.
    QFile console(folder.filePath("console.log"));
    if (console.open(QIODevice::ReadOnly)) {
        QMap<QString, int> kinds;
        int total = 0;
        while (!console.atEnd()) {
            ++kinds[QString::fromLocal8Bit(console.readLine()).trimmed()];
            ++total;
        }
        say(QString("Console output: %1 lines").arg(total));
        for (auto k = kinds.cbegin(); k != kinds.cend(); ++k)
            say(QString("  %1 x %2").arg(k.value()).arg(k.key()));
    }

    say(failures.isEmpty() ? "Result: PASS" : "Result: FAIL: " + failures.join("; "));
    const QByteArray text = out.join('\n').toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    QFile f(folder.filePath("report.txt"));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text);
    return failures.isEmpty() ? 0 : 1;
}
