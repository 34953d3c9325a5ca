#include "settings/my_computer.h"
#include "support/test.h"

#include "fakes/temp_station.h"
#include "platform/io_ports.h"
#include "station/settings_file.h"

#include <QDir>
#include <QFile>

namespace {

SettingsChoice validChoice() {
    SettingsChoice c;
    c.daysSelected = true;
    c.driveSelected = true;
    return c;
}

} // namespace

TEST(MyComputerRules, FloppyDrivesAreNeverOffered) {
    const auto entries = waveDriveEntries({"A", "c", "D"});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].text, "C");
    EXPECT_EQ(entries[0].value, 3);
    EXPECT_EQ(entries[1].text, "D");
    EXPECT_EQ(entries[1].value, 4);
}

// The number at the start of the text counts; a huge one must not wrap.
TEST(MyComputerRules, ThresholdTakesTheLeadingNumber) {
    EXPECT_EQ(thresholdValue("250abc"), 250);
    EXPECT_EQ(thresholdValue("abc"), 0);
    EXPECT_EQ(thresholdValue(""), 0);
    EXPECT_EQ(thresholdValue(" 12.5"), 12);
    EXPECT_EQ(thresholdValue("13.5x"), 14);
    EXPECT_EQ(thresholdValue("-7"), -7);
    EXPECT_EQ(thresholdValue("99999"), 32767);
}

TEST(MyComputerRules, ApplyWritesAllRecordsAndKeepsThePortRecords) {
    TempStation t;
    t.writeSettings(
        {{Setting::CommPortNo, 2}, {Setting::BaudIndex, 1}, {Setting::ResetExpansionRelays, 1}});
    t.startUp();
    selectWaveDrive(*t.station, 4);
    t.station->state.WaveKeepDays = 3;
    SettingsChoice c = validChoice();
    c.devices[1] = 1;
    c.threshold = "250abc";
    c.playVisible = 1;
    c.timeChange = 1;
    ASSERT_TRUE(applySettings(*t.station, c));

    const QByteArray file = TempStation::readFile(t.host(SettingsFile::StationPath));
    ASSERT_EQ(file.size(), 42);
    SettingsFile f;
    ASSERT_TRUE(f.open(t.host(SettingsFile::StationPath), nullptr));
    EXPECT_EQ(f.read(Setting::AuditionDevice), 1);
    EXPECT_EQ(f.read(Setting::RecordThreshold), 250);
    EXPECT_EQ(f.read(Setting::WaveKeepDays), 3);
    EXPECT_EQ(f.read(Setting::WaveDriveNo), 4);
    EXPECT_EQ(f.read(Setting::CommPortNo), 2);
    EXPECT_EQ(f.read(Setting::BaudIndex), 1);
    EXPECT_EQ(f.read(Setting::PlayButtonVisible), 1);
    EXPECT_EQ(f.read(Setting::ResetExpansionRelays), 0);
    EXPECT_EQ(f.read(Setting::TimeChangeAdjust), 1);
    EXPECT_EQ(t.station->state.RecordThreshold, 250);
    EXPECT_EQ(t.station->state.TimeChangeAdjust, 1);
    EXPECT_TRUE(QDir(t.drive('D') + "/Satfile").exists());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(MyComputerRules, ApplyChecksDaysBeforeTheDrive) {
    TempStation t;
    t.startUp();
    SettingsChoice c;
    EXPECT_FALSE(applySettings(*t.station, c));
    c.daysSelected = true;
    EXPECT_FALSE(applySettings(*t.station, c));
    EXPECT_EQ(t.messages.shown,
              QStringList({"You must select the number of days to save wave files.",
                           "You must select a hard drive."}));
    EXPECT_EQ(TempStation::readFile(t.host(SettingsFile::StationPath)).size(), 0);
}

// A settings file that cannot be written used to be passed over silently.
TEST(MyComputerRules, ApplyReportsAnUnwritableFileAndStillCreatesTheFolder) {
    TempStation t;
    t.startUp();
    const QString path = t.host(SettingsFile::StationPath);
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));
    selectWaveDrive(*t.station, 8);
    ASSERT_TRUE(applySettings(*t.station, validChoice()));
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].startsWith("Cannot write c:\\satfile\\MyComp.ini"));
    EXPECT_TRUE(QDir(t.drive('H') + "/Satfile").exists());
}

TEST(MyComputerRules, PrairieCardIsSetUpAtOnceAndAFailureIsReported) {
    TempStation t;
    const QString portFile = t.root() + "/ports";
    TempStation::writeFile(portFile, QByteArray(1024, '\0'));
    PortFile ports(portFile);
    selectRemoteControl(*t.station, &ports, 1);
    EXPECT_EQ(TempStation::readFile(portFile).at(647), 0);
    selectRemoteControl(*t.station, &ports, 2);
    EXPECT_EQ(uint8_t(TempStation::readFile(portFile).at(647)), 138);
    EXPECT_EQ(t.station->state.RelayCardType, 2);
    EXPECT_TRUE(t.messages.shown.isEmpty());

    PortFile absent(t.root() + "/no-such-ports");
    selectRemoteControl(*t.station, &absent, 2);
    EXPECT_EQ(t.messages.shown.size(), 1);
}

// The console's buttons stay hidden while the playlist is empty.
TEST(MyComputerRules, PlayVisibleFollowsThePlaylist) {
    TempStation t;
    t.station->display.PlayListVisible = true;
    setPlayVisible(*t.station, 1);
    setStopVisible(*t.station, 1);
    EXPECT_TRUE(t.station->display.cmdPlayVisible && t.station->display.cmdStopVisible);
    setPlayVisible(*t.station, 0);
    EXPECT_FALSE(t.station->display.cmdPlayVisible);
    t.station->display.PlayListVisible = false;
    setStopVisible(*t.station, 1);
    EXPECT_FALSE(t.station->display.cmdStopVisible);
}
