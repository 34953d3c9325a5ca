#include "backup/data_backup.h"
#include "support/test.h"

#include "fakes/temp_station.h"
#include "station/settings_file.h"
#include "station/source_codes.h"

#include <QDir>
#include <QFile>

namespace {

class DataBackupTest : public ::testing::Test {
protected:
    using enum Setting;
    void SetUp() override {
        const SettingRecords settings = {{PlayDevice, 1},        {WaveDriveNo, 4},
                                         {CommPortNo, 2},        {BaudIndex, 1},
                                         {PlayButtonVisible, 1}, {TimeChangeAdjust, 1}};
        t.writeSettings(settings);
        t.startUp();
        QDir().mkpath(t.drive('D') + "/Backup");
        for (int n = 1; n <= 3; ++n)
            ASSERT_TRUE(schedules().write(n, QByteArray(331, 'a' + n)));
        ASSERT_TRUE(t.station->state.ExportFile.write(1, QByteArray(235, 'x')));
        TempStation::writeFile(t.host(SourceCodesStationPath), "SR1\r\nAA1\r\nFN1\r\n");
    }
    RecordFile& schedules() { return t.station->state.SatListFile.file(); }
    QString backup(const QString& name) const { return t.drive('D') + "/Backup/" + name; }

    TempStation t;
    const QString folder = "d:\\backup\\";
};

} // namespace

// A folder outside every drive keeps its host path.
TEST_F(DataBackupTest, SaveAndLoadRoundTripAllFourFiles) {
    EXPECT_EQ(backupFolderOfHost(*t.paths, "/media/usb"), "/media/usb\\");
    EXPECT_EQ(backupFileHost(*t.paths, "/media/usb\\", "SatList.dat"), "/media/usb/SatList.dat");
    int steps = 0;
    ASSERT_TRUE(SaveDataFiles(*t.station, folder, [&] { ++steps; }));
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(t.messages.shown, QStringList{"Data files saved in d:\\backup\\"});

    ASSERT_TRUE(schedules().write(2, QByteArray(331, 'z')));
    ASSERT_TRUE(t.station->state.ExportFile.write(1, QByteArray(235, 'y')));
    ASSERT_TRUE(writeSourceCodes(*t.paths, {"ZZ9"}, nullptr));
    const QByteArray stationSettings(42, '\x07'); // unlike the backup in every byte
    TempStation::writeFile(t.host(SettingsFile::StationPath), stationSettings);

    ASSERT_TRUE(LoadSchedules(*t.station, folder) && LoadExportRules(*t.station, folder) &&
                LoadSourceCodes(*t.station, folder) && LoadSetup(*t.station, folder, nullptr));
    // Success is said in the drive letters the operator knows.
    EXPECT_EQ(t.messages.shown.mid(1),
              (QStringList{"Schedules loaded from d:\\backup\\SatList.dat",
                           "Export rules loaded from d:\\backup\\ExportInfo.dat",
                           "Source codes loaded from d:\\backup\\source.dat",
                           "Setup loaded from d:\\backup\\MyComp.ini"}));
    EXPECT_EQ(schedules().read(2), QByteArray(331, 'c'));
    EXPECT_EQ(t.station->state.ExportFile.read(1), QByteArray(235, 'x'));
    EXPECT_EQ(readSourceCodes(*t.paths), QStringList({"SR1", "AA1", "FN1"}));

    // Restored up to the baud rate; the rest, unused records too, as the station had it.
    const int restored = int(BaudIndex) * SettingsFile::RecordLength;
    const QByteArray settings = TempStation::readFile(t.host(SettingsFile::StationPath));
    EXPECT_EQ(settings.left(restored), TempStation::readFile(backup("MyComp.ini")).left(restored));
    EXPECT_EQ(settings.mid(restored), stationSettings.mid(restored));
    const StationState& s = t.station->state;
    EXPECT_EQ(std::tuple(s.WaveDriveNo, s.WaveDrive, s.CommPortNo), std::tuple(4, "D", 2));
    // The backup used to keep the tail records of an earlier, longer save.
    QFile::resize(t.host(ScheduleFile::StationPath), 331);
    ASSERT_TRUE(SaveDataFiles(*t.station, folder));
    EXPECT_EQ(TempStation::readFile(backup("SatList.dat")), QByteArray(331, 'b'));
}

// Loading from a folder without the files changes nothing (Source.dat used to
// be emptied before its backup was found missing); a failed save is reported.
TEST_F(DataBackupTest, FailuresChangeNothingAndAreReported) {
    const QByteArray schedulesBefore = TempStation::readFile(t.host(ScheduleFile::StationPath));
    const QByteArray settingsBefore = TempStation::readFile(t.host(SettingsFile::StationPath));
    EXPECT_FALSE(LoadSchedules(*t.station, folder));
    EXPECT_EQ(t.messages.shown,
              QStringList{"2 No such file or directory: d:\\backup\\SatList.dat"});
    EXPECT_EQ(TempStation::readFile(t.host(ScheduleFile::StationPath)), schedulesBefore);
    EXPECT_FALSE(LoadSourceCodes(*t.station, folder));
    EXPECT_EQ(readSourceCodes(*t.paths).size(), 3);
    EXPECT_FALSE(LoadSetup(*t.station, folder, nullptr));
    EXPECT_EQ(TempStation::readFile(t.host(SettingsFile::StationPath)), settingsBefore);
    EXPECT_FALSE(SaveDataFiles(*t.station, "d:\\missing\\"));
    EXPECT_TRUE(t.messages.shown.value(3).endsWith(": d:\\missing\\SatList.dat"))
        << t.messages.shown.value(3).toStdString();
    // Without source codes the rest is saved, with a warning.
    QFile::remove(t.host(SourceCodesStationPath));
    ASSERT_TRUE(SaveDataFiles(*t.station, folder));
    EXPECT_EQ(t.messages.shown.mid(4),
              QStringList(
                  {QString(SourceWarning) + "\nThe other data files were saved in d:\\backup\\"}));
    EXPECT_TRUE(QFile::exists(backup("MyComp.ini")));
    EXPECT_FALSE(QFile::exists(backup("Source.dat")));
}
