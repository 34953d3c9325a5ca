#include "fakes/temp_station.h"
#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "platform/record_file.h"
#include "platform/serial_port.h"
#include "platform/station_config.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

const auto contents = TempStation::readFile;

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

// Others see writes at once, without a close or a flush. A write past the end
// leaves a gap of zeros (a settings record beyond the reserved ones); a
// partial last record (a file cut short) is none.
TEST_F(PlatformTest, RecordFileKeepsFixedRecordsAtTheirOffsetsAndLocks) {
    RecordFile f, second, missing, cut;
    QString error;
    ASSERT_TRUE(f.open(path, 4, &error)) << error.toStdString();
    EXPECT_EQ(f.recordCount(), 0);
    EXPECT_FALSE(f.read(1).has_value());
    ASSERT_TRUE(f.write(1, "abcd") && f.write(2, "xy") && f.write(3, "123456") &&
                f.write(2, "efgh")); // padded, cut, replaced in place
    EXPECT_EQ(contents(path), QByteArray("abcdefgh1234"));
    EXPECT_EQ(f.read(2).value(), QByteArray("efgh"));
    EXPECT_EQ(f.recordCount(), 3);
    EXPECT_FALSE(f.read(4).has_value() || f.read(0).has_value());
    ASSERT_TRUE(f.write(5, "\x05xyz"));
    EXPECT_EQ(contents(path), QByteArray("abcdefgh1234\0\0\0\0\x05xyz", 20));
    EXPECT_EQ(f.read(4).value(), QByteArray(4, '\0'));
    ASSERT_TRUE(QFile::resize(path, 18));
    ASSERT_TRUE(cut.open(path, 4, nullptr));
    EXPECT_EQ(cut.recordCount(), 4);
    EXPECT_FALSE(cut.read(5).has_value());
    ASSERT_TRUE(second.open(path, 1, nullptr));
    EXPECT_TRUE(f.tryLockExclusive());
    EXPECT_FALSE(second.tryLockExclusive());
    f.close();
    EXPECT_TRUE(second.tryLockExclusive());
    EXPECT_FALSE(missing.open(dir.filePath("missing/folder/file.dat"), 4, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(PlatformTest, StationConfigReadsEverySectionFromTheEnvironmentVariable) {
    const QString conf = dir.filePath("station.conf");
    TempStation::writeFile(
        conf, "[drives]\nC=/srv/station/c\nh=/mnt/playout\n"
              "[serial]\nCOM1=/dev/ttyUSB0\nCOM3=/tmp/pty3\n[io]\nports=/tmp/ports\n"
              "[audio]\nbackend=simulated\ninput1=/tmp/in1\ninput2=/tmp/in2\n"
              "output1=/tmp/out1\noutput2=/tmp/out2\n[monitoring]\ntextfile=/tmp/m.prom\n");
    qputenv("VARNOLA_CONFIG", conf.toLocal8Bit());
    const StationConfig c = StationConfig::fromEnvironment();
    qunsetenv("VARNOLA_CONFIG");
    EXPECT_EQ((QStringList{c.configPath, c.drives.value('C'), c.drives.value('H'), c.serialPorts[0],
                           c.serialPorts[1], c.serialPorts[2], c.ioPortsFile, c.audioBackend,
                           c.audioInputs[1], c.audioOutputs[0], c.monitoringTextfile}),
              (QStringList{conf, "/srv/station/c", "/mnt/playout", "/dev/ttyUSB0", "/dev/ttyS1",
                           "/tmp/pty3", "/tmp/ports", "simulated", "/tmp/in2", "/tmp/out1",
                           "/tmp/m.prom"}));
}

// Whatever spelling exists is used (a data folder and a help file of another
// spelling are the start-up's and the help window's tests); missing parts
// keep the spelling given. Floppies are never offered.
TEST_F(PlatformTest, StationPathsResolveThroughDrivesWithoutRegardToCase) {
    const DrivePaths paths(config);
    QDir().mkpath(config.drivesRoot + "/C/SATFILE/Logs");
    const QString c = config.drivesRoot + "/C/";
    const std::pair<const char*, QString> rows[] = {
        {"H:\\programs\\Program.dat",
         QDir::cleanPath(dir.filePath("playout")) + "/programs/Program.dat"},
        {"c:/satfile/new folder/x.wav", c + "SATFILE/new folder/x.wav"},
        {"c:\\Other\\Logs", c + "Other/Logs"},
        {"Q:\\Shows\\a.wav", config.drivesRoot + "/Q/Shows/a.wav"},
    };
    for (const auto& [stationPath, host] : rows)
        EXPECT_EQ(paths.resolve(stationPath), host) << stationPath;
    EXPECT_EQ(paths.driveFolder('h'), QDir::cleanPath(dir.filePath("playout")));
    for (const char* folder : {"a", "B", "d", "not-a-drive"})
        QDir().mkpath(config.drivesRoot + "/" + folder);
    config.drives.insert('A', dir.filePath("floppy"));
    EXPECT_EQ(DrivePaths(config).availableDrives(), (QStringList{"C", "D", "H"}));
}

TEST(WildcardTest, MatchesAsTheStationsFileSystemDoes) {
    // A name and a prefix are the file listing's test.
    const std::tuple<const char*, const char*, bool> rows[] = {{"ALNOEXT", "AL*.*", true},
                                                               {"XSFMON005.WAV", "SFMON*.*", false},
                                                               {"a.b.c", "*.*", true},
                                                               {"SF1", "SF?", true},
                                                               {"SF12", "SF?", false}};
    for (const auto& [name, pattern, match] : rows)
        EXPECT_EQ(files::wildcardMatch(name, pattern), match) << name << " " << pattern;
}

// Lists and deletes by pattern whatever the case, leaving folders and other
// names; a file standing where a folder should be cannot become one.
TEST_F(PlatformTest, FilesAndFoldersByStationPath) {
    const DrivePaths paths(config);
    EXPECT_FALSE(files::folderExists(paths, "c:\\satfile"));
    QString error;
    EXPECT_TRUE(files::createFolder(paths, "c:\\SatFile\\Logs", &error));
    EXPECT_TRUE(files::folderExists(paths, "C:\\SATFILE\\logs"));
    const QString folder = config.drivesRoot + "/C/SatFile";
    for (const char* name : {"SFMON001.WAV", "sfmon001.dat", "SfMon999.wav", "SFTUE001.WAV"})
        TempStation::writeFile(folder + "/" + name, {});
    QDir().mkpath(folder + "/SFMONDIR");
    EXPECT_TRUE(files::fileExists(paths, "c:\\satfile\\sftue001.wav"));
    EXPECT_FALSE(files::fileExists(paths, "c:\\satfile\\logs"));
    EXPECT_FALSE(files::createFolder(paths, "c:\\satfile\\sftue001.wav\\x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(files::listFiles(paths, "c:\\satfile\\SFMON*.*"),
              (QStringList{"sfmon001.dat", "SFMON001.WAV", "SfMon999.wav"}));
    EXPECT_EQ(files::deleteFiles(paths, "C:\\SATFILE\\sfmon*.*"), 3);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"Logs", "SFMONDIR", "SFTUE001.WAV"}));
    EXPECT_EQ(files::deleteFiles(paths, "c:\\nowhere\\*.*"), 0);
}

// On a pseudo-terminal: trailing blanks and carriage returns pass too, and a
// refusal carries the system's own number and text.
TEST(SerialPortTest, SettingsReachTheLineBytesPassUnchangedAndAHeldLineIsRefused) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const auto closeMaster = qScopeGuard([&] { ::close(master); });
    const QString line = QString::fromLocal8Bit(::ptsname(master));
    auto port = makeQtSerialPort(), other = makeQtSerialPort();
    int number = 0;
    QString description;
    ASSERT_TRUE(port->open(line, "19200,N,8,1", &number, &description))
        << description.toStdString();
    termios tio{};
    ASSERT_EQ(tcgetattr(master, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));

    QByteArray sent, heard;
    const QByteArray command = "SETAUDIO 1 S AA1 0 \r", answer = "Eb/No  9.8 dB\r\n>";
    port->setReadyRead([&] { heard += port->readAll(); });
    ASSERT_TRUE(port->write(command));
    EXPECT_TRUE(waitUntil([&] {
        char bytes[64];
        sent += QByteArray(bytes, std::max<qsizetype>(0, ::read(master, bytes, sizeof bytes)));
        return sent.size() >= command.size();
    }));
    EXPECT_EQ(sent, command);
    ASSERT_EQ(::write(master, answer.constData(), size_t(answer.size())), answer.size());
    EXPECT_TRUE(waitUntil([&] { return heard == answer; })) << heard.toStdString();

    for (const QString& refused : {line, line + "-gone"}) {
        number = 0;
        EXPECT_FALSE(other->open(refused, "19200,N,8,1", &number, &description));
        EXPECT_TRUE(number > 0 && !description.isEmpty()) << refused.toStdString();
    }
    port->close();
    EXPECT_TRUE(other->open(line, "19200,N,8,1", &number, &description))
        << description.toStdString();
}

} // namespace
