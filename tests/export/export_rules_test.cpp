#include "export/hand_off.h"
#include "export/playout_store.h"
#include "platform/record_file.h"
#include "station/export_record.h"
#include "support/test.h"

#include <QTemporaryDir>
#include <QtEndian>

namespace {

const std::array<QString, 8> Days{"Off",       "Sunday",   "Monday", "Tuesday",
                                  "Wednesday", "Thursday", "Friday", "Saturday"};
const QDate Monday(2026, 3, 2); // day 61 of the year

// Other tools read the rule file by these offsets.
TEST(ExportRecordTest, FieldsSitAtTheirOffsetsAndReadBack) {
    ExportRecord r;
    r.ExportMode = ExportWinjock;
    r.ExportDays[1] = 1;
    r.ExportPaths[1] = "H:\\programs\\SF8005NNN.wav";
    r.ExportFade = 1;
    r.ExportLength = "30:00";
    r.WinjockNumber = 8005;
    const QByteArray b = r.bytes();
    ASSERT_EQ(b.size(), 235);
    EXPECT_EQ(b.mid(0, 6), QByteArray("\x02\x00\x00\x00\x01\x00", 6));
    EXPECT_EQ(b.mid(16, 30), QByteArray(30, ' '));
    EXPECT_EQ(b.mid(46, 30), QByteArray("H:\\programs\\SF8005NNN.wav     "));
    EXPECT_EQ(b.mid(226, 7), QByteArray("\x01\x00"
                                        "30:00",
                                        7));
    EXPECT_EQ(qFromLittleEndian<qint16>(b.constData() + 233), 8005);

    const ExportRecord back = ExportRecord::parse(b);
    EXPECT_EQ(back.ExportMode, ExportWinjock);
    EXPECT_EQ(back.ExportDays, r.ExportDays);
    EXPECT_EQ(back.ExportPaths, r.ExportPaths);
    EXPECT_EQ(back.ExportLength, "30:00");
    EXPECT_EQ(back.WinjockNumber, 8005);
}

// A slot never given a rule exports nothing; choosing a mode for it leaves
// every other byte as it was.
TEST(ExportRecordTest, UnwrittenRecordsAreInactiveAndAModeChangeTouchesOnlyTheMode) {
    QTemporaryDir dir;
    RecordFile file;
    ASSERT_TRUE(file.open(dir.filePath("Exportinfo.dat"), ExportRecord::Length, nullptr));
    ASSERT_TRUE(WriteExportMode(file, 3, ExportUserDefined, nullptr));
    for (ScheduleNo n : {1, 2, 7}) {
        const ExportRecord r = ReadExportRecord(file, n);
        EXPECT_EQ(r.ExportMode, ExportInactive);
        EXPECT_FALSE(r.exportsOn(1));
        EXPECT_EQ(r.ExportPaths[1], "");
        EXPECT_EQ(r.WinjockNumber, 0);
    }
    EXPECT_EQ(*file.read(3), QByteArray("\x01", 1) + QByteArray(234, '\0'));
}

TEST(ExportRecordTest, TypedNumbersRoundHalfToEvenAndLengthsReadMinutesAndSeconds) {
    EXPECT_EQ(TypedNumber(" 8005"), 8005);
    EXPECT_EQ(TypedNumber("12.5x"), 12);
    EXPECT_EQ(TypedNumber("13.5"), 14);
    EXPECT_EQ(TypedNumber("x12"), 0);
    EXPECT_EQ(TypedNumber("99999"), 0); // does not fit the stored 16 bits
    EXPECT_EQ(ExportLengthMs("30:00"), 1800000);
    EXPECT_EQ(ExportLengthMs("5:30"), 330000);
    EXPECT_EQ(ExportLengthMs(""), std::nullopt);
    EXPECT_EQ(ExportLengthMs("00:00"), std::nullopt);
}

TEST(PlayoutNamingTest, DatedNamesTakeTheNextDateOnTheRecordedWeekdayTodayIncluded) {
    const auto today = namingOf('1', 1, Monday, Days);
    EXPECT_EQ(today->suffix, "061");
    EXPECT_EQ(today->label, "03-02-2026");
    const auto sunday = namingOf('1', 0, Monday, Days);
    EXPECT_EQ(sunday->suffix, "067");
    EXPECT_EQ(sunday->label, "03-08-2026");
    const auto nextYear = namingOf('1', 6, QDate(2026, 12, 28), Days);
    EXPECT_EQ(nextYear->suffix, "002");
    EXPECT_EQ(nextYear->label, "01-02-2027");
}

TEST(PlayoutNamingTest, WeekdayAndEvergreenNames) {
    EXPECT_EQ(namingOf('2', 1, Monday, Days)->suffix, "902");
    EXPECT_EQ(namingOf('2', 1, Monday, Days)->label, "2Monday   ");
    EXPECT_EQ(namingOf('2', 3, Monday, Days)->label, "4Wednesday");
    EXPECT_EQ(namingOf('2', 6, Monday, Days)->suffix, "907");
    EXPECT_EQ(namingOf('3', 4, Monday, Days)->suffix, "000");
    EXPECT_EQ(namingOf('3', 4, Monday, Days)->label, "Evergreen ");
    EXPECT_FALSE(namingOf('0', 4, Monday, Days));
}

TEST(PlayoutNamingTest, CompanionRecordHoldsTheLengthsAndTheLabelInZeroBytes) {
    EXPECT_EQ(CompanionDataRecord(1700000, false, "2Monday   "), QByteArray("1700\0"
                                                                            "1700\0"
                                                                            "2Monday   ",
                                                                            20));
    EXPECT_EQ(CompanionDataRecord(1700000, true, "2Monday   ").left(10), QByteArray("1698\0"
                                                                                    "1700\0",
                                                                                    10));
    // Whole seconds round half to even.
    EXPECT_EQ(CompanionDataRecord(1700500, false, "").mid(5, 5), QByteArray("1700\0", 5));
}

TEST(ExportGaugeTest, ShowsWholePercentsAndKeepsItsValueWithoutATotal) {
    EXPECT_EQ(ExportGaugeValue(50, 100), 50);
    EXPECT_EQ(ExportGaugeValue(100, 100), 100);
    EXPECT_EQ(ExportGaugeValue(2, 3), 67);
    EXPECT_EQ(ExportGaugeValue(10, 0), std::nullopt);
}

} // namespace
