#include "fakes/temp_station.h"
#include "platform/io_ports.h"
#include "settings/my_computer.h"
#include "station/settings_file.h"
#include "station/station_state.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Record k holds (k - 11) * 300: low and high bytes differ, and the first
// ten are negative.
QByteArray records(int n) {
    QByteArray b;
    for (int k = 1; k <= n; ++k) {
        const auto v = uint16_t((k - 11) * 300);
        b.append(char(v & 0xFF)).append(char(v >> 8));
    }
    return b;
}

class Settings : public ::testing::Test {
protected:
    using enum Setting;
    QString path() const { return t.host(SettingsFile::StationPath); }
    int16_t record(Setting n) {
        SettingsFile f;
        EXPECT_TRUE(f.open(path(), nullptr));
        return f.read(n);
    }
    void readAll(const std::function<void(Setting)>& afterRecord = {}) {
        SettingsFile file;
        EXPECT_TRUE(file.open(path(), nullptr));
        readStartupSettings(file, s, afterRecord);
    }
    static SettingsChoice validChoice() {
        SettingsChoice c;
        c.daysSelected = c.driveSelected = true;
        return c;
    }

    TempStation t;
    StationState s;
};

// Little-endian and sign-extended, the 32-bit Eb/No interval too. The audio
// devices are handed over right after their records are read, so the
// callback must see each field already filled and the next one not yet.
TEST_F(Settings, EachRecordGoesToItsFieldInRecordOrderAndTypedValuesAreRead) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).path()));
    readAll(); // a missing file reads zero everywhere
    forEachSetting(s, [](Setting, auto field) { EXPECT_EQ(field, 0); });

    TempStation::writeFile(path(), records(21));
    std::vector<int> order;
    readAll([&](Setting n) {
        order.push_back(int(n));
        if (n == RecDevice1) { // filled, and the next one not yet
            EXPECT_EQ((std::vector<int>{s.RecDevice1, s.RecDevice2}), (std::vector<int>{-2400, 0}));
        }
    });
    EXPECT_EQ(order,
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 21}));
    const std::vector<int> fields = {
        s.PlayDevice,           s.AuditionDevice,  s.RecDevice1,        s.RecDevice2,
        s.RecordThreshold,      s.WaveKeepDays,    s.ActivityLogKeep,   s.EbNoLogKeep,
        s.EbNoLogInterval,      s.ActivityLogOn,   s.RelayCardType,     s.WaveDriveNo,
        s.CommPortNo,           s.BaudIndex,       s.PlayButtonVisible, s.StopButtonVisible,
        s.ResetExpansionRelays, s.TimeChangeAdjust};
    std::vector<int> expected;
    for (int k : order)
        expected.push_back((k - 11) * 300);
    EXPECT_EQ(fields, expected);

    // Half a record and records past the end read as zero.
    TempStation::writeFile(path(), records(10) + '\x05');
    readAll();
    EXPECT_EQ((std::vector<int>{s.ActivityLogOn, s.RelayCardType, s.TimeChangeAdjust}),
              (std::vector<int>{-300, 0, 0}));
    // Floppy drives never hold the wave store; C is drive 3.
    QStringList drives;
    for (const auto& e : waveDriveEntries({"A", "B", "c", "D"}))
        drives << e.text + "=" + QString::number(e.value);
    EXPECT_EQ(drives, (QStringList{"C=3", "D=4"}));
    // The number at the start of the text counts; a huge one must not wrap.
    const std::pair<const char*, int16_t> thresholds[] = {
        {"250abc", 250}, {"abc", 0}, {"", 0},         {" 12.5", 12},
        {"13.5x", 14},   {"-7", -7}, {"99999", 32767}};
    for (const auto& [text, value] : thresholds)
        EXPECT_EQ(thresholdValue(text), value) << text;
}

// A short file is extended; the port records are the communications window's.
TEST_F(Settings, ApplyWritesAllRecordsAndKeepsThePortRecords) {
    t.writeSettings({{CommPortNo, 2}, {BaudIndex, 1}, {ResetExpansionRelays, 1}});
    t.startUp();
    selectWaveDrive(*t.station, 4);
    t.station->state.WaveKeepDays = 3;
    t.station->state.CommPortNo = 4;
    t.station->state.BaudIndex = 3;
    SettingsChoice c = validChoice();
    c.devices[1] = 1;
    c.threshold = "-300x";
    c.playVisible = 1;
    c.timeChange = 1;
    ASSERT_TRUE(applySettings(*t.station, c));
    EXPECT_EQ(TempStation::readFile(path()).size(), 42);
    std::vector<int16_t> stored;
    for (Setting n : {AuditionDevice, RecordThreshold, WaveKeepDays, WaveDriveNo, CommPortNo,
                      BaudIndex, PlayButtonVisible, ResetExpansionRelays, TimeChangeAdjust})
        stored.push_back(record(n));
    EXPECT_EQ(stored, (std::vector<int16_t>{1, -300, 3, 4, 2, 1, 1, 0, 1}));
    EXPECT_EQ(std::pair(t.station->state.RecordThreshold, t.station->state.TimeChangeAdjust),
              std::pair(int16_t(-300), int16_t(1)));
    EXPECT_TRUE(QDir(t.drive('D') + "/Satfile").exists());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(Settings, ApplyRefusesWithoutDaysThenDriveAndReportsAnUnwritableFile) {
    t.startUp();
    SettingsChoice c;
    EXPECT_FALSE(applySettings(*t.station, c));
    c.daysSelected = true;
    EXPECT_FALSE(applySettings(*t.station, c));
    EXPECT_EQ(t.messages.shown,
              QStringList({"You must select the number of days to save wave files.",
                           "You must select a hard drive."}));
    EXPECT_EQ(TempStation::readFile(path()).size(), 0);

    // A file that cannot be written used to be passed over silently.
    ASSERT_TRUE(QFile::remove(path()) && QDir().mkpath(path()));
    selectWaveDrive(*t.station, 8);
    ASSERT_TRUE(applySettings(*t.station, validChoice()));
    ASSERT_EQ(t.messages.shown.size(), 3);
    EXPECT_TRUE(t.messages.shown[2].startsWith("Cannot write c:\\satfile\\MyComp.ini"));
}

TEST_F(Settings, ClicksActAtOnceAndAPrairieFailureIsReported) {
    const QString portFile = t.root() + "/ports";
    TempStation::writeFile(portFile, QByteArray(1024, '\0'));
    PortFile ports(portFile);
    // Only the Prairie card is set up (that card's byte is the window's test).
    selectRemoteControl(*t.station, &ports, 1);
    EXPECT_EQ(TempStation::readFile(portFile).at(647), 0);
    PortFile absent(t.root() + "/no-such-ports");
    selectRemoteControl(*t.station, &absent, 2);
    selectRemoteControl(*t.station, nullptr, 2);
    EXPECT_EQ(t.station->state.RelayCardType, 2);
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_TRUE(t.messages.shown[0].startsWith("The Prairie Digital card cannot be set up: "));
    EXPECT_EQ(t.messages.shown[1], "The Prairie Digital card cannot be set up: no I/O ports.");

    // The console's buttons stay hidden while the playlist is empty.
    ConsoleDisplay& d = t.station->display;
    for (const auto& [listed, value, shown] :
         {std::tuple{true, 1, true}, {true, 0, false}, {false, 1, false}}) {
        d.PlayListVisible = listed;
        setPlayVisible(*t.station, int16_t(value));
        setStopVisible(*t.station, int16_t(value));
        EXPECT_EQ(std::pair(d.cmdPlayVisible, d.cmdStopVisible), std::pair(shown, shown)) << value;
    }
}

} // namespace
