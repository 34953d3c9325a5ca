#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

void writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

class DrivePathsTest : public ::testing::Test {
protected:
    DrivePathsTest() {
        config.drivesRoot = dir.filePath("drives");
        config.drives.insert('H', dir.filePath("playout"));
        QDir().mkpath(config.drivesRoot + "/C");
    }
    QTemporaryDir dir;
    StationConfig config;
};

TEST(StationConfigTest, MissingFileGivesDefaults) {
    QTemporaryDir dir;
    const StationConfig c = StationConfig::fromFile(dir.filePath("none.conf"));
    EXPECT_EQ(c.serialPorts[0], "/dev/ttyS0");
    EXPECT_EQ(c.serialPorts[3], "/dev/ttyS3");
    EXPECT_EQ(c.ioPortsFile, "/dev/port");
    EXPECT_EQ(c.audioBackend, "qt");
    EXPECT_TRUE(c.drives.isEmpty());
    EXPECT_TRUE(c.drivesRoot.endsWith("/varnola/drives"));
}

TEST(StationConfigTest, ReadsEverySectionAndTheEnvironmentVariable) {
    QTemporaryDir dir;
    const QString path = dir.filePath("station.conf");
    writeText(path, "[drives]\nC=/srv/station/c\nh=/mnt/playout\n"
                    "[serial]\nCOM1=/dev/ttyUSB0\nCOM3=/tmp/pty3\n"
                    "[io]\nports=/tmp/ports\n"
                    "[audio]\nbackend=simulated\ninput1=/tmp/in1\ninput2=/tmp/in2\n"
                    "output1=/tmp/out1\noutput2=/tmp/out2\n");
    qputenv("VARNOLA_CONFIG", path.toLocal8Bit());
    const StationConfig c = StationConfig::fromEnvironment();
    qunsetenv("VARNOLA_CONFIG");
    EXPECT_EQ(c.configPath, path);
    EXPECT_EQ(c.drives.value('C'), "/srv/station/c");
    EXPECT_EQ(c.drives.value('H'), "/mnt/playout");
    EXPECT_EQ(c.serialPorts[0], "/dev/ttyUSB0");
    EXPECT_EQ(c.serialPorts[1], "/dev/ttyS1");
    EXPECT_EQ(c.serialPorts[2], "/tmp/pty3");
    EXPECT_EQ(c.ioPortsFile, "/tmp/ports");
    EXPECT_EQ(c.audioBackend, "simulated");
    EXPECT_EQ(c.audioInputs[1], "/tmp/in2");
    EXPECT_EQ(c.audioOutputs[0], "/tmp/out1");
}

TEST_F(DrivePathsTest, DriveLettersMapToConfiguredOrDefaultFolders) {
    const DrivePaths paths(config);
    EXPECT_EQ(paths.driveFolder('h'), QDir::cleanPath(dir.filePath("playout")));
    EXPECT_EQ(paths.driveFolder('C'), QDir::cleanPath(config.drivesRoot + "/C"));
    EXPECT_EQ(paths.resolve("H:\\programs\\Program.dat"),
              QDir::cleanPath(dir.filePath("playout")) + "/programs/Program.dat");
}

// The station's file system ignores case: whatever spelling exists is used,
// so two spellings never make two folders.
TEST_F(DrivePathsTest, ExistingComponentsAreMatchedWithoutRegardToCase) {
    const DrivePaths paths(config);
    QDir().mkpath(config.drivesRoot + "/C/SATFILE/Logs");
    touch(config.drivesRoot + "/C/SATFILE/satlist.DAT");
    EXPECT_EQ(paths.resolve("c:\\satfile\\SatList.dat"),
              config.drivesRoot + "/C/SATFILE/satlist.DAT");
    EXPECT_EQ(paths.resolve("C:\\Satfile\\LOGS\\AL260305.log"),
              config.drivesRoot + "/C/SATFILE/Logs/AL260305.log");
    EXPECT_EQ(paths.resolve("c:/satfile/new folder/x.wav"),
              config.drivesRoot + "/C/SATFILE/new folder/x.wav");
}

TEST_F(DrivePathsTest, MissingComponentsKeepTheSpellingGiven) {
    const DrivePaths paths(config);
    EXPECT_EQ(paths.resolve("c:\\Satfile\\Logs"), config.drivesRoot + "/C/Satfile/Logs");
    EXPECT_EQ(paths.resolve("Q:\\Shows\\a.wav"), config.drivesRoot + "/Q/Shows/a.wav");
}

TEST_F(DrivePathsTest, OfferedDrivesAreConfiguredAndFoundLettersWithoutFloppies) {
    QDir().mkpath(config.drivesRoot + "/a");
    QDir().mkpath(config.drivesRoot + "/B");
    QDir().mkpath(config.drivesRoot + "/d");
    QDir().mkpath(config.drivesRoot + "/not-a-drive");
    config.drives.insert('A', dir.filePath("floppy"));
    const DrivePaths paths(config);
    EXPECT_EQ(paths.availableDrives(), (QStringList{"C", "D", "H"}));
}

TEST(WildcardTest, MatchesAsTheStationsFileSystemDoes) {
    using files::wildcardMatch;
    EXPECT_TRUE(wildcardMatch("AL260305.log", "AL*.*"));
    EXPECT_TRUE(wildcardMatch("al260305.LOG", "AL*.*"));
    EXPECT_TRUE(wildcardMatch("ALNOEXT", "AL*.*"));
    EXPECT_FALSE(wildcardMatch("ER260305.log", "AL*.*"));
    EXPECT_TRUE(wildcardMatch("sfmon005.wav", "SFMON*.*"));
    EXPECT_TRUE(wildcardMatch("SFMON005.DAT", "SFMON*.*"));
    EXPECT_FALSE(wildcardMatch("SFTUE005.WAV", "SFMON*.*"));
    EXPECT_FALSE(wildcardMatch("XSFMON005.WAV", "SFMON*.*"));
    EXPECT_TRUE(wildcardMatch("a.b.c", "*.*"));
    EXPECT_TRUE(wildcardMatch("SF1", "SF?"));
    EXPECT_FALSE(wildcardMatch("SF12", "SF?"));
}

TEST_F(DrivePathsTest, ListAndDeleteByPatternIgnoreCaseAndLeaveOthers) {
    const DrivePaths paths(config);
    const QString folder = config.drivesRoot + "/C/SatFile";
    for (const char* name : {"SFMON001.WAV", "sfmon001.dat", "SfMon999.wav", "SFTUE001.WAV"})
        touch(folder + "/" + name);
    QDir().mkpath(folder + "/SFMONDIR");
    EXPECT_EQ(files::listFiles(paths, "c:\\satfile\\SFMON*.*"),
              (QStringList{"sfmon001.dat", "SFMON001.WAV", "SfMon999.wav"}));
    EXPECT_EQ(files::deleteFiles(paths, "C:\\SATFILE\\sfmon*.*"), 3);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"SFMONDIR", "SFTUE001.WAV"}));
    EXPECT_EQ(files::deleteFiles(paths, "c:\\nowhere\\*.*"), 0);
}

TEST_F(DrivePathsTest, FolderQueriesAndCreation) {
    const DrivePaths paths(config);
    EXPECT_FALSE(files::folderExists(paths, "c:\\satfile"));
    QString error;
    EXPECT_TRUE(files::createFolder(paths, "c:\\Satfile\\Logs", &error));
    EXPECT_TRUE(files::folderExists(paths, "C:\\SATFILE\\logs"));
    touch(config.drivesRoot + "/C/Satfile/SatList.dat");
    EXPECT_TRUE(files::fileExists(paths, "c:\\satfile\\satlist.dat"));
    EXPECT_FALSE(files::fileExists(paths, "c:\\satfile\\logs"));
    // A file standing where a folder should be cannot become one.
    EXPECT_FALSE(files::createFolder(paths, "c:\\satfile\\satlist.dat\\x", &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
