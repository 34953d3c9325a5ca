#include "fakes/virtual_time.h"
#include "platform/audio.h"
#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "platform/record_file.h"
#include "platform/station_config.h"
#include "support/test.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes = {}) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// A temporary folder with the drives under it: H configured, C found there.
class PlatformTest : public ::testing::Test {
protected:
    PlatformTest() {
        config.drivesRoot = dir.filePath("drives");
        config.drives.insert('H', dir.filePath("playout"));
        QDir().mkpath(config.drivesRoot + "/C");
    }
    QTemporaryDir dir;
    QString path = dir.filePath("data.dat");
    StationConfig config;
};

TEST_F(PlatformTest, RecordFileKeepsFixedRecordsAtTheirOffsets) {
    RecordFile f;
    QString error;
    ASSERT_TRUE(f.open(path, 4, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(f.recordCount(), 0);
    EXPECT_FALSE(f.read(1).has_value());
    ASSERT_TRUE(f.write(1, "abcd"));
    ASSERT_TRUE(f.write(2, "xy"));     // padded with blanks
    ASSERT_TRUE(f.write(3, "123456")); // cut
    ASSERT_TRUE(f.write(2, "efgh"));   // replaced in place
    // Another reader sees the writes at once, without a close or a flush.
    EXPECT_EQ(contents(path), QByteArray("abcdefgh1234"));
    EXPECT_EQ(f.read(2).value(), QByteArray("efgh"));
    EXPECT_EQ(f.recordCount(), 3);
    EXPECT_FALSE(f.read(4).has_value());
    EXPECT_FALSE(f.read(0).has_value());
}

// A write well past the end leaves a gap that reads back as zero bytes, as a
// settings record beyond the reserved ones does; a partial record at the end
// (a file cut short) is not a record.
TEST_F(PlatformTest, RecordFileGapsReadAsZerosAndACutRecordIsNone) {
    RecordFile f;
    ASSERT_TRUE(f.open(path, 2, nullptr));
    ASSERT_TRUE(f.write(1, QByteArray("\x01\x00", 2)));
    ASSERT_TRUE(f.write(4, QByteArray("\x04\x00", 2)));
    EXPECT_EQ(contents(path), QByteArray("\x01\x00\x00\x00\x00\x00\x04\x00", 8));
    EXPECT_EQ(f.read(3).value(), QByteArray(2, '\0'));
    f.close();
    writeFile(path, "abcdef");
    RecordFile cut;
    ASSERT_TRUE(cut.open(path, 4, nullptr));
    EXPECT_EQ(cut.recordCount(), 1);
    EXPECT_TRUE(cut.read(1).has_value());
    EXPECT_FALSE(cut.read(2).has_value());
}

TEST_F(PlatformTest, RecordFileLockAndOpenFailure) {
    RecordFile first, second, missing;
    ASSERT_TRUE(first.open(path, 1, nullptr));
    ASSERT_TRUE(second.open(path, 1, nullptr));
    EXPECT_TRUE(first.tryLockExclusive());
    EXPECT_FALSE(second.tryLockExclusive());
    first.close();
    EXPECT_TRUE(second.tryLockExclusive());
    QString error;
    EXPECT_FALSE(missing.open(dir.filePath("missing/folder/file.dat"), 4, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(missing.write(1, "x", &error));
}

TEST_F(PlatformTest, StationConfigDefaultsAndEverySectionWithTheEnvironmentVariable) {
    const StationConfig d = StationConfig::fromFile(dir.filePath("none.conf"));
    EXPECT_EQ((QStringList{d.serialPorts[0], d.serialPorts[3], d.ioPortsFile, d.audioBackend}),
              (QStringList{"/dev/ttyS0", "/dev/ttyS3", "/dev/port", "qt"}));
    EXPECT_TRUE(d.drives.isEmpty());
    EXPECT_TRUE(d.drivesRoot.endsWith("/varnola/drives"));
    const QString conf = dir.filePath("station.conf");
    writeFile(conf, "[drives]\nC=/srv/station/c\nh=/mnt/playout\n"
                    "[serial]\nCOM1=/dev/ttyUSB0\nCOM3=/tmp/pty3\n"
                    "[io]\nports=/tmp/ports\n"
                    "[audio]\nbackend=simulated\ninput1=/tmp/in1\ninput2=/tmp/in2\n"
                    "output1=/tmp/out1\noutput2=/tmp/out2\n");
    qputenv("VARNOLA_CONFIG", conf.toLocal8Bit());
    const StationConfig c = StationConfig::fromEnvironment();
    qunsetenv("VARNOLA_CONFIG");
    EXPECT_EQ((QStringList{c.configPath, c.drives.value('C'), c.drives.value('H'), c.serialPorts[0],
                           c.serialPorts[1], c.serialPorts[2], c.ioPortsFile, c.audioBackend,
                           c.audioInputs[1], c.audioOutputs[0]}),
              (QStringList{conf, "/srv/station/c", "/mnt/playout", "/dev/ttyUSB0", "/dev/ttyS1",
                           "/tmp/pty3", "/tmp/ports", "simulated", "/tmp/in2", "/tmp/out1"}));
}

// The station's file system ignores case: whatever spelling exists is used,
// so two spellings never make two folders; missing parts keep the spelling
// given.
TEST_F(PlatformTest, StationPathsResolveThroughDrivesWithoutRegardToCase) {
    const DrivePaths paths(config);
    QDir().mkpath(config.drivesRoot + "/C/SATFILE/Logs");
    writeFile(config.drivesRoot + "/C/SATFILE/satlist.DAT");
    const QString c = config.drivesRoot + "/C/";
    const std::pair<const char*, QString> rows[] = {
        {"H:\\programs\\Program.dat",
         QDir::cleanPath(dir.filePath("playout")) + "/programs/Program.dat"},
        {"c:\\satfile\\SatList.dat", c + "SATFILE/satlist.DAT"},
        {"C:\\Satfile\\LOGS\\AL260305.log", c + "SATFILE/Logs/AL260305.log"},
        {"c:/satfile/new folder/x.wav", c + "SATFILE/new folder/x.wav"},
        {"c:\\Other\\Logs", c + "Other/Logs"},
        {"Q:\\Shows\\a.wav", config.drivesRoot + "/Q/Shows/a.wav"},
    };
    for (const auto& [stationPath, host] : rows)
        EXPECT_EQ(paths.resolve(stationPath), host) << stationPath;
    EXPECT_EQ(paths.driveFolder('h'), QDir::cleanPath(dir.filePath("playout")));
    EXPECT_EQ(paths.driveFolder('C'), QDir::cleanPath(config.drivesRoot + "/C"));
}

TEST_F(PlatformTest, OfferedDrivesAreConfiguredAndFoundLettersWithoutFloppies) {
    for (const char* folder : {"a", "B", "d", "not-a-drive"})
        QDir().mkpath(config.drivesRoot + "/" + folder);
    config.drives.insert('A', dir.filePath("floppy"));
    EXPECT_EQ(DrivePaths(config).availableDrives(), (QStringList{"C", "D", "H"}));
}

TEST(WildcardTest, MatchesAsTheStationsFileSystemDoes) {
    const std::tuple<const char*, const char*, bool> rows[] = {{"AL260305.log", "AL*.*", true},
                                                               {"al260305.LOG", "AL*.*", true},
                                                               {"ALNOEXT", "AL*.*", true},
                                                               {"ER260305.log", "AL*.*", false},
                                                               {"sfmon005.wav", "SFMON*.*", true},
                                                               {"SFMON005.DAT", "SFMON*.*", true},
                                                               {"SFTUE005.WAV", "SFMON*.*", false},
                                                               {"XSFMON005.WAV", "SFMON*.*", false},
                                                               {"a.b.c", "*.*", true},
                                                               {"SF1", "SF?", true},
                                                               {"SF12", "SF?", false}};
    for (const auto& [name, pattern, match] : rows)
        EXPECT_EQ(files::wildcardMatch(name, pattern), match) << name << " " << pattern;
}

TEST_F(PlatformTest, ListAndDeleteByPatternIgnoreCaseAndLeaveOthers) {
    const DrivePaths paths(config);
    const QString folder = config.drivesRoot + "/C/SatFile";
    for (const char* name : {"SFMON001.WAV", "sfmon001.dat", "SfMon999.wav", "SFTUE001.WAV"})
        writeFile(folder + "/" + name);
    QDir().mkpath(folder + "/SFMONDIR");
    EXPECT_EQ(files::listFiles(paths, "c:\\satfile\\SFMON*.*"),
              (QStringList{"sfmon001.dat", "SFMON001.WAV", "SfMon999.wav"}));
    EXPECT_EQ(files::deleteFiles(paths, "C:\\SATFILE\\sfmon*.*"), 3);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"SFMONDIR", "SFTUE001.WAV"}));
    EXPECT_EQ(files::deleteFiles(paths, "c:\\nowhere\\*.*"), 0);
}

TEST_F(PlatformTest, FolderQueriesAndCreation) {
    const DrivePaths paths(config);
    EXPECT_FALSE(files::folderExists(paths, "c:\\satfile"));
    QString error;
    EXPECT_TRUE(files::createFolder(paths, "c:\\Satfile\\Logs", &error));
    EXPECT_TRUE(files::folderExists(paths, "C:\\SATFILE\\logs"));
    writeFile(config.drivesRoot + "/C/Satfile/SatList.dat");
    EXPECT_TRUE(files::fileExists(paths, "c:\\satfile\\satlist.dat"));
    EXPECT_FALSE(files::fileExists(paths, "c:\\satfile\\logs"));
    // A file standing where a folder should be cannot become one.
    EXPECT_FALSE(files::createFolder(paths, "c:\\satfile\\satlist.dat\\x", &error));
    EXPECT_FALSE(error.isEmpty());
}

// The week-long tick tests rely on the fake firing each timer at its own
// moment, in order, with the clock showing that moment.
TEST(VirtualTimeTest, TimersFireInOrderAtTheirDueTimes) {
    VirtualTime time(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 59)));
    auto fast = time.create(50);
    auto slow = time.create(1000);
    std::vector<QString> fired;
    fast->setHandler([&] { fired.push_back("fast " + time.now().toString("HH:mm:ss.zzz")); });
    slow->setHandler([&] {
        fired.push_back("slow " + time.now().toString("HH:mm:ss.zzz"));
        slow->setEnabled(false);
    });
    fast->setEnabled(true);
    slow->setEnabled(true);
    time.advance(1050);
    ASSERT_EQ(fired.size(), 22u);
    EXPECT_EQ(fired.front(), "fast 23:59:59.050");
    // At equal moments the timer waiting longest goes first.
    EXPECT_EQ(fired[19], "slow 00:00:00.000");
    EXPECT_EQ(fired[20], "fast 00:00:00.000");
    EXPECT_EQ(fired.back(), "fast 00:00:00.050");
    EXPECT_FALSE(slow->isEnabled());
    EXPECT_EQ(time.now().date(), QDate(2026, 3, 3));
    // Enabling an enabled timer does not restart it.
    int count = 0;
    fast->setHandler([&] { ++count; });
    time.advance(30);
    fast->setEnabled(true);
    time.advance(20);
    EXPECT_EQ(count, 1);
}

// Stereo frames: left = i, right = -i.
QByteArray ramp(int frames) {
    QByteArray b(frames * 4, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < frames; ++i) {
        qToLittleEndian<qint16>(qint16(i), p + 4 * i);
        qToLittleEndian<qint16>(qint16(-i), p + 4 * i + 2);
    }
    return b;
}

// The simulated input 1 reads the given file; what it hears is collected.
class SimulatedAudioTest : public PlatformTest {
protected:
    std::unique_ptr<AudioInput> start(int device, const QString& source, int channels) {
        config.audioBackend = "simulated";
        config.audioInputs[0] = source;
        devices = makeAudioDevices(config);
        auto in = devices->createInput(device);
        in->setBufferHandler([this](const QByteArray& b, int ch) {
            buffers << b;
            this->channels = ch;
        });
        EXPECT_EQ(in->start(channels, &error), device < 2) << error.toStdString();
        return in;
    }
    bool heard(int count) {
        return waitUntil([&] { return buffers.size() >= count; });
    }

    std::unique_ptr<AudioDevices> devices;
    QByteArrayList buffers;
    int channels = 0;
    QString error;
};

TEST_F(SimulatedAudioTest, FileIsReplayedInRealTimeThenSilence) {
    writeFile(path, ramp(1024 + 100)); // one buffer and a bit
    QElapsedTimer t;
    t.start();
    auto in = start(0, path, 2);
    ASSERT_TRUE(heard(3));
    // Three buffers of 1024 frames take about 70 ms of real time.
    EXPECT_GE(t.elapsed(), 50);
    in->stop();
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(buffers[0], ramp(1024));
    EXPECT_EQ(buffers[1].left(400), ramp(1124).mid(4096, 400));
    EXPECT_EQ(buffers[1].mid(400), QByteArray(4096 - 400, '\0'));
    EXPECT_EQ(buffers[2], QByteArray(4096, '\0'));
    EXPECT_EQ(bufferPeaks(buffers[0], 2).left, 1023);
    EXPECT_EQ(bufferPeaks(buffers[0], 2).right, -1023);
}

TEST_F(SimulatedAudioTest, MonoMixesBothSidesIntoTwiceTheFrames) {
    writeFile(path, ramp(2048));
    auto in = start(0, path, 1);
    ASSERT_TRUE(heard(1));
    in->stop();
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(buffers[0], QByteArray(4096, '\0')); // (i + -i) / 2
}

TEST_F(SimulatedAudioTest, FifoDeliversWhatItsWriterSends) {
    const QString fifo = dir.filePath("in.fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    auto in = start(0, fifo, 2);
    const int fd = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const QByteArray data = ramp(2048);
    ASSERT_EQ(::write(fd, data.constData(), size_t(data.size())), data.size());
    ASSERT_TRUE(heard(2));
    EXPECT_EQ(buffers[0] + buffers[1], data);
    ::close(fd);
    in->stop();
}

// Only two inputs exist; one with no source configured hears silence.
TEST_F(SimulatedAudioTest, OnlyTwoInputDevicesExist) {
    auto none = start(2, {}, 2);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(devices->inputNames().size(), 2);
    auto quiet = start(0, {}, 2);
    ASSERT_TRUE(heard(1));
    EXPECT_EQ(buffers[0], QByteArray(4096, '\0'));
}

} // namespace
