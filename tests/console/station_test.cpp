#include "fakes/temp_station.h"
#include "station/station.h"
#include "support/test.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A folder of another case is taken as it is; Source.dat is made too, so the
// editor finds a list.
TEST(StartUpTest, FirstRunSettingsButtonsAndFailures) {
    {
        TempStation t;
        const QString c = t.drive('C'), data = c + "/SATFILE";
        QDir().mkpath(data + "/LOGS");
        t.startUp();
        EXPECT_EQ(QDir(c).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"SATFILE"});
        EXPECT_EQ(QDir(data).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"LOGS"});
        for (const char* file : {"SatList.dat", "Exportinfo.dat", "MyComp.ini", "Source.dat"})
            EXPECT_TRUE(QFileInfo(data + "/" + file).isFile() &&
                        !QFileInfo(data + "/" + file).size())
                << file;
    }
    // A damaged, huge schedule file is said once, not at every scan.
    TempStation t(QDateTime(QDate(2007, 6, 1), QTime(12, 0)));
    t.writeSettings({{Setting::PlayDevice, 2},
                     {Setting::RecDevice1, 1},
                     {Setting::RecDevice2, 0},
                     {Setting::WaveDriveNo, 4},
                     {Setting::ActivityLogOn, 1}});
    TempStation::writeFile(t.host(ScheduleFile::StationPath), QByteArray(1200 * 331, ' '));
    RecordedDevices devices;
    t.station->setAudioDeviceChoice(&devices);
    t.startUp();
    const StationState& s = t.station->state;
    EXPECT_EQ(devices.calls, (QStringList{"play 2", "record1 1", "record2 0"}));
    EXPECT_EQ(s.WaveDrive, "D");
    EXPECT_TRUE(s.SatListFile.scan().empty() && s.SatListFile.scan().empty());
    EXPECT_EQ(t.log("ER", t.time.today()).count("holds 1200 records; only the first 999 are used"),
              1);
    // Any value but 0 and 1 leaves the button as the window was designed.
    for (const auto& [setting, designed, shown] :
         {std::tuple{1, false, true}, {0, true, false}, {2, true, true}, {-1, false, false}}) {
        TempStation t;
        t.writeSettings({{Setting::PlayButtonVisible, int16_t(setting)},
                         {Setting::StopButtonVisible, int16_t(setting)}});
        ConsoleDisplay& d = t.station->display;
        d.cmdPlayVisible = d.cmdStopVisible = designed;
        t.startUp();
        EXPECT_EQ(std::pair(d.cmdPlayVisible, d.cmdStopVisible), std::pair(shown, shown))
            << setting;
    }
    // A start-up that fails says where and why.
    TempStation broken;
    ASSERT_TRUE(QDir().rmdir(broken.drive('C')));
    TempStation::writeFile(broken.drive('C'), "not a folder");
    const StartUpResult r = broken.station->StartUp();
    EXPECT_FALSE(r.ok);
    for (const QString& said :
         {QString("c:\\Satfile"), broken.host("c:\\"), QString("Not a directory")})
        EXPECT_TRUE(r.message.contains(said)) << r.message.toStdString();
}

// 2006 alone keeps the old dates.
TEST(TimeChangeDatesTest, AgreeWithTheCalendarRule) {
    for (const auto& [year, sm, sd, fm, fd] :
         {std::tuple{2006, 4, 2, 10, 29}, {2007, 3, 11, 11, 4}})
        EXPECT_EQ(ComputeTimeChangeDates(year),
                  std::pair(QDate(year, sm, sd), QDate(year, fm, fd)));
}

// The hooked parts are built after the station and gone before it: only an
// explicit shut-down may run the hooks, never the station's destructor.
TEST(ShutDownTest, HooksRunOnceInOrderBeforeTheFilesCloseAndNeverOnDestruction) {
    QStringList ran;
    {
        TempStation t;
        t.startUp();
        t.station->addShutdownHook(
            [&] { ran << QString::number(t.station->state.SatListFile.isOpen()); });
        t.station->addShutdownHook([&] { ran << "second"; });
        t.station->ShutDown();
        t.station->ShutDown();
        EXPECT_FALSE(t.station->state.SatListFile.isOpen() || t.station->state.ExportFile.isOpen());
        EXPECT_TRUE(Station(t.time, t.time, *t.paths, t.messages).StartUp().ok);
    }
    {
        TempStation t;
        t.startUp();
        t.station->addShutdownHook([&] { ran << "destroyed"; });
    }
    EXPECT_EQ(ran, (QStringList{"1", "second"}));
}

} // namespace
