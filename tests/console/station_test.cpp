#include "fakes/temp_station.h"
#include "station/log_files.h"
#include "station/settings_file.h"
#include "station/station.h"
#include "support/test.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

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
    EXPECT_TRUE(QFileInfo(c + "/Satfile/Logs").isDir());
    // Source.dat too: the editor finds a list.
    for (const char* file : {"SatList.dat", "Exportinfo.dat", "MyComp.ini", "Source.dat"})
        EXPECT_EQ(QFileInfo(c + "/Satfile/" + file).size(), 0) << file;
    const StationState& s = t.station->state;
    EXPECT_TRUE(s.SatListFile.isOpen());
    EXPECT_TRUE(s.ExportFile.isOpen());
    EXPECT_EQ(s.ExportFile.recordLength(), 235);
    EXPECT_EQ(s.WaveDrive, QString(QChar(64)));
    EXPECT_EQ(QStringList(s.DayNames.begin(), s.DayNames.end()).join(' '),
              "Off Sunday Monday Tuesday Wednesday Thursday Friday Saturday");
    EXPECT_EQ(s.BaudRates[1], "9600");
    EXPECT_EQ(s.BaudRates[2], "19200");
    EXPECT_FALSE(t.station->display.cmdPlayVisible);
    EXPECT_FALSE(t.station->display.cmdStopVisible);
}

TEST(StartUpTest, ExistingDataFolderInAnotherCaseIsReused) {
    TempStation t;
    QDir().mkpath(t.drive('C') + "/SATFILE/LOGS");
    t.startUp();
    const auto folders = [](const QString& path) {
        return QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    };
    EXPECT_EQ(folders(t.drive('C')), QStringList{"SATFILE"});
    EXPECT_EQ(folders(t.drive('C') + "/SATFILE"), QStringList{"LOGS"});
    EXPECT_TRUE(QFileInfo(t.drive('C') + "/SATFILE/SatList.dat").isFile());
}

// The year's time change dates come with the settings.
TEST(StartUpTest, SettingsAreReadAndAppliedToDevicesDriveAndButtons) {
    TempStation t(QDateTime(QDate(2007, 6, 1), QTime(12, 0)));
    t.writeSettings({{Setting::PlayDevice, 2},
                     {Setting::RecDevice1, 1},
                     {Setting::RecDevice2, 0},
                     {Setting::WaveDriveNo, 4},
                     {Setting::TimeChangeAdjust, 1}});
    RecordingDevices devices;
    t.station->setAudioDeviceChoice(&devices);
    t.startUp();
    EXPECT_EQ(t.station->state.WaveDrive, "D");
    EXPECT_EQ(t.station->state.TimeChangeAdjust, 1);
    EXPECT_EQ(devices.calls, (QStringList{"play 2", "record1 1", "record2 0"}));
    EXPECT_EQ(t.station->state.SpringChangeDate, QDate(2007, 3, 11));
    EXPECT_EQ(t.station->state.FallChangeDate, QDate(2007, 11, 4));
}

// Only 0 and 1 decide; any other value leaves the button as the window was
// designed.
TEST(StartUpTest, ButtonSettingsShowOrHideThePlayAndStopButtons) {
    const struct {
        int16_t setting;
        bool designed, shown;
    } cases[] = {{1, false, true}, {0, true, false}, {2, true, true}, {-1, false, false}};
    for (const auto& c : cases)
        for (const bool play : {true, false}) {
            TempStation t;
            t.writeSettings(
                {{play ? Setting::PlayButtonVisible : Setting::StopButtonVisible, c.setting}});
            bool& visible =
                play ? t.station->display.cmdPlayVisible : t.station->display.cmdStopVisible;
            visible = c.designed;
            t.startUp();
            EXPECT_EQ(visible, c.shown) << c.setting << (play ? " play" : " stop");
        }
}

// A start-up that fails says where and why.
TEST(StartUpTest, FailuresNameThePathAndTheReason) {
    const struct {
        std::function<void(TempStation&)> damage;
        QStringList said;
    } cases[] = {
        {[](TempStation& t) { // a file where the data folder should be
             ASSERT_TRUE(QDir().rmdir(t.drive('C')));
             TempStation::writeFile(t.drive('C'), "not a folder");
         },
         {"c:\\Satfile", "<C>", "Not a directory"}},
        {[](TempStation& t) { QDir().mkpath(t.drive('C') + "/satfile/SatList.dat"); },
         {"SatList.dat"}},
        {[](TempStation& t) { ASSERT_TRUE(t.station->StartUp().ok); },
         {"already running", "<c:\\satfile>"}},
    };
    for (const auto& c : cases) {
        TempStation t;
        c.damage(t);
        Station second(t.time, t.time, *t.paths, t.messages);
        const StartUpResult r = second.StartUp();
        EXPECT_FALSE(r.ok);
        for (QString said : c.said) {
            if (said.startsWith('<'))
                said = said == "<C>" ? t.drive('C') : t.host(said.mid(1, said.size() - 2));
            EXPECT_TRUE(r.message.contains(said)) << r.message.toStdString();
        }
    }
}

TEST(StartUpTest, ASecondStationMayStartOnceTheFirstHasShutDown) {
    TempStation t;
    t.startUp();
    Station second(t.time, t.time, *t.paths, t.messages);
    EXPECT_FALSE(second.StartUp().ok);
    t.station->ShutDown();
    EXPECT_TRUE(second.StartUp().ok);
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

// 2006 alone keeps the old dates. Other years have the second Sunday of
// March, the Sunday 7..13 days after the last day of February, and the first
// Sunday of November, 1..7 days after October 31.
TEST(TimeChangeDatesTest, AgreeWithTheCalendarRule) {
    EXPECT_EQ(ComputeTimeChangeDates(2006), std::make_pair(QDate(2006, 4, 2), QDate(2006, 10, 29)));
    for (int year = 1990; year <= 2100; ++year) {
        if (year == 2006)
            continue;
        const QDate endFeb = QDate(year, 3, 1).addDays(-1);
        const int toSunday = (7 - endFeb.dayOfWeek()) % 7; // 0 when it is a Sunday
        const QDate oct31(year, 10, 31);
        EXPECT_EQ(ComputeTimeChangeDates(year),
                  std::make_pair(endFeb.addDays(toSunday == 0 ? 14 : toSunday + 7),
                                 oct31.addDays(7 - (oct31.dayOfWeek() % 7))))
            << year;
    }
}

TEST(ShutDownTest, ExitAsksTheQuestionAndOnlyYesConfirms) {
    TempStation t;
    t.messages.answers = {false, true};
    EXPECT_FALSE(t.station->ConfirmExit());
    EXPECT_TRUE(t.station->ConfirmExit());
    EXPECT_EQ(t.messages.asked, (QStringList{"Exit Varnola?|Varnola", "Exit Varnola?|Varnola"}));
}

// The hooked parts are built after the station and gone before it: only an
// explicit shut-down may run the hooks, never the station's destructor.
TEST(ShutDownTest, HooksRunOnceInOrderBeforeTheFilesCloseAndNeverOnDestruction) {
    QStringList ran;
    {
        TempStation t;
        t.startUp();
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
    {
        TempStation t;
        t.startUp();
        t.station->addShutdownHook([&] { ran << "destroyed"; });
    }
    EXPECT_EQ(ran.size(), 2);
}

} // namespace
