#include "fakes/temp_station.h"
#include "logs/log_viewer.h"
#include "station/log_files.h"
#include "support/test.h"

namespace {

using enum Setting;

// Station paths under c:\satfile unless they name a drive.
QString stationPath(const QString& name) {
    return name.contains(':') ? name : "c:\\satfile\\" + name;
}

// The station starts on Monday 2 March 2026 at 10:00:00.
class LogsTest : public ::testing::Test {
protected:
    void start(const SettingRecords& settings) {
        t.writeSettings(settings);
        t.startUp();
    }
    QByteArray read(const QString& name) const {
        return TempStation::readFile(t.host("c:\\satfile\\logs\\" + name));
    }
    void write(const QString& name, const QByteArray& text = "x\r\n") {
        TempStation::writeFile(t.host(stationPath(name)), text);
    }
    TempStation t;
};

TEST_F(LogsTest, NamesLinesPurgeAndViewer) {
    EXPECT_EQ(logFileStationPath("AL", QDate(2026, 3, 5)), "c:\\satfile\\logs\\AL260305.log");
    EXPECT_EQ(logFileStationPath("EB", QDate(2009, 12, 31)), "c:\\satfile\\logs\\EB091231.log");
    const QDate d(2026, 3, 31);
    const std::vector<std::tuple<QDate, int, std::optional<QDate>>> periods = {
        {d, 1, QDate(2026, 3, 30)}, {d, 2, QDate(2026, 3, 24)},
        {d, 3, QDate(2026, 2, 28)}, {QDate(2024, 2, 29), 4, QDate(2023, 2, 28)},
        {d, 0, std::nullopt},       {d, 5, std::nullopt}};
    for (const auto& [day, period, before] : periods)
        EXPECT_EQ(onePeriodBefore(day, period), before) << period;
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
    // The switch silences activity and errors, not Eb/No.
    t.station->state.ActivityLogOn = 0;
    LogActivity(*t.station, "something");
    LogError(*t.station, "fault");
    LogEbNo(*t.station, "9.8");
    EXPECT_EQ(read("AL260302.log") + read("ER260302.log") + read("EB260302.log"),
              "07:05:09  Cue    Morning Report\r\n19:00:00  Stop   Morning Report\r\n"
              "19:00:00  Gap of 10 seconds\r\n19:00:00  12.3\r\n19:00:00  9.8\r\n");
    t.station->state.ActivityLogOn = 1;
    QDir(t.host("c:\\satfile\\logs")).removeRecursively();
    EXPECT_FALSE(LogActivity(*t.station, "lost"));
    EXPECT_FALSE(LogEbNo(*t.station, "lost"));
    // Only the logs dated exactly one period back go, whatever the case of their
    // names, and the recordings of the weekday keep days back on the wave drive.
    // Unset periods or keep days (a new station), more than a week or no wave
    // drive delete nothing, and neither does a recording written since the
    // day being cleared (the others are a week old). The switch silences the
    // log, not the purge; the purge's latch is set in every case. The take
    // history keeps the days the activity logs keep.
    struct Case {
        SettingRecords settings;
        QStringList gone, kept;
        QByteArray log;
        QStringList fresh = {};
        QDate takesFrom = {};
    };
    const std::vector<Case> cases = {
        {{{ActivityLogOn, 1}, {ActivityLogKeep, 2}, {EbNoLogKeep, 3}},
         {"logs\\AL260223.log", "logs\\ER260223.log", "logs\\EB260202.log"},
         {"logs\\AL260222.log", "logs\\AL260224.log", "logs\\EB260201.log", "logs\\EB260223.log"},
         "10:00:00  Deleted 02-23-2026 Activity Log\r\n10:00:00  Deleted 02-23-2026 Error Log\r\n"
         "10:00:00  Deleted 02-02-2026 EbNo Log\r\n",
         {},
         QDate(2026, 2, 24)},
        {{{ActivityLogOn, 0}, {ActivityLogKeep, 1}, {EbNoLogKeep, 1}},
         {"logs\\al260301.LOG", "logs\\Eb260301.Log"},
         {},
         "",
         {},
         QDate(2026, 3, 2)},
        {{{ActivityLogOn, 1}, {WaveKeepDays, 7}, {WaveDriveNo, 3}},
         {"SFMON001.WAV", "SFMON001.DAT", "sfmon017.wav", "SfMon999.Dat"},
         {"SFSUN001.WAV", "SFTUE001.WAV"},
         "10:00:00  Deleted Monday Sound Files\r\n"},
        {{{ActivityLogOn, 1}, {WaveKeepDays, 7}, {WaveDriveNo, 3}},
         {"SFMON002.WAV"},
         {},
         "10:00:00  Kept SFMON001.WAV, written 03-01-2026\r\n"
         "10:00:00  Deleted Monday Sound Files\r\n",
         {"SFMON001.WAV"}},
        {{{ActivityLogOn, 1}, {WaveKeepDays, 1}, {WaveDriveNo, 4}},
         {"d:\\satfile\\SFSUN002.wav"},
         {"SFSUN002.wav"},
         "10:00:00  Deleted Sunday Sound Files\r\n"},
        {{{ActivityLogOn, 1}, {WaveDriveNo, 3}}, {}, {"SFMON001.WAV", "logs\\AL260301.log"}, ""},
        {{{ActivityLogOn, 1}, {WaveKeepDays, 8}, {WaveDriveNo, 3}}, {}, {"SFSUN001.WAV"}, ""},
        {{{WaveKeepDays, 1}}, {}, {"SFSUN001.WAV"}, ""}};
    for (const Case& c : cases) {
        TempStation t;
        t.writeSettings(c.settings);
        t.startUp();
        const QDateTime now = t.station->clock().now();
        for (const QString& name : c.gone + c.kept + c.fresh)
            TempStation::writeFile(t.host(stationPath(name)), "x",
                                   now.addDays(c.fresh.contains(name) ? -1 : -7));
        QDate takesFrom;
        t.station->purgeTakesBefore = [&](const QDate& date) { takesFrom = date; };
        PurgeOldFiles(*t.station);
        EXPECT_EQ(takesFrom, c.takesFrom);
        SCOPED_TRACE((c.gone.value(0) + c.kept.value(0)).toStdString());
        for (const QString& name : c.gone)
            EXPECT_FALSE(QFile::exists(t.host(stationPath(name)))) << name.toStdString();
        for (const QString& name : c.kept + c.fresh)
            EXPECT_TRUE(QFile::exists(t.host(stationPath(name)))) << name.toStdString();
        EXPECT_EQ(TempStation::readFile(t.host("c:\\satfile\\logs\\AL260302.log")), c.log);
        EXPECT_EQ(t.station->state.LogPurgeLatch, 1);
    }
    // Days newest first, files of other kinds or without a date passed over; a
    // day by time keeps the file's order, by event groups the messages.
    EXPECT_EQ(logDays(*t.paths, "AL"), QStringList({"No Logs Found"}));
    for (const char* name : {"AL251231.log", "al260101.LOG", "ER260102.log", "ALnotes.txt"})
        write(QString("logs\\") + name);
    EXPECT_EQ(logDays(*t.paths, "AL"), QStringList({"01/01/26", "12/31/25"}));
    EXPECT_EQ(logDays(*t.paths, "ER"), QStringList({"01/02/26"}));
    write(
        "logs\\AL260305.log",
        "08:00:00  Switched Port 1\r\n09:00:00  Armed Channel 1\r\n10:00:00  Switched Port 1\r\n");
    EXPECT_EQ(logDayLines(*t.paths, "AL", "03/05/26", false),
              QStringList({"08:00:00  Switched Port 1", "09:00:00  Armed Channel 1",
                           "10:00:00  Switched Port 1"}));
    EXPECT_EQ(logDayLines(*t.paths, "AL", "03/05/26", true),
              QStringList({"Armed Channel 1 09:00:00", "Switched Port 1 08:00:00",
                           "Switched Port 1 10:00:00"}));
    EXPECT_EQ(logDayLines(*t.paths, "EB", "03/04/26", false),
              QStringList({"Log for 03/04/26 does not exist."}));
    EXPECT_EQ(logWindowCaption("EB"), "Load EbNo Log");
    EXPECT_EQ(logDayCaption("AL", "03/04/26"), "Activity Log for 03/04/26");
}

} // namespace
