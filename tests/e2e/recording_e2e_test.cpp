// The real console records, plays and meets a failing wave store as a station
// does: the receiver is the simulator on a pseudo-terminal, the audio files
// the test writes.
#include "console_process.h"
#include "fakes/schedules.h"
#include "fakes/sim_receiver.h"
#include "fakes/wave_files.h"
#include "history/take_history.h"
#include "station/export_record.h"
#include "station_layout.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>
#include <cmath>
#include <sys/mount.h>
#include <unistd.h>

namespace {
using enum Setting;

// Raw 16-bit stereo PCM as the simulated input reads it, paced in real time
// from its start each time the input starts: seconds of silence and of a
// 1 kHz tone by turns, silence first.
QString pcm(const QString& path, std::initializer_list<double> silenceThenTone) {
    std::vector<short> pcm;
    bool tone = false;
    for (const double seconds : silenceThenTone) {
        for (size_t i = 0, n = size_t(44100 * seconds); i < n; ++i) {
            const short v = tone ? short(8000 * std::sin(2 * M_PI * 1000 * double(i) / 44100)) : 0;
            pcm.insert(pcm.end(), {v, v});
        }
        tone = !tone;
    }
    TempStation::writeFile(path, QByteArray(reinterpret_cast<const char*>(pcm.data()),
                                            qsizetype(pcm.size() * sizeof(short))));
    return path;
}

// A console with its COM1 on its own receiver simulator.
struct Station : ConsoleProcess {
    void layOut(const QString& conf, const SettingRecords& settings = {}) {
        QDir().mkpath(c("satfile/logs"));
        writeConfig({}, QString("[serial]\nCOM1=%1\n%2").arg(sim.device(), conf));
        // clang-format off
        TempStation::writeSettings(c("satfile/MyComp.ini"), {{CommPortNo, 1}, {BaudIndex, 2},
            {ActivityLogOn, 1}, {WaveDriveNo, 3}, {RecordThreshold, 100}, {WaveKeepDays, 7},
            {ActivityLogKeep, 2}});
        // clang-format on
        TempStation::writeSettings(c("satfile/MyComp.ini"), settings);
    }
    // A programme due once, on the receiver port of its channel's number.
    void schedule(ScheduleNo n, const QString& name, const QString& chan, const QDateTime& at,
                  const QString& length, const QDateTime& playAt = {}) {
        ScheduleFile file;
        ASSERT_TRUE(file.open(c("satfile/SatList.dat"), nullptr));
        ScheduleFields f = ScheduleOnce(name, chan, length, at, playAt);
        f.SatPort = chan;
        put(file, n, f);
    }
    QProcess& process() { return *processes.back(); }
    int port(int n) const { return TempStation::readFile(path("ports")).at(n); }
    void setPort(int n, int value) {
        QFile f(path("ports"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(n));
        f.write(QByteArray(1, char(value)));
    }

    SimReceiver sim;
};

// The RIFF data chunk's own size, and what the file holds after it.
std::pair<qint64, qint64> dataChunk(const QString& path) {
    const QByteArray bytes = TempStation::readFile(path);
    const qsizetype data = bytes.indexOf("data");
    return {data > 0 ? qFromLittleEndian<quint32>(bytes.constData() + data + 4) : -1,
            bytes.size() - (data + 8)};
}

int loudSamples(const std::vector<short>& samples, size_t first = SIZE_MAX) {
    return int(std::count_if(samples.begin(),
                             samples.begin() + ptrdiff_t(std::min(first, samples.size())),
                             [](short s) { return std::abs(s) > 100; }));
}

// A metrics file's samples by name and labels, each line checked as a scraper
// parses it: a comment, a blank, or a typed metric's well-formed sample.
std::map<QString, double> scrape(const QString& text) {
    const QString name = "[a-zA-Z_:][\\w:]*", label = R"([a-zA-Z_]\w*="(?:[^"\\\n]|\\[\\"n])*")";
    const QRegularExpression type("^# TYPE (" + name + ") (counter|gauge|untyped)$"),
        sample("^(" + name + ")(\\{" + label + "(?:," + label +
               ")*\\})? ([-+]?(?:\\d+\\.?\\d*(?:[eE][-+]?\\d+)?|Inf)|NaN)$");
    std::map<QString, double> samples;
    QSet<QString> typed;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch t = type.match(line), m = sample.match(line);
        typed << t.captured(1);
        EXPECT_TRUE(line.startsWith('#') || (m.hasMatch() && typed.contains(m.captured(1))))
            << line.toStdString();
        if (m.hasMatch())
            samples[m.captured(1) + m.captured(2)] = m.captured(3).toDouble();
    }
    return samples;
}

// Five stations at once, each waiting out the same short lead, so that the
// whole loop costs one schedule's wait:
// - one is switched ahead of each channel's programme; channel 1 records its
//   take from the first audio for its length, the network's Play contact
//   plays it from the playlist up to its end-of-file mark and pulses the
//   end-of-message relay, and the console killed outright while channel 2
//   still records leaves (nearly) all its audio in a playable file, its
//   header kept current;
// - one records through a sound server, Qt Multimedia's real capture path;
// - one on a real 256 kB tmpfs that fills in the middle of its take keeps
//   running, says why in the error log and ends cleanly on a service stop;
//   what was written before the store filled stays a valid wave file whose
//   header counts it;
// - one keeps the take history: a take refused for a wave folder that is not
//   there, one recorded across a dropout and handed off, one dumped for
//   silence; --history lists them beside the running console and the
//   monitoring file counts them;
// - the one make run lays out with the demonstration program switches,
//   records, hands off and plays on that layout as it stands. Its programme
//   opens with three seconds of silence, so the take must be longer than that
//   or it is dumped before the tune.
TEST(StationEndToEnd, RecordsHandsOffPlaysKeepsItsHistoryAndSurvivesAKillAndAFullStore) {
    Station station, sound, full, kept, demo;
    QProcess demoLayOut;
    demoLayOut.start(DEMO_STATION, {demo.dir.path(), demo.sim.device(), "10", "00:05"});
    ASSERT_TRUE(demoLayOut.waitForFinished(30000));
    ASSERT_EQ(demoLayOut.exitCode(), 0) << demoLayOut.readAllStandardError().toStdString();

    const QString output = station.path("play.pcm");
    station.layOut(QString("[io]\nports=%1\n[audio]\nbackend=simulated\ninput1=%2\ninput2=%3\n"
                           "output1=%4\n")
                       .arg(station.path("ports"), pcm(station.path("in1.pcm"), {0.5, 30}),
                            pcm(station.path("in2.pcm"), {0, 60}), output),
                   {{RecDevice2, 1}, {RelayCardType, 1}, {AuditionDevice, 1}});
    // Every contact open.
    TempStation::writeFile(station.path("ports"),
                           QByteArray(889, 0) + char(127) + QByteArray(134, 0));
    sound.layOut("");
    // A private PulseAudio daemon with a sine source, for the capture path.
    const QString pulseRuntime = sound.path("pulse-runtime");
    const bool pulseUp = !QStandardPaths::findExecutable("pulseaudio").isEmpty() && [&] {
        sound.start({"--daemonize=no", "--exit-idle-time=-1", "-n", "-L",
                     "module-native-protocol-unix", "-L", "module-always-sink", "-L",
                     "module-sine-source source_name=vin rate=44100 frequency=1000"},
                    "pulseaudio", pulseRuntime);
        return waitUntil([&] { return QFile::exists(pulseRuntime + "/pulse/native"); });
    }();

    const QString driveD = full.path("drives/D");
    QDir().mkpath(driveD);
    const bool mounted =
        ::geteuid() == 0 && ::mount("tmpfs", qPrintable(driveD), "tmpfs", 0, "size=256k") == 0;
    const std::shared_ptr<void> unmount(nullptr, [&](void*) {
        if (mounted)
            ::umount2(qPrintable(driveD), MNT_DETACH);
    });
    full.layOut("[audio]\nbackend=simulated\ninput1=" + pcm(full.path("in1.pcm"), {0, 30}) +
                    "\n[drives]\nD=" + driveD + "\n",
                {{WaveDriveNo, 4}, {RecDevice2, 1}});

    const QString metrics = kept.path("varnola.prom"), store = kept.path("D");
    kept.layOut(QString("[drives]\nD=%1\nH=%2\nP=%3\n[monitoring]\ntextfile=%4\n[audio]\n"
                        "backend=simulated\ninput1=%5\n")
                    .arg(store, kept.path("H"), kept.path("P"), metrics,
                         pcm(kept.path("in1.pcm"), {0.5, 0.5, 5.5, 2})),
                {{WaveDriveNo, 4}, {RecDevice2, 1}});
    for (const char* folder : {"D/satfile", "H/programs", "P/programs"})
        QDir().mkpath(kept.path(folder));
    ExportRecord rule;
    rule.ExportMode = ExportUserDefined, rule.ExportDays.fill(1);
    rule.ExportPaths.fill("H:\\programs\\news");
    RecordFile rules;
    ASSERT_TRUE(rules.open(kept.c("satfile/Exportinfo.dat"), ExportRecord::Length, nullptr) &&
                WriteExportRecord(rules, 1, rule, nullptr));

    // Whole seconds, far enough ahead for the consoles to cue the receiver
    // seven seconds before.
    QDateTime at = QDateTime::currentDateTime().addSecs(10);
    at = at.addMSecs(-at.time().msec());
    const QDateTime playAt = at.addSecs(600); // listed, never due during the test
    if (at.date() != QDate::currentDate() || playAt.date() != at.date())
        GTEST_SKIP() << "the programmes would fall after midnight";
    full.schedule(1, "Full Store", "1", at, "00:20");
    if (mounted)
        full.start();
    station.schedule(1, "End To End", "1", at, "00:02", playAt);
    station.schedule(2, "Killed Take", "2", at, "01:00");
    if (pulseUp) {
        sound.schedule(1, "Sound Server", "1", at, "00:02");
        sound.start({}, VARNOLA_BINARY, pulseRuntime);
    }
    kept.schedule(1, "News, Weather", "1", at, "00:07");
    kept.schedule(2, "Silence", "2", at, "00:02");
    kept.schedule(3, "Gone", "1", at.addSecs(12), "00:02");
    kept.start();
    station.start();
    demo.start();

    const QString db = kept.c("satfile/history.db");
    auto rows = [&, error = QString()]() mutable {
        const auto history = TakeHistory::openForReading(db, &error);
        QList<TakeRecord> r = history ? history->since(at.addSecs(-60)) : QList<TakeRecord>();
        std::ranges::sort(r, {}, &TakeRecord::slot);
        return r;
    };
    // The copies are told before the wave folder goes: it becomes a file.
    ASSERT_TRUE(waitUntil([&] {
        const QList<TakeRecord> r = rows();
        return r.size() == 2 && r[0].handOffs.size() == 2;
    })) << kept.diagnosis();
    ASSERT_TRUE(QDir().rename(store, kept.path("D.gone")));
    TempStation::writeFile(store, "not a folder");
    ASSERT_LT(QDateTime::currentDateTime(), at.addSecs(11)) << "too late to take the folder away";

    ASSERT_TRUE(station.waitForLog("AL", "  Stop   End To End")) << station.diagnosis();
    EXPECT_EQ(station.sim.commands(),
              (QStringList{"SETAUDIO 1 S AA1 0  ", "SETAUDIO 2 S AA1 0  "}));

    const QString take = station.file("drives/C/satfile", "SF???001.WAV");
    const WaveContents w = readWave(take);
    EXPECT_EQ(w.channels, 2);
    EXPECT_NEAR(double(w.frames) / 44100, 2.0, 0.1);
    // The take starts with the tone, not with the half second of silence
    // the input began with.
    EXPECT_GT(loudSamples(w.samples, 4096), 2000);

    // The operator trimmed it to 1.5 s; then the network closes Play.
    const float marks[] = {1.0f, 1.5f}; // end of message, end of file
    TempStation::writeFile(station.c("satfile/" + QFileInfo(take).completeBaseName() + ".DAT"),
                           QByteArray(reinterpret_cast<const char*>(marks), sizeof marks));
    station.setPort(889, 63);
    ASSERT_TRUE(station.waitForLog("AL", "  Play End To End")) << station.diagnosis();
    station.setPort(889, 127);
    bool pulsed = false;
    ASSERT_TRUE(waitUntil(
        [&] { return (pulsed = pulsed || station.port(888) == 1) && station.port(888) == 0; }));
    // The relay falls a second after the end-of-message mark at 1.0 s, half
    // a second after the play's end at 1.5 s: anything played past the end
    // of file is written by now.
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(output).size() >= 1.5 * 176400; }));
    EXPECT_NEAR(double(QFileInfo(output).size()) / 176400, 1.5, 0.05);

    const QString killed = station.file("drives/C/satfile", "SF???002.WAV");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(killed).size() >= 44 + 3 * 176400; }));
    ConsoleProcess::send(station.process(), SIGKILL);
    ASSERT_TRUE(station.process().waitForFinished(10000));
    // The header counts all but the last second of what was written.
    const auto [counted, held] = dataChunk(killed);
    EXPECT_GE(counted, held - 176400);
    EXPECT_EQ(readWave(killed).frames, counted / 4);

    if (!mounted) {
        std::printf("[  SKIPPED ] a store that fills: a tmpfs cannot be mounted here\n");
    } else {
        ASSERT_TRUE(full.waitForLog("ER", "writing D:\\SATFILE\\SF")) << full.diagnosis();
        ConsoleProcess::stop(full.process());
        const QString path = full.file("drives/D/SATFILE", "SF*.WAV");
        const WaveContents w = readWave(path);
        ASSERT_GT(w.frames, 0) << path.toStdString();
        EXPECT_EQ(dataChunk(path), std::pair(w.frames * 4, w.frames * 4));
    }
    if (!pulseUp) {
        std::printf("[  SKIPPED ] recording through a sound server: PulseAudio did not come up\n");
    } else {
        const bool stopped = sound.waitForLog("AL", "  Stop   Sound Server");
        ConsoleProcess::send(sound.process(), SIGTERM);
        sound.process().waitForFinished(10000);
        ASSERT_TRUE(stopped) << sound.diagnosis();
        const WaveContents s = readWave(sound.file("drives/C/satfile", "SF*.WAV"));
        EXPECT_EQ(s.channels, 2);
        EXPECT_EQ(s.frames, 2 * 44100);
        EXPECT_GT(loudSamples(s.samples), int(s.samples.size() / 2));
    }

    ASSERT_TRUE(waitUntil([&] { return rows().size() == 3; })) << kept.diagnosis();

    const QList<TakeRecord> r = rows();
    EXPECT_EQ(
        (QList<TakeOutcome>{r[0].outcome, r[1].outcome, r[2].outcome}),
        (QList<TakeOutcome>{TakeOutcome::Recorded, TakeOutcome::Dumped, TakeOutcome::Refused}));
    // Armed half a second early (the countdown rounds), the channel hears the
    // tone from its second on, a tick or two late: a buffer either side.
    EXPECT_NEAR(r[0].firstAudioOffset, 0.05, 0.05 + 0.023);
    EXPECT_EQ(r[0].gaps, 1);
    EXPECT_NEAR(r[0].longestGap, 5.5, 0.1);
    EXPECT_EQ(r[0].handOffs, (QList<HandOffResult>{{"H:\\programs\\news.wav", "verified", {}},
                                                   {"P:\\programs\\news.wav", "verified", {}}}));

    QProcess& listing = kept.start({"--history"});
    ASSERT_TRUE(listing.waitForFinished(15000));
    const QString csv = listing.readAllStandardOutput();
    EXPECT_TRUE(csv.count('\n') == 4 &&
                csv.contains(QRegularExpression(R"(\n[^\n]*,"News, Weather",1,.*,recorded,)")) &&
                csv.contains(QRegularExpression(R"(\n[^\n]*,Gone,1,[^\n]*,refused,[^\n]*\n$)")))
        << csv.toStdString();

    ConsoleProcess::stop(*kept.processes.front());
    const std::map<QString, double> m = scrape(TempStation::readFile(metrics));
    EXPECT_EQ(m.size(), 30u); // 20 by take, up, tick, 2 last times, Eb/No, failures, 4 drives
    for (const auto& [sample, value] : std::initializer_list<std::pair<QString, double>>{
             {"varnola_up", 0},
             {R"(varnola_takes_total{channel="1",outcome="recorded"})", 1},
             {R"(varnola_takes_total{channel="2",outcome="dumped"})", 1},
             {R"(varnola_takes_total{channel="1",outcome="refused"})", 1},
             {R"(varnola_last_take_outcome{channel="1",outcome="refused"})", 1},
             {"varnola_handoff_failures_total", 0}})
        EXPECT_EQ(m.count(sample) ? m.at(sample) : -1, value) << sample.toStdString();

    TempStation::writeFile(db, QByteArray(8192, 'x'));
    QProcess& damaged = kept.start({"--history", "30"});
    EXPECT_TRUE(damaged.waitForFinished(15000) && damaged.exitCode() == 1);

    ASSERT_TRUE(
        waitUntil([&] { return !demo.file("drives/P/programs", "SF8001*.wav").isEmpty(); }, 60000))
        << demo.diagnosis();
    EXPECT_TRUE(demo.sim.commands().contains("SETAUDIO 1 S AA1 0  "));
    EXPECT_EQ(readWave(demo.file("drives/C/satfile", "SF*.WAV")).frames, 5 * 44100);
    demo.setPort(889, 63); // Play
    EXPECT_TRUE(waitUntil([&] { return QFileInfo(demo.path("play.pcm")).size() > 176400; }));
    ConsoleProcess::stop(demo.process());
}

} // namespace
