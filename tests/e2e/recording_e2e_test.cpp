// The real console records a scheduled programme end to end: the receiver
// is the simulator on a pseudo-terminal, the audio a FIFO the test writes.
#include "fakes/sim_receiver.h"
#include "fakes/temp_station.h"
#include "fakes/wave_files.h"
#include "support/test.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTime>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sndfile.h>
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

int stationWeekday(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

QByteArray scheduleRecord(const QString& name, int day, const QString& time, const QString& len,
                          const QString& playTime = {}) {
    QByteArray r(331, ' ');
    const auto put = [&](int pos, const QByteArray& v) { r.replace(pos - 1, v.size(), v); };
    put(1, "1");
    put(2, name.toLatin1());
    put(27, len.toLatin1());
    put(32, "AA1");
    put(35, "1");
    put(36, "S");
    put(37, "0");
    put(39, "M");
    put(40, "T");
    put(41, "1");
    // In the day's own row, as the editor writes it: recordings are named
    // after the row.
    put(266 + (day - 1), QByteArray::number(day));
    put(273 + 8 * (day - 1), time.toLatin1());
    if (!playTime.isEmpty())
        put(42 + 8 * (4 * (day - 1)), playTime.toLatin1());
    return r;
}

// Writes PCM into the FIFO from its own thread: the pipe paces it at the
// rate the console reads.
class FifoWriter {
public:
    FifoWriter(QString path, double silenceSeconds, double toneSeconds)
        : path_(std::move(path)),
          thread_([this, silenceSeconds, toneSeconds] { run(silenceSeconds, toneSeconds); }) {}
    ~FifoWriter() {
        stop_ = true;
        // Unblock an open that no reader ever answered, and drain what the
        // writer goes on sending meanwhile: a full pipe would hold it (and
        // the test) forever.
        // Blocking reads end with the writer's close (or at once when there
        // is no writer any more).
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
    std::atomic<bool> opened{false};

private:
    void run(double silence, double tone) {
        const int fd = ::open(path_.toLocal8Bit().constData(), O_WRONLY);
        if (fd < 0)
            return;
        opened = true;
        std::vector<short> frames(2 * 4410);
        const int total = int((silence + tone) * 10);
        for (int block = 0; block < total && !stop_; ++block) {
            for (int i = 0; i < 4410; ++i) {
                const bool sound = block >= silence * 10;
                const short v = sound ? short(8000 * std::sin(2 * M_PI * 1000 * i / 44100.0)) : 0;
                frames[size_t(2 * i)] = frames[size_t(2 * i + 1)] = v;
            }
            const char* p = reinterpret_cast<const char*>(frames.data());
            size_t left = frames.size() * sizeof(short);
            while (left > 0 && !stop_) {
                const ssize_t n = ::write(fd, p, left);
                if (n <= 0)
                    break;
                p += n;
                left -= size_t(n);
            }
        }
        ::close(fd);
    }
    QString path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class RecordingEndToEnd : public ::testing::Test {
protected:
    RecordingEndToEnd() {
        // The console closing its end of the FIFO must not end the test.
        std::signal(SIGPIPE, SIG_IGN);
        driveC = dir.filePath("drives/C");
        QDir().mkpath(driveC + "/satfile/logs");
        fifo = dir.filePath("channel1.pcm");
        EXPECT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        QFile conf(dir.filePath("varnola.conf"));
        EXPECT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write(
            QString("[drives]\nC=%1\n[serial]\nCOM1=%2\n[audio]\nbackend=simulated\ninput1=%3\n")
                .arg(driveC, sim.device(), fifo)
                .toUtf8());
        const SettingRecords settings = {
            {CommPortNo, 1},        {BaudIndex, 2},    {ActivityLogOn, 1},  {WaveDriveNo, 3},
            {RecordThreshold, 100}, {WaveKeepDays, 7}, {ActivityLogKeep, 2}};
        TempStation::writeSettings(driveC + "/satfile/MyComp.ini", settings);
    }
    ~RecordingEndToEnd() override {
        if (console.state() != QProcess::NotRunning) {
            console.kill();
            console.waitForFinished(5000);
        }
    }
    void write(const QString& rel, const QByteArray& bytes) {
        QFile f(driveC + "/" + rel);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A schedule on channel 1 that many seconds from now.
    QDateTime schedule(int secondsAhead, const QString& length, const QString& playTime = {}) {
        const QDateTime at = QDateTime::currentDateTime().addSecs(secondsAhead);
        write("satfile/SatList.dat",
              scheduleRecord("End To End", stationWeekday(at.date()),
                             at.time().toString("HH:mm:ss"), length, playTime));
        return QDateTime(at.date(),
                         QTime(at.time().hour(), at.time().minute(), at.time().second()));
    }
    void startConsole() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VARNOLA_CONFIG", dir.filePath("varnola.conf"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", dir.path());
        for (auto it = extraEnv.constBegin(); it != extraEnv.constEnd(); ++it)
            env.insert(it.key(), it.value());
        console.setProcessEnvironment(env);
        console.start(VARNOLA_BINARY, {});
        ASSERT_TRUE(console.waitForStarted(10000));
    }
    QString wave() const {
        QDir d(driveC + "/satfile");
        const QStringList w = d.entryList({"SF*.WAV"}, QDir::Files);
        return w.isEmpty() ? QString() : d.filePath(w.first());
    }
    QByteArray activity() const {
        QFile f(driveC + "/satfile/logs/AL" + QDate::currentDate().toString("yyMMdd") + ".log");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool waitUntil(const std::function<bool()>& ok, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (!ok()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QTest::qWait(20);
        }
        return true;
    }

    SimReceiver sim;
    QTemporaryDir dir;
    QString driveC, fifo;
    QProcess console;
    QMap<QString, QString> extraEnv;
};

TEST_F(RecordingEndToEnd, ScheduledProgrammeIsSwitchedArmedRecordedAndStopped) {
    const QDateTime at = schedule(15, "00:05");
    if (at.date() != QDate::currentDate())
        GTEST_SKIP() << "the schedule would fall after midnight";
    FifoWriter audio(fifo, 2.0, 8.0);
    startConsole();

    QDateTime setAudioSeen;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!setAudioSeen.isValid() && !sim.commands().isEmpty())
                setAudioSeen = QDateTime::currentDateTime();
            return activity().contains("Stop   ");
        },
        40000))
        << activity().toStdString() << console.readAllStandardError().toStdString();
    EXPECT_EQ(sim.commands().value(0), "SETAUDIO 1 S AA1 0  ");
    const double ahead = setAudioSeen.msecsTo(at) / 1000.0;
    EXPECT_GT(ahead, 5.0);
    EXPECT_LT(ahead, 7.5);

    const QByteArray al = activity();
    EXPECT_TRUE(al.contains("  SETAUDIO 1 S AA1 0  \r\n")) << al.toStdString();
    EXPECT_TRUE(al.contains("  Record End To End")) << al.toStdString();
    EXPECT_TRUE(al.contains("  Stop   End To End")) << al.toStdString();

    const WaveContents w = readWave(wave());
    EXPECT_EQ(w.channels, 2);
    EXPECT_NEAR(double(w.frames) / 44100, 5.0, 0.1);
    ASSERT_GT(w.samples.size(), 4096u);
    // The take starts with the tone, not with the silence before it.
    int loud = 0;
    for (size_t i = 0; i < 4096; ++i)
        loud += std::abs(w.samples[i]) > 100;
    EXPECT_GT(loud, 2000);

    sendSignal(console, SIGTERM);
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 0);
}

// The header is kept current while recording: a process killed outright
// leaves a file holding (nearly) all the audio written.
TEST_F(RecordingEndToEnd, KilledMidTakeLeavesAPlayableFile) {
    const QDateTime at = schedule(14, "01:00");
    if (at.date() != QDate::currentDate())
        GTEST_SKIP() << "the schedule would fall after midnight";
    FifoWriter audio(fifo, 0.0, 60.0);
    startConsole();
    ASSERT_TRUE(waitUntil([&] { return activity().contains("Record "); }, 45000))
        << console.readAllStandardError().toStdString();
    QElapsedTimer recording;
    recording.start();
    // Three seconds on disk, then the kill.
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(wave()).size() >= 44 + 3 * 176400; }, 20000));
    const double elapsed = recording.elapsed() / 1000.0;
    sendSignal(console, SIGKILL);
    ASSERT_TRUE(console.waitForFinished(10000));
    const WaveContents w = readWave(wave());
    ASSERT_GT(w.frames, 0);
    EXPECT_GE(double(w.frames) / 44100, elapsed - 1.0);
}

// The whole loop: the station records a programme, lists it, the network's
// Play contact plays it to the simulated card up to its end-of-file mark,
// and the end-of-message relay pulses.
TEST_F(RecordingEndToEnd, RecordingIsListedPlayedOnThePlayContactAndPulsesTheRelay) {
    const QString ports = dir.filePath("ports");
    const QString output = dir.filePath("play.pcm");
    {
        QByteArray bytes(1024, '\0');
        bytes[889] = char(127); // every contact open
        QFile f(ports);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        QFile conf(dir.filePath("varnola.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write(QString("[drives]\nC=%1\n[serial]\nCOM1=%2\n[io]\nports=%3\n[audio]\n"
                           "backend=simulated\ninput1=%4\noutput1=%5\n")
                       .arg(driveC, sim.device(), ports, fifo, output)
                       .toUtf8());
    }
    const SettingRecords player = {
        {RelayCardType, 1}, {PlayButtonVisible, 1}, {StopButtonVisible, 1}, {AuditionDevice, 1}};
    TempStation::writeSettings(driveC + "/satfile/MyComp.ini", player);
    const QTime later = QTime::currentTime().addSecs(3600);
    const QDateTime at = schedule(14, "00:03", later.toString("HH:mm:ss"));
    if (at.date() != QDate::currentDate() || later < QTime::currentTime())
        GTEST_SKIP() << "the play time would fall after midnight";
    FifoWriter audio(fifo, 0.0, 20.0);
    startConsole();
    ASSERT_TRUE(waitUntil([&] { return activity().contains("Stop   "); }, 45000))
        << console.readAllStandardError().toStdString();

    // The operator trimmed it to 1.5 s; then the network closes Play.
    QFile marks(driveC + "/satfile/" + QFileInfo(wave()).completeBaseName() + ".DAT");
    ASSERT_TRUE(marks.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const float eom = 1.0f, eof = 1.5f;
    marks.write(reinterpret_cast<const char*>(&eom), 4);
    marks.write(reinterpret_cast<const char*>(&eof), 4);
    marks.close();
    const auto portByte = [&](int n) {
        QFile f(ports);
        return f.open(QIODevice::ReadOnly) ? int(uchar(f.readAll().at(n))) : -1;
    };
    {
        QFile f(ports);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(889);
        f.write(QByteArray(1, char(63))); // Play
    }
    ASSERT_TRUE(waitUntil([&] { return activity().contains("  Play End To End"); }, 5000));
    {
        QFile f(ports);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(889);
        f.write(QByteArray(1, char(127))); // released
    }
    bool pulsed = false;
    ASSERT_TRUE(waitUntil(
        [&] { return (pulsed = pulsed || portByte(888) == 1) && portByte(888) == 0; }, 10000));
    EXPECT_TRUE(pulsed);
    // The tail is played and nothing after the mark: the relay falls a
    // second after the end-of-message mark at 1.0 s, half a second after the
    // play's end at 1.5 s, so anything played past the mark is written by now.
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(output).size() >= 1.5 * 176400; }, 5000));
    EXPECT_NEAR(double(QFileInfo(output).size()) / 176400, 1.5, 0.05);
    sendSignal(console, SIGTERM);
    ASSERT_TRUE(console.waitForFinished(10000));
}

// The real audio path: Qt Multimedia capturing from a sound server. A
// private PulseAudio daemon offers a pipe source fed by the test.
TEST_F(RecordingEndToEnd, RecordsThroughTheSoundServer) {
    const QString runtime = dir.filePath("pulse-runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString source = dir.filePath("pulse-in.fifo");
    QProcess pulse;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir.path());
    env.insert("XDG_RUNTIME_DIR", runtime);
    pulse.setProcessEnvironment(env);
    pulse.setWorkingDirectory(dir.path());
    pulse.start("pulseaudio",
                {"--daemonize=no", "--exit-idle-time=-1", "-n", "-L", "module-native-protocol-unix",
                 "-L", "module-always-sink", "-L",
                 QString("module-pipe-source source_name=vin file=%1 format=s16le rate=44100 "
                         "channels=2")
                     .arg(source)});
    if (!pulse.waitForStarted(5000))
        GTEST_SKIP() << "no PulseAudio daemon could be started: "
                     << pulse.errorString().toStdString();
    if (!waitUntil(
            [&] { return QFile::exists(runtime + "/pulse/native") && QFile::exists(source); },
            10000)) {
        pulse.kill();
        pulse.waitForFinished(3000);
        GTEST_SKIP() << "PulseAudio did not come up: "
                     << pulse.readAllStandardError().left(400).toStdString();
    }
    {
        QFile conf(dir.filePath("varnola.conf"));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write(
            QString("[drives]\nC=%1\n[serial]\nCOM1=%2\n").arg(driveC, sim.device()).toUtf8());
    }
    extraEnv.insert("XDG_RUNTIME_DIR", runtime);
    const QDateTime at = schedule(14, "00:03");
    if (at.date() != QDate::currentDate()) {
        pulse.kill();
        pulse.waitForFinished(3000);
        GTEST_SKIP() << "the schedule would fall after midnight";
    }
    {
        FifoWriter audio(source, 0.0, 30.0);
        startConsole();
        const bool stopped = waitUntil([&] { return activity().contains("Stop   "); }, 45000);
        sendSignal(console, SIGTERM);
        console.waitForFinished(10000);
        pulse.terminate();
        pulse.waitForFinished(5000);
        ASSERT_TRUE(stopped) << activity().toStdString()
                             << console.readAllStandardError().toStdString();
    }
    const WaveContents w = readWave(wave());
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.frames, 3 * 44100);
    int loud = 0;
    for (short v : w.samples)
        loud += std::abs(v) > 100;
    EXPECT_GT(loud, int(w.samples.size() / 2));
}

// The wave store as a station can find it on a bad day. The console keeps
// running, says why in the error log, and a service stop ends it cleanly.
class WaveStoreFailure : public RecordingEndToEnd {
protected:
    WaveStoreFailure() {
        driveD = dir.filePath("drives/D");
        QDir().mkpath(driveD);
        QFile conf(dir.filePath("varnola.conf"));
        EXPECT_TRUE(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write(QString("[drives]\nC=%1\nD=%2\n[serial]\nCOM1=%3\n[audio]\nbackend=simulated\n"
                           "input1=%4\n")
                       .arg(driveC, driveD, sim.device(), fifo)
                       .toUtf8());
        TempStation::writeSettings(driveC + "/satfile/MyComp.ini", {{WaveDriveNo, 4}});
    }
    ~WaveStoreFailure() override {
        if (mounted)
            ::umount2(driveD.toLocal8Bit().constData(), MNT_DETACH);
    }
    QByteArray errors() const {
        QFile f(driveC + "/satfile/logs/ER" + QDate::currentDate().toString("yyMMdd") + ".log");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Waits for the error line, then stops the console: a console that died
    // of the failure (it did, inside the input's buffer event, right after
    // the line) shows as a crash, not as status 0.
    void expectErrorAndCleanStop(const QByteArray& line) {
        ASSERT_TRUE(waitUntil([&] { return errors().contains(line); }, 40000))
            << errors().toStdString() << console.readAllStandardError().toStdString();
        sendSignal(console, SIGTERM);
        ASSERT_TRUE(console.waitForFinished(10000));
        EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
    }

    QString driveD;
    bool mounted = false;
};

TEST_F(WaveStoreFailure, SatfileThatIsAPlainFileRefusesTheTake) {
    QFile blocker(driveD + "/satfile");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QDateTime at = schedule(14, "00:05");
    if (at.date() != QDate::currentDate())
        GTEST_SKIP() << "the schedule would fall after midnight";
    FifoWriter audio(fifo, 0.0, 20.0);
    startConsole();
    expectErrorAndCleanStop("cannot create D:\\SATFILE\\SF");
}

// The store fills in the middle of a take: what was written stays a valid
// wave file whose header counts it.
TEST_F(WaveStoreFailure, StoreThatFillsMidTakeKeepsAValidPartialFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs for the wave store needs root";
    if (::mount("tmpfs", driveD.toLocal8Bit().constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here: " << std::strerror(errno);
    mounted = true;
    const QDateTime at = schedule(14, "00:20");
    if (at.date() != QDate::currentDate())
        GTEST_SKIP() << "the schedule would fall after midnight";
    FifoWriter audio(fifo, 0.0, 30.0);
    startConsole();
    expectErrorAndCleanStop("writing D:\\SATFILE\\SF");
    const QString path =
        QDir(driveD + "/SATFILE")
            .filePath(QDir(driveD + "/SATFILE").entryList({"SF*.WAV"}, QDir::Files).value(0));
    const WaveContents w = readWave(path);
    ASSERT_GT(w.frames, 0) << path.toStdString();
    // The RIFF data chunk's own size, against what the file holds after it.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const qsizetype data = bytes.indexOf("data");
    ASSERT_GT(data, 0);
    const quint32 counted = qFromLittleEndian<quint32>(bytes.constData() + data + 4);
    EXPECT_EQ(qint64(counted), bytes.size() - (data + 8));
    EXPECT_EQ(qint64(counted), w.frames * 4);
}

// The demonstration station make run lays out, with a short lead and take:
// the console cues the receiver, records the programme from its first audio,
// hands it to both stores, and plays it when the Play contact closes.
TEST(DemonstrationStation, SwitchesRecordsHandsOffAndPlays) {
    std::signal(SIGPIPE, SIG_IGN);
    QTemporaryDir dir;
    SimReceiver sim;
    QProcess demo;
    demo.start(DEMO_STATION, {dir.path(), sim.device(), "14", "00:05"});
    ASSERT_TRUE(demo.waitForFinished(30000));
    ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    const QString at = QString::fromLatin1(demo.readAllStandardOutput()).trimmed();
    if (QTime::fromString(at, "HH:mm:ss") < QTime::currentTime().addSecs(-60))
        GTEST_SKIP() << "the programme would fall after midnight";

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VARNOLA_CONFIG", dir.filePath("varnola.conf"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", dir.path());
    console.setProcessEnvironment(env);
    console.start(VARNOLA_BINARY, {});
    ASSERT_TRUE(console.waitForStarted(10000));
    const auto files = [&](const QString& folder, const QString& pattern) {
        QDir d(dir.filePath(folder));
        const QStringList names = d.entryList({pattern}, QDir::Files);
        return names.isEmpty() ? QString() : d.filePath(names.first());
    };
    const auto waitUntil = [](const std::function<bool()>& ok, int ms) {
        QElapsedTimer t;
        t.start();
        while (!ok() && t.elapsed() < ms)
            QTest::qWait(50);
        return ok();
    };
    ASSERT_TRUE(
        waitUntil([&] { return !files("drives/P/programs", "SF8001*.wav").isEmpty(); }, 60000))
        << console.readAllStandardError().toStdString();
    EXPECT_TRUE(sim.commands().contains("SETAUDIO 1 S AA1 0  "));
    const WaveContents take = readWave(files("drives/C/satfile", "SF*.WAV"));
    EXPECT_EQ(take.frames, 5 * 44100);
    EXPECT_GT(readWave(files("drives/H/programs", "SF8001*.wav")).frames, 4 * 44100);

    QFile ports(dir.filePath("ports"));
    ASSERT_TRUE(ports.open(QIODevice::ReadWrite));
    ports.seek(889);
    ports.write(QByteArray(1, char(63))); // Play
    ports.flush();
    EXPECT_TRUE(
        waitUntil([&] { return QFileInfo(dir.filePath("play.pcm")).size() > 176400; }, 20000));
    sendSignal(console, SIGTERM);
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 0);
}

} // namespace
