// The real console records, plays and meets a failing wave store as a station
// does: the receiver is the simulator on a pseudo-terminal, the audio FIFOs
// the test writes. Every schedule is due as soon as a console just started
// can still cue it at its first cue moment, seven seconds ahead.
#include "fakes/schedules.h"
#include "fakes/sim_receiver.h"
#include "fakes/temp_station.h"
#include "fakes/wave_files.h"
#include "station/time_format.h"
#include "support/test.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using enum Setting;

// A process that has already ended has no id: kill(0) would signal the
// test's own process group.
void sendSignal(const QProcess& p, int signal) {
    if (p.processId() > 0)
        ::kill(pid_t(p.processId()), signal);
}

// Whole seconds, far enough ahead for a console started now to cue the
// receiver seven seconds before.
QDateTime dueIn(int lead) {
    const QDateTime at = QDateTime::currentDateTime().addSecs(lead);
    return at.addMSecs(-at.time().msec());
}

// Writes 16-bit stereo PCM into a FIFO from its own thread, silence and then
// a tone: the pipe paces it at the rate the console reads.
class FifoWriter {
public:
    FifoWriter(QString path, double silence, double tone)
        : path_(std::move(path)), thread_([this, silence, tone] { run(silence, tone); }) {}
    ~FifoWriter() {
        stop_ = true;
        // Answers an open no reader ever answered, and drains what the writer
        // still sends: a full pipe would hold it (and the test) forever.
        const int fd = ::open(path_.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
        if (fd >= 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0) {
            char sink[65536];
            while (::read(fd, sink, sizeof sink) > 0) {
            }
        }
        thread_.join();
        if (fd >= 0)
            ::close(fd);
    }

private:
    void run(double silence, double tone) {
        const int fd = ::open(path_.toLocal8Bit().constData(), O_WRONLY);
        if (fd < 0)
            return;
        std::vector<short> frames(2 * 4410);
        for (int block = 0; block < int((silence + tone) * 10) && !stop_; ++block) {
            for (int i = 0; i < 4410; ++i)
                frames[size_t(2 * i)] = frames[size_t(2 * i + 1)] =
                    block >= silence * 10 ? short(8000 * std::sin(2 * M_PI * 1000 * i / 44100.0))
                                          : 0;
            const char* p = reinterpret_cast<const char*>(frames.data());
            size_t left = frames.size() * sizeof(short);
            for (ssize_t n = 0; left > 0 && !stop_; p += n, left -= size_t(n))
                if ((n = ::write(fd, p, left)) <= 0)
                    break;
        }
        ::close(fd);
    }
    QString path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// One console on a station of its own in a temporary folder, its COM1 on its
// own receiver simulator.
struct Console {
    Console() { std::signal(SIGPIPE, SIG_IGN); } // a console closing a FIFO
    ~Console() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QString path(const QString& rel) const { return dir.filePath(rel); }
    QString c(const QString& rel) const { return dir.filePath("drives/C/" + rel); }
    void layOut(const QString& conf, const SettingRecords& settings = {},
                const QString& drives = {}) {
        QDir().mkpath(c("satfile/logs"));
        TempStation::writeFile(path("varnola.conf"),
                               QString("[drives]\nC=%1\n%2[serial]\nCOM1=%3\n%4")
                                   .arg(path("drives/C"), drives, sim.device(), conf)
                                   .toUtf8());
        // clang-format off
        TempStation::writeSettings(c("satfile/MyComp.ini"), {{CommPortNo, 1}, {BaudIndex, 2},
            {ActivityLogOn, 1}, {WaveDriveNo, 3}, {RecordThreshold, 100}, {WaveKeepDays, 7},
            {ActivityLogKeep, 2}});
        // clang-format on
        TempStation::writeSettings(c("satfile/MyComp.ini"), settings);
    }
    QString fifo(const QString& name) const {
        EXPECT_EQ(::mkfifo(path(name).toLocal8Bit().constData(), 0600), 0);
        return path(name);
    }
    // A programme due once, on the receiver port of its channel's number.
    void schedule(ScheduleNo n, const QString& name, const QString& chan, const QDateTime& at,
                  const QString& length, const QString& playAt = {}) {
        ScheduleFile file;
        ASSERT_TRUE(file.open(c("satfile/SatList.dat"), nullptr));
        ScheduleFields f = scheduleFields(name, chan, length);
        const size_t day = size_t(StationWeekday(at.date()) - 1);
        f.SatPort = chan;
        f.RecDays[day] = int(day + 1);
        f.RecTimes[day] = at.time().toString("HH:mm:ss");
        f.PlayTimes[4 * day] = playAt;
        put(file, n, f);
    }
    void start(const QString& soundRuntime = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VARNOLA_CONFIG", path("varnola.conf"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", dir.path());
        if (!soundRuntime.isEmpty())
            env.insert("XDG_RUNTIME_DIR", soundRuntime);
        process.setProcessEnvironment(env);
        process.start(VARNOLA_BINARY, {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    QByteArray log(const QString& kind) const {
        return TempStation::readFile(
            c("satfile/logs/" + kind + QDate::currentDate().toString("yyMMdd") + ".log"));
    }
    std::string diagnosis() { return (log("AL") + log("ER")).toStdString() + stderrText(); }
    std::string stderrText() { return process.readAllStandardError().toStdString(); }
    bool waitForLog(const QString& kind, const QByteArray& text) {
        return waitUntil([&] { return log(kind).contains(text); }, 40000);
    }
    QString file(const QString& folder, const QString& pattern) const {
        QDir d(path(folder));
        const QStringList names = d.entryList({pattern}, QDir::Files);
        return names.isEmpty() ? QString() : d.filePath(names.first());
    }
    // A console that died of a failure shows as a crash here, not as status 0.
    void stop() {
        sendSignal(process, SIGTERM);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << stderrText();
    }
    int port(int n) const {
        const QByteArray ports = TempStation::readFile(path("ports"));
        return n < ports.size() ? int(uchar(ports.at(n))) : -1;
    }
    void setPort(int n, int value) {
        QFile f(path("ports"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(n);
        f.write(QByteArray(1, char(value)));
    }

    QTemporaryDir dir;
    SimReceiver sim;
    QProcess process;
};

// A private PulseAudio daemon offering a pipe source the test feeds.
struct SoundServer {
    explicit SoundServer(const QTemporaryDir& dir)
        : runtime(dir.filePath("pulse-runtime")), source(dir.filePath("pulse-in.fifo")) {
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir.path());
        env.insert("XDG_RUNTIME_DIR", runtime);
        daemon.setProcessEnvironment(env);
        daemon.setWorkingDirectory(dir.path());
        daemon.start("pulseaudio", {"--daemonize=no", "--exit-idle-time=-1", "-n", "-L",
                                    "module-native-protocol-unix", "-L", "module-always-sink", "-L",
                                    "module-pipe-source source_name=vin file=" + source +
                                        " format=s16le rate=44100 channels=2"});
        if (!daemon.waitForStarted(5000))
            failure = "no PulseAudio daemon could be started: " + daemon.errorString();
        else if (!waitUntil([&] {
                     return QFile::exists(runtime + "/pulse/native") && QFile::exists(source);
                 }))
            failure = "PulseAudio did not come up: " + daemon.readAllStandardError().left(400);
    }
    ~SoundServer() {
        daemon.terminate();
        if (!daemon.waitForFinished(5000))
            daemon.kill();
        daemon.waitForFinished(3000);
    }
    QString runtime, source, failure;
    QProcess daemon;
};

int loudSamples(const std::vector<short>& samples, size_t first = SIZE_MAX) {
    int loud = 0;
    for (size_t i = 0; i < std::min(first, samples.size()); ++i)
        loud += std::abs(samples[i]) > 100;
    return loud;
}

// The whole loop on one station: the receiver is switched ahead of each
// channel's programme, channel 1 records its take from the first audio for
// its length, the network's Play contact plays it from the playlist up to its
// end-of-file mark and pulses the end-of-message relay, and the console
// killed outright while channel 2 still records leaves (nearly) all its audio
// in a playable file, its header kept current. Meanwhile a second station
// records through a sound server, Qt Multimedia's real capture path.
TEST(RecordingEndToEnd, SwitchesRecordsPlaysAndSurvivesAKill) {
    Console station, sound;
    const QString in1 = station.fifo("in1.pcm"), in2 = station.fifo("in2.pcm");
    const QString output = station.path("play.pcm");
    station.layOut(QString("[io]\nports=%1\n[audio]\nbackend=simulated\ninput1=%2\ninput2=%3\n"
                           "output1=%4\n")
                       .arg(station.path("ports"), in1, in2, output),
                   {{RecDevice2, 1},
                    {RelayCardType, 1},
                    {PlayButtonVisible, 1},
                    {StopButtonVisible, 1},
                    {AuditionDevice, 1}});
    QByteArray ports(1024, '\0');
    ports[889] = char(127); // every contact open
    TempStation::writeFile(station.path("ports"), ports);
    std::optional<FifoWriter> soundAudio; // drained only once the daemon that holds it ended
    SoundServer pulse(sound.dir);
    sound.layOut("");

    const QDateTime at = dueIn(10);
    const QTime playAt = at.time().addSecs(600); // listed, never due during the test
    if (at.date() != QDate::currentDate() || playAt < at.time())
        GTEST_SKIP() << "the programmes would fall after midnight";
    station.schedule(1, "End To End", "1", at, "00:02", playAt.toString("HH:mm:ss"));
    station.schedule(2, "Killed Take", "2", at, "01:00");
    FifoWriter audio1(in1, 0.5, 30.0), audio2(in2, 0.0, 60.0);
    if (pulse.failure.isEmpty()) {
        sound.schedule(1, "Sound Server", "1", at, "00:02");
        soundAudio.emplace(pulse.source, 0.0, 30.0);
        sound.start(pulse.runtime);
    }
    station.start();

    QDateTime switched;
    std::optional<QElapsedTimer> killedTakeRuns;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!switched.isValid() && !station.sim.commands().isEmpty())
                switched = QDateTime::currentDateTime();
            if (!killedTakeRuns && station.log("AL").contains("  Record Killed Take"))
                killedTakeRuns.emplace().start();
            return station.log("AL").contains("  Stop   End To End");
        },
        40000))
        << station.diagnosis();
    EXPECT_EQ(station.sim.commands(),
              (QStringList{"SETAUDIO 1 S AA1 0  ", "SETAUDIO 2 S AA1 0  "}));
    const double ahead = switched.msecsTo(at) / 1000.0;
    EXPECT_GT(ahead, 5.0);
    EXPECT_LT(ahead, 7.5);
    const QByteArray al = station.log("AL");
    EXPECT_TRUE(al.contains("  SETAUDIO 1 S AA1 0  \r\n")) << al.toStdString();
    EXPECT_TRUE(al.contains("  Record End To End")) << al.toStdString();

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

    ASSERT_TRUE(killedTakeRuns.has_value()) << station.diagnosis();
    const QString killed = station.file("drives/C/satfile", "SF???002.WAV");
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(killed).size() >= 44 + 3 * 176400; }));
    const double elapsed = killedTakeRuns->elapsed() / 1000.0;
    sendSignal(station.process, SIGKILL);
    ASSERT_TRUE(station.process.waitForFinished(10000));
    const WaveContents part = readWave(killed);
    ASSERT_GT(part.frames, 0);
    EXPECT_GE(double(part.frames) / 44100, elapsed - 1.0);

    if (!pulse.failure.isEmpty()) {
        std::printf("[  SKIPPED ] recording through a sound server: %s\n",
                    qPrintable(pulse.failure));
        return;
    }
    const bool stopped = sound.waitForLog("AL", "  Stop   Sound Server");
    sendSignal(sound.process, SIGTERM);
    sound.process.waitForFinished(10000);
    ASSERT_TRUE(stopped) << sound.diagnosis();
    const WaveContents s = readWave(sound.file("drives/C/satfile", "SF*.WAV"));
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.frames, 2 * 44100);
    EXPECT_GT(loudSamples(s.samples), int(s.samples.size() / 2));
}

// The wave store as a station can find it on a bad day: its satfile a plain
// file, or a real 256 kB tmpfs that fills in the middle of a take. The
// console keeps running, says why in the error log, and a service stop ends
// it cleanly; what was written before the store filled stays a valid wave
// file whose header counts it.
TEST(WaveStoreFailure, PlainFileSatfileOrAFullStoreIsLoggedAndTheConsoleRunsOn) {
    Console plain, full;
    std::optional<FifoWriter> audio[2];
    QString fullFailure;
    struct Mount {
        QString at;
        ~Mount() {
            if (!at.isEmpty())
                ::umount2(at.toLocal8Bit().constData(), MNT_DETACH);
        }
    } mounted;
    const QDateTime at = dueIn(10);
    if (at.date() != QDate::currentDate())
        GTEST_SKIP() << "the schedule would fall after midnight";
    for (Console* c : {&plain, &full}) {
        const QString driveD = c->path("drives/D"), fifo = c->fifo("in1.pcm");
        QDir().mkpath(driveD);
        c->layOut("[audio]\nbackend=simulated\ninput1=" + fifo + "\n", {{WaveDriveNo, 4}},
                  "D=" + driveD + "\n");
        if (c == &plain) {
            TempStation::writeFile(driveD + "/satfile", {});
        } else if (::geteuid() != 0) {
            fullFailure = "mounting a small tmpfs for the wave store needs root";
            continue;
        } else if (::mount("tmpfs", driveD.toLocal8Bit().constData(), "tmpfs", 0, "size=256k")) {
            fullFailure = QString("a tmpfs cannot be mounted here: ") + std::strerror(errno);
            continue;
        } else {
            mounted.at = driveD;
        }
        c->schedule(1, "End To End", "1", at, c == &plain ? "00:05" : "00:20");
        audio[c == &full].emplace(fifo, 0.0, 30.0);
        c->start();
    }
    ASSERT_TRUE(plain.waitForLog("ER", "cannot create D:\\SATFILE\\SF")) << plain.diagnosis();
    plain.stop();
    if (!fullFailure.isEmpty()) {
        std::printf("[  SKIPPED ] a store that fills: %s\n", qPrintable(fullFailure));
        return;
    }
    ASSERT_TRUE(full.waitForLog("ER", "writing D:\\SATFILE\\SF")) << full.diagnosis();
    full.stop();
    const QString path = full.file("drives/D/SATFILE", "SF*.WAV");
    const WaveContents w = readWave(path);
    ASSERT_GT(w.frames, 0) << path.toStdString();
    // The RIFF data chunk's own size, against what the file holds after it.
    const QByteArray bytes = TempStation::readFile(path);
    const qsizetype data = bytes.indexOf("data");
    ASSERT_GT(data, 0);
    const quint32 counted = qFromLittleEndian<quint32>(bytes.constData() + data + 4);
    EXPECT_EQ(qint64(counted), bytes.size() - (data + 8));
    EXPECT_EQ(qint64(counted), w.frames * 4);
}

// The demonstration station make run lays out, a second over its shortest lead
// and with a short take: the console cues the receiver, records the programme
// from its first audio, hands it to both stores, and plays it when Play closes.
TEST(DemonstrationStation, SwitchesRecordsHandsOffAndPlays) {
    Console demo;
    QProcess layOut;
    layOut.start(DEMO_STATION, {demo.dir.path(), demo.sim.device(), "9", "00:03"});
    ASSERT_TRUE(layOut.waitForFinished(30000));
    ASSERT_EQ(layOut.exitCode(), 0) << layOut.readAllStandardError().toStdString();
    const QString at = QString::fromLatin1(layOut.readAllStandardOutput()).trimmed();
    if (QTime::fromString(at, "HH:mm:ss") < QTime::currentTime().addSecs(-60))
        GTEST_SKIP() << "the programme would fall after midnight";
    demo.start();
    ASSERT_TRUE(
        waitUntil([&] { return !demo.file("drives/P/programs", "SF8001*.wav").isEmpty(); }, 60000))
        << demo.stderrText();
    EXPECT_TRUE(demo.sim.commands().contains("SETAUDIO 1 S AA1 0  "));
    EXPECT_EQ(readWave(demo.file("drives/C/satfile", "SF*.WAV")).frames, 3 * 44100);
    EXPECT_GT(readWave(demo.file("drives/H/programs", "SF8001*.wav")).frames, 2 * 44100);
    demo.setPort(889, 63); // Play
    EXPECT_TRUE(waitUntil([&] { return QFileInfo(demo.path("play.pcm")).size() > 176400; }));
    demo.stop();
}

} // namespace
