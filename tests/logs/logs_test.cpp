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

// The station starts on Monday 2 March 2026 at 10:00:00. A day, a week and a
// month back are the purge's cases below.
TEST(LogsTest, NamesLinesPurgeAndViewer) {
    const QDate d(2026, 3, 31);
    const std::vector<std::tuple<QDate, int, std::optional<QDate>>> periods = {
        {QDate(2024, 2, 29), 4, QDate(2023, 2, 28)}, {d, 0, std::nullopt}, {d, 5, std::nullopt}};
    for (const auto& [day, period, before] : periods)
        EXPECT_EQ(onePeriodBefore(day, period), before) << period;
    TempStation t;
    t.writeSettings({{ActivityLogOn, 1}});
    t.startUp();
    const auto read = [&](const QString& name) {
        return TempStation::readFile(t.host("c:\\satfile\\logs\\" + name));
    };
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(7, 5, 9)));
    EXPECT_TRUE(LogActivity(*t.station, "Cue    Morning Report"));
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(19, 0, 0)));
    EXPECT_TRUE(LogActivity(*t.station, "Stop   Morning Report"));
    EXPECT_TRUE(LogError(*t.station, "Gap of 10 seconds"));
    EXPECT_TRUE(LogEbNo(*t.station, "12.3"));
    // The switch silences activity and errors, not Eb/No.
    t.station->state.ActivityLogOn = 0;
    LogActivity(*t.station, "something");
    LogError(*t.station, "fault");
    LogEbNo(*t.station, "9.8");
    EXPECT_EQ(
        (QByteArrayList{read("AL260302.log"), read("ER260302.log"), read("EB260302.log")}),
        (QByteArrayList{"07:05:09  Cue    Morning Report\r\n19:00:00  Stop   Morning Report\r\n",
                        "19:00:00  Gap of 10 seconds\r\n", "19:00:00  12.3\r\n19:00:00  9.8\r\n"}));
    t.station->state.ActivityLogOn = 1;
    QDir(t.host("c:\\satfile\\logs")).removeRecursively();
    EXPECT_FALSE(LogActivity(*t.station, "lost") || LogEbNo(*t.station, "lost"));
    // Only the logs dated exactly one period back go. A recording written
    // since the day being cleared stays (the others are a week old). The take
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
    // By time keeps the file's order, by event groups the messages.
    for (const char* name : {"AL251231.log", "al260101.LOG", "ER260102.log", "ALnotes.txt"})
        TempStation::writeFile(t.host("c:\\satfile\\logs\\" + QString(name)), "x\r\n");
    EXPECT_EQ(logDays(*t.paths, "AL"), QStringList({"01/01/26", "12/31/25"}));
    EXPECT_EQ(logDays(*t.paths, "ER"), QStringList({"01/02/26"}));
    TempStation::writeFile(
        t.host("c:\\satfile\\logs\\AL260305.log"),
        "08:00:00  Switched Port 1\r\n09:00:00  Armed Channel 1\r\n10:00:00  Switched Port 1\r\n");
    EXPECT_EQ(logDayLines(*t.paths, "AL", "03/05/26", false),
              QStringList({"08:00:00  Switched Port 1", "09:00:00  Armed Channel 1",
                           "10:00:00  Switched Port 1"}));
    EXPECT_EQ(logDayLines(*t.paths, "AL", "03/05/26", true),
              QStringList({"Armed Channel 1 09:00:00", "Switched Port 1 08:00:00",
                           "Switched Port 1 10:00:00"}));
    EXPECT_EQ(logDayLines(*t.paths, "EB", "03/04/26", false),
              QStringList({"Log for 03/04/26 does not exist."}));
    // Polls the receiver did not answer and damaged lines are passed over.
    EXPECT_EQ(ebNoReadings({"10:00:12  9.8 dB", "10:15:12  ", "10:30:12  -- dB", "garbage",
                            "25:00:00  7 dB", "11:00:12  -0.5", "11:15:12  12.25 DB",
                            "11:3:12  8 dB", "11:45:12  8 dBm"}),
              (QList<EbNoReading>{
                  {QTime(10, 0, 12), 9.8}, {QTime(11, 0, 12), -0.5}, {QTime(11, 15, 12), 12.25}}));
}

} // namespace
