#include "fakes/temp_station.h"
#include "station/log_files.h"
#include "station/station.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Monday 2 March 2026, 10:00:00.
const QDateTime Monday(QDate(2026, 3, 2), QTime(10, 0, 0));

class LogFilesTest : public ::testing::Test {
protected:
    using enum Setting;
    LogFilesTest() : t(Monday) {}
    void start(const SettingRecords& settings) {
        t.writeSettings(settings);
        t.startUp();
    }
    QString logsDir() const { return t.host("c:\\satfile\\logs"); }
    QString log(const QString& name) const { return logsDir() + "/" + name; }
    QByteArray read(const QString& name) const { return TempStation::readFile(log(name)); }
    void touchLog(const QString& name) { TempStation::writeFile(log(name), "x\r\n"); }

    TempStation t;
};

TEST_F(LogFilesTest, LogNamesCarryPrefixAndTwoDigitDate) {
    EXPECT_EQ(logFileStationPath("AL", QDate(2026, 3, 5)), "c:\\satfile\\logs\\AL260305.log");
    EXPECT_EQ(logFileStationPath("EB", QDate(2009, 12, 31)), "c:\\satfile\\logs\\EB091231.log");
}

TEST_F(LogFilesTest, LinesAreTimeTwoBlanksTextAndCrLfAppended) {
    start({{ActivityLogOn, 1}});
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(7, 5, 9)));
    EXPECT_TRUE(LogActivity(*t.station, "Cue    Morning Report"));
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(19, 0, 0)));
    EXPECT_TRUE(LogActivity(*t.station, "Stop   Morning Report"));
    EXPECT_TRUE(LogError(*t.station, "Gap of 10 seconds"));
    EXPECT_TRUE(LogEbNo(*t.station, "12.3"));
    EXPECT_EQ(read("AL260302.log"), "07:05:09  Cue    Morning Report\r\n"
                                    "19:00:00  Stop   Morning Report\r\n");
    EXPECT_EQ(read("ER260302.log"), "19:00:00  Gap of 10 seconds\r\n");
    EXPECT_EQ(read("EB260302.log"), "19:00:00  12.3\r\n");
}

TEST_F(LogFilesTest, SwitchOffSilencesActivityAndErrorButNotEbNo) {
    start({{ActivityLogOn, 0}});
    LogActivity(*t.station, "something");
    LogError(*t.station, "fault");
    LogEbNo(*t.station, "9.8");
    EXPECT_FALSE(QFile::exists(log("AL260302.log")));
    EXPECT_FALSE(QFile::exists(log("ER260302.log")));
    EXPECT_EQ(read("EB260302.log"), "10:00:00  9.8\r\n");
}

TEST_F(LogFilesTest, WriterReportsAFailedAppend) {
    start({{ActivityLogOn, 1}});
    QDir(logsDir()).removeRecursively();
    EXPECT_FALSE(LogActivity(*t.station, "lost"));
    EXPECT_FALSE(LogEbNo(*t.station, "lost"));
}

TEST_F(LogFilesTest, RetentionPeriodsStepBackOneUnit) {
    const QDate d(2026, 3, 31);
    EXPECT_EQ(onePeriodBefore(d, 1), QDate(2026, 3, 30));
    EXPECT_EQ(onePeriodBefore(d, 2), QDate(2026, 3, 24));
    EXPECT_EQ(onePeriodBefore(d, 3), QDate(2026, 2, 28));
    EXPECT_EQ(onePeriodBefore(QDate(2024, 2, 29), 4), QDate(2023, 2, 28));
    EXPECT_FALSE(onePeriodBefore(d, 0).has_value());
    EXPECT_FALSE(onePeriodBefore(d, 5).has_value());
}

// Only the logs dated exactly one period back go; the days either side stay.
TEST_F(LogFilesTest, PurgeDeletesTheLogsOfExactlyOnePeriodBack) {
    start({{ActivityLogOn, 1}, {ActivityLogKeep, 2}, {EbNoLogKeep, 3}});
    for (const char* name : {"AL260223.log", "ER260223.log", "AL260222.log", "AL260224.log",
                             "EB260202.log", "EB260201.log", "EB260223.log"})
        touchLog(name);
    PurgeOldFiles(*t.station);
    EXPECT_FALSE(QFile::exists(log("AL260223.log")));
    EXPECT_FALSE(QFile::exists(log("ER260223.log")));
    EXPECT_FALSE(QFile::exists(log("EB260202.log")));
    for (const char* kept : {"AL260222.log", "AL260224.log", "EB260201.log", "EB260223.log"})
        EXPECT_TRUE(QFile::exists(log(kept))) << kept;
    EXPECT_EQ(read("AL260302.log"), "10:00:00  Deleted 02-23-2026 Activity Log\r\n"
                                    "10:00:00  Deleted 02-23-2026 Error Log\r\n"
                                    "10:00:00  Deleted 02-02-2026 EbNo Log\r\n");
    EXPECT_EQ(t.station->state.LogPurgeLatch, 1);
}

TEST_F(LogFilesTest, PurgeFindsLogsWhateverTheirCase) {
    start({{ActivityLogOn, 0}, {ActivityLogKeep, 1}, {EbNoLogKeep, 1}});
    touchLog("al260301.LOG");
    touchLog("Eb260301.Log");
    PurgeOldFiles(*t.station);
    EXPECT_FALSE(QFile::exists(log("al260301.LOG")));
    EXPECT_FALSE(QFile::exists(log("Eb260301.Log")));
    // With the switch off the purge still deletes, and writes nothing.
    EXPECT_FALSE(QFile::exists(log("AL260302.log")));
}

TEST_F(LogFilesTest, PurgeDeletesTheRecordingsOfTheWeekdayKeepDaysBack) {
    // Drive C (3), seven days: on a Monday, Monday's recordings go.
    start({{ActivityLogOn, 1}, {WaveKeepDays, 7}, {WaveDriveNo, 3}});
    const QString store = t.host("c:\\satfile");
    for (const char* name : {"SFMON001.WAV", "SFMON001.DAT", "sfmon017.wav", "SfMon999.Dat",
                             "SFSUN001.WAV", "SFTUE001.WAV"})
        TempStation::writeFile(store + "/" + name, "data");
    PurgeOldFiles(*t.station);
    EXPECT_EQ(QDir(store).entryList({"SF*"}, QDir::Files, QDir::Name),
              (QStringList{"SFSUN001.WAV", "SFTUE001.WAV"}));
    EXPECT_EQ(read("AL260302.log"), "10:00:00  Deleted Monday Sound Files\r\n");
}

TEST_F(LogFilesTest, PurgeOfOneKeepDayTakesYesterdaysWeekdayOnTheWaveDrive) {
    start({{ActivityLogOn, 1}, {WaveKeepDays, 1}, {WaveDriveNo, 4}}); // drive D
    TempStation::writeFile(t.drive('D') + "/satfile/SFSUN002.wav", "x");
    TempStation::writeFile(t.drive('C') + "/satfile/SFSUN002.wav", "x");
    PurgeOldFiles(*t.station);
    EXPECT_FALSE(QFile::exists(t.drive('D') + "/satfile/SFSUN002.wav"));
    EXPECT_TRUE(QFile::exists(t.drive('C') + "/satfile/SFSUN002.wav"));
}

// With no keep days or no periods chosen (a new station), the purge must not
// take today's recordings or fail: it deletes nothing and still sets its latch.
TEST_F(LogFilesTest, UnsetRetentionDeletesNothing) {
    start({{ActivityLogOn, 1}, {WaveDriveNo, 3}});
    const QString store = t.host("c:\\satfile");
    TempStation::writeFile(store + "/SFMON001.WAV", "today's recording");
    touchLog("AL260301.log");
    PurgeOldFiles(*t.station);
    EXPECT_TRUE(QFile::exists(store + "/SFMON001.WAV"));
    EXPECT_TRUE(QFile::exists(log("AL260301.log")));
    EXPECT_FALSE(QFile::exists(log("AL260302.log")));
    EXPECT_EQ(t.station->state.LogPurgeLatch, 1);
}

TEST_F(LogFilesTest, KeepDaysBeyondAWeekOrNoDriveLeaveRecordingsAlone) {
    start({{ActivityLogOn, 1}, {WaveKeepDays, 8}, {WaveDriveNo, 3}});
    const QString store = t.host("c:\\satfile");
    TempStation::writeFile(store + "/SFSUN001.WAV", "yesterday");
    PurgeOldFiles(*t.station);
    EXPECT_TRUE(QFile::exists(store + "/SFSUN001.WAV"));

    TempStation noDrive(Monday);
    noDrive.writeSettings({{WaveKeepDays, 1}});
    noDrive.startUp();
    PurgeOldFiles(*noDrive.station);
    EXPECT_EQ(noDrive.station->state.LogPurgeLatch, 1);
}

} // namespace
