#include "station/settings_file.h"
#include "station/station_state.h"
#include "support/test.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void writeRaw(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    StationState readAll() {
        SettingsFile file;
        EXPECT_TRUE(file.open(path, nullptr));
        StationState s;
        readStartupSettings(file, s);
        return s;
    }
    // n records, record k holding the value k.
    static QByteArray numbered(int n) {
        QByteArray b;
        for (int k = 1; k <= n; ++k) {
            b.append(char(k));
            b.append('\0');
        }
        return b;
    }

    QTemporaryDir dir;
    QString path = dir.filePath("MyComp.ini");
};

TEST_F(SettingsFileTest, MissingFileIsCreatedEmptyAndEverySettingReadsZero) {
    const StationState s = readAll();
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    forEachSetting(s, [](Setting, auto field) { EXPECT_EQ(field, 0); });
}

TEST_F(SettingsFileTest, ValuesAreLittleEndianAndSignExtended) {
    QByteArray b(42, '\0');
    b[0] = char(0x34), b[1] = char(0x12);   // PlayDevice: 0x1234
    b[4] = char(0xFF), b[5] = char(0xFF);   // RecDevice1: -1
    b[16] = char(0xFF), b[17] = char(0xFF); // EbNoLogInterval (32-bit): -1, not 65535
    b[20] = char(0x00), b[21] = char(0x80); // RelayCardType: -32768
    b[40] = char(0xFE), b[41] = char(0xFF); // TimeChangeAdjust: -2
    writeRaw(b);
    const StationState s = readAll();
    EXPECT_EQ(s.PlayDevice, 0x1234);
    EXPECT_EQ(s.RecDevice1, -1);
    EXPECT_EQ(s.EbNoLogInterval, -1);
    EXPECT_EQ(s.RelayCardType, -32768);
    EXPECT_EQ(s.TimeChangeAdjust, -2);
}

TEST_F(SettingsFileTest, ShortFileReadsZeroForMissingRecords) {
    writeRaw(numbered(17)); // 34 bytes: no TimeChangeAdjust
    StationState s = readAll();
    EXPECT_EQ(s.ResetExpansionRelays, 17);
    EXPECT_EQ(s.TimeChangeAdjust, 0);

    QByteArray odd = numbered(10);
    odd.append('\x05'); // half a RelayCardType
    writeRaw(odd);
    s = readAll();
    EXPECT_EQ(s.ActivityLogOn, 10);
    EXPECT_EQ(s.RelayCardType, 0);
}

// Record k holds k. The audio devices are handed over right after their
// records are read, so the callback must see each field already filled.
TEST_F(SettingsFileTest, EachRecordGoesToItsFieldInRecordOrder) {
    writeRaw(numbered(21));
    SettingsFile file;
    ASSERT_TRUE(file.open(path, nullptr));
    StationState s;
    std::vector<int> order;
    readStartupSettings(file, s, [&](Setting record) {
        order.push_back(int(record));
        if (record == Setting::PlayDevice) {
            EXPECT_EQ(s.PlayDevice, 1);
        } else if (record == Setting::RecDevice1) {
            EXPECT_EQ(s.RecDevice2, 0);
        } else if (record == Setting::RecDevice2) {
            EXPECT_EQ(s.RecDevice2, 4);
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
    EXPECT_EQ(fields, order);
}

TEST_F(SettingsFileTest, WritingOneRecordLeavesTheOthersAndExtendsAShortFile) {
    writeRaw(numbered(14));
    SettingsFile file;
    ASSERT_TRUE(file.open(path, nullptr));
    ASSERT_TRUE(file.write(Setting::TimeChangeAdjust, 1));
    ASSERT_TRUE(file.write(Setting::RecordThreshold, -300));
    file.close();
    EXPECT_EQ(QFileInfo(path).size(), 42);
    SettingsFile again;
    ASSERT_TRUE(again.open(path, nullptr));
    EXPECT_EQ(again.read(Setting::RecordThreshold), -300);
    EXPECT_EQ(again.read(Setting::CommPortNo), 13);
    EXPECT_EQ(again.read(Setting::BaudIndex), 14);
    EXPECT_EQ(again.read(Setting::PlayButtonVisible), 0);
    EXPECT_EQ(again.read(Setting::TimeChangeAdjust), 1);
}

TEST(WaveDriveTest, LetterIsCharacterSixtyFourPlusTheNumber) {
    EXPECT_EQ(waveDriveLetter(3), "C");
    EXPECT_EQ(waveDriveLetter(4), "D");
    EXPECT_EQ(waveDriveLetter(0), "@");
}

} // namespace
