#include "console/clock_label.h"
#include "fakes/temp_station.h"
#include "station/log_files.h"
#include "station/settings_file.h"
#include "station/station.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class RecordingDevices : public AudioDeviceChoice {
public:
    void usePlayDevice(int device) override { calls << QString("play %1").arg(device); }
    void useRecordDevice(int channel, int device) override {
        calls << QString("record%1 %2").arg(channel).arg(device);
    }
    QStringList calls;
};

TEST(StartUpTest, FirstRunOnAnEmptyDiskCreatesFoldersAndEmptyFiles) {
    TempStation t;
    t.startUp();
    const QString c = t.drive('C');
    EXPECT_TRUE(QFileInfo(c + "/Satfile").isDir());
    EXPECT_TRUE(QFileInfo(c + "/Satfile/Logs").isDir());
    EXPECT_EQ(QFileInfo(c + "/Satfile/SatList.dat").size(), 0);
    EXPECT_EQ(QFileInfo(c + "/Satfile/Exportinfo.dat").size(), 0);
    EXPECT_EQ(QFileInfo(c + "/Satfile/MyComp.ini").size(), 0);
    EXPECT_EQ(QFileInfo(c + "/Satfile/Source.dat").size(), 0) << "the editor finds a list";
    const StationState& s = t.station->state;
    EXPECT_TRUE(s.SatListFile.isOpen());
    EXPECT_TRUE(s.ExportFile.isOpen());
    EXPECT_EQ(s.ExportFile.recordLength(), 235);
    EXPECT_EQ(s.WaveDrive, QString(QChar(64)));
    EXPECT_EQ(s.DayNames[0], "Off");
    EXPECT_EQ(s.DayNames[1], "Sunday");
    EXPECT_EQ(s.DayNames[7], "Saturday");
    EXPECT_EQ(s.BaudRates[1], "9600");
    EXPECT_EQ(s.BaudRates[2], "19200");
    EXPECT_FALSE(t.station->display.cmdPlayVisible);
    EXPECT_FALSE(t.station->display.cmdStopVisible);
}

TEST(StartUpTest, ExistingDataFolderInAnotherCaseIsReused) {
    TempStation t;
    QDir().mkpath(t.drive('C') + "/SATFILE/LOGS");
    t.startUp();
    EXPECT_EQ(QDir(t.drive('C')).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"SATFILE"});
    EXPECT_EQ(QDir(t.drive('C') + "/SATFILE").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"LOGS"});
    EXPECT_TRUE(QFileInfo(t.drive('C') + "/SATFILE/SatList.dat").isFile());
}

TEST(StartUpTest, SettingsAreReadAndAppliedToDevicesDriveAndButtons) {
    TempStation t;
    const SettingRecords settings = {
        {Setting::PlayDevice, 2},        {Setting::RecDevice1, 1},
        {Setting::RecDevice2, 0},        {Setting::WaveDriveNo, 4},
        {Setting::PlayButtonVisible, 1}, {Setting::StopButtonVisible, 0},
        {Setting::TimeChangeAdjust, 1}};
    t.writeSettings(settings);
    RecordingDevices devices;
    t.station->setAudioDeviceChoice(&devices);
    t.station->display.cmdStopVisible = true;
    t.startUp();
    EXPECT_EQ(t.station->state.WaveDrive, "D");
    EXPECT_EQ(t.station->state.TimeChangeAdjust, 1);
    EXPECT_EQ(devices.calls, (QStringList{"play 2", "record1 1", "record2 0"}));
    EXPECT_TRUE(t.station->display.cmdPlayVisible);
    EXPECT_FALSE(t.station->display.cmdStopVisible);
}

// Only 0 and 1 decide; any other value leaves the button as the window was designed.
TEST(StartUpTest, OtherButtonValuesLeaveTheDesignedVisibility) {
    TempStation t;
    t.writeSettings({{Setting::PlayButtonVisible, 2}, {Setting::StopButtonVisible, -1}});
    t.station->display.cmdPlayVisible = true;
    t.station->display.cmdStopVisible = false;
    t.startUp();
    EXPECT_TRUE(t.station->display.cmdPlayVisible);
    EXPECT_FALSE(t.station->display.cmdStopVisible);
}

TEST(StartUpTest, TimeChangeDatesAreThisYears) {
    TempStation t(QDateTime(QDate(2007, 6, 1), QTime(12, 0)));
    t.startUp();
    EXPECT_EQ(t.station->state.SpringChangeDate, QDate(2007, 3, 11));
    EXPECT_EQ(t.station->state.FallChangeDate, QDate(2007, 11, 4));
}

TEST(StartUpTest, SecondStationOnTheSameDataFolderIsRefused) {
    TempStation t;
    t.startUp();
    Station second(t.time, t.time, *t.paths, t.messages);
    const StartUpResult r = second.StartUp();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("already running")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(t.host("c:\\satfile"))) << r.message.toStdString();
    t.station->ShutDown();
    EXPECT_TRUE(second.StartUp().ok);
}

TEST(StartUpTest, FailureNamesThePathAndTheReason) {
    TempStation t;
    // A file where the data folder should be.
    ASSERT_TRUE(QDir().rmdir(t.drive('C')));
    TempStation::writeFile(t.drive('C'), "not a folder");
    const StartUpResult r = t.station->StartUp();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("c:\\Satfile")) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(t.drive('C'))) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains("Not a directory")) << r.message.toStdString();
}

TEST(StartUpTest, UnopenableScheduleFileFailsStartUp) {
    TempStation t;
    QDir().mkpath(t.drive('C') + "/satfile/SatList.dat"); // a folder, not a file
    const StartUpResult r = t.station->StartUp();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("SatList.dat")) << r.message.toStdString();
}

TEST(TimeChangeDatesTest, KnownYears) {
    EXPECT_EQ(ComputeTimeChangeDates(2006), std::make_pair(QDate(2006, 4, 2), QDate(2006, 10, 29)));
    EXPECT_EQ(ComputeTimeChangeDates(2007), std::make_pair(QDate(2007, 3, 11), QDate(2007, 11, 4)));
    EXPECT_EQ(ComputeTimeChangeDates(2026), std::make_pair(QDate(2026, 3, 8), QDate(2026, 11, 1)));
}

// Checked against the rule stated another way: the second Sunday is the
// Sunday 7..13 days after the last day of February; the first Sunday of
// November is 1..7 days after October 31.
TEST(TimeChangeDatesTest, SweepAgreesWithTheCalendarRule) {
    for (int year = 1990; year <= 2100; ++year) {
        if (year == 2006)
            continue;
        const QDate endFeb = QDate(year, 3, 1).addDays(-1);
        const int toSunday = (7 - endFeb.dayOfWeek()) % 7; // 0 when it is a Sunday
        const QDate secondSunday = endFeb.addDays(toSunday == 0 ? 14 : toSunday + 7);
        const QDate oct31(year, 10, 31);
        const QDate firstNovSunday = oct31.addDays(7 - (oct31.dayOfWeek() % 7));
        const auto [spring, fall] = ComputeTimeChangeDates(year);
        EXPECT_EQ(spring, secondSunday) << year;
        EXPECT_EQ(fall, firstNovSunday) << year;
        EXPECT_EQ(spring.dayOfWeek(), Qt::Sunday);
    }
}

TEST(ShutDownTest, ExitAsksTheQuestionAndOnlyYesConfirms) {
    TempStation t;
    t.messages.answers = {false, true};
    EXPECT_FALSE(t.station->ConfirmExit());
    EXPECT_TRUE(t.station->ConfirmExit());
    EXPECT_EQ(t.messages.asked, (QStringList{"Exit Varnola?|Varnola", "Exit Varnola?|Varnola"}));
}

TEST(ShutDownTest, HooksRunOnceInOrderBeforeTheFilesClose) {
    TempStation t;
    t.startUp();
    QStringList ran;
    t.station->addShutdownHook([&] {
        ran << "first";
        EXPECT_TRUE(t.station->state.SatListFile.isOpen());
    });
    t.station->addShutdownHook([&] { ran << "second"; });
    t.station->ShutDown();
    t.station->ShutDown();
    EXPECT_EQ(ran, (QStringList{"first", "second"}));
    EXPECT_FALSE(t.station->state.SatListFile.isOpen());
    EXPECT_FALSE(t.station->state.ExportFile.isOpen());
}

// The hooked parts are built after the station and gone before it: only an
// explicit shut-down may run the hooks, never the station's destructor.
TEST(ShutDownTest, DestroyingTheStationRunsNoHook) {
    bool ran = false;
    {
        TempStation t;
        t.startUp();
        t.station->addShutdownHook([&] { ran = true; });
    }
    EXPECT_FALSE(ran);
}

// A damaged, huge schedule file is read up to the slots the station has,
// and said once in the error log, not at every scan.
TEST(StartUpTest, OversizedScheduleFileIsReportedOnce) {
    TempStation t;
    t.writeSettings({{Setting::ActivityLogOn, 1}});
    TempStation::writeFile(t.host(ScheduleFile::StationPath), QByteArray(1200 * 331, ' '));
    t.startUp();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(t.station->state.SatListFile.scan().empty());
    const QString errors = TempStation::readFile(t.host(logFileStationPath("ER", t.time.today())));
    EXPECT_EQ(errors.count("holds 1200 records; only the first 999 are used"), 1)
        << errors.toStdString();
}

TEST(ClockLabelTest, EnglishDateDayOfYearAndTwentyFourHourTime) {
    EXPECT_EQ(ClockLabelText(QDateTime(QDate(2026, 12, 5), QTime(7, 5, 12))),
              "Saturday  12/05/2026  Day 339  07:05:12");
    EXPECT_EQ(ClockLabelText(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))),
              "Tuesday  12/31/2024  Day 366  23:59:59");
}

} // namespace
