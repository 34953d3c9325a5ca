#include "station/schedule_record.h"
#include "support/test.h"

namespace {

ScheduleFields sample() {
    ScheduleFields f;
    f.SatName = "Morning Report";
    f.SatLen = "59:30";
    f.SatLang = "AA1";
    f.SatPort = "2";
    f.SatRoute = "S";
    f.SatAtt = "3";
    f.SatPlayStart = "M";
    f.SatRecordStart = "T";
    f.RecChan = "1";
    f.PlayTimes[0] = "06:00:00";  // Sunday slot 0
    f.PlayTimes[5] = "07:30:00";  // Monday slot 1
    f.PlayTimes[27] = "23:59:00"; // Saturday slot 3
    f.RecDays = {2, 3, 0, 0, 0, 0, 7};
    f.RecTimes[0] = "05:00:00";
    f.RecTimes[1] = "05:00:10";
    f.RecTimes[6] = "23:00:00";
    return f;
}

TEST(ScheduleRecordTest, BuildPutsEveryFieldAtItsPosition) {
    const QByteArray b = ScheduleRecord::build(sample()).bytes();
    ASSERT_EQ(b.size(), 331);
    EXPECT_EQ(b.mid(0, 1), "1");
    EXPECT_EQ(b.mid(1, 25), "Morning Report           ");
    EXPECT_EQ(b.mid(26, 5), "59:30");
    EXPECT_EQ(b.mid(31, 3), "AA1");
    EXPECT_EQ(b.mid(34, 1), "2");
    EXPECT_EQ(b.mid(35, 1), "S");
    EXPECT_EQ(b.mid(36, 2), "3 ");
    EXPECT_EQ(b.mid(38, 1), "M");
    EXPECT_EQ(b.mid(39, 1), "T");
    EXPECT_EQ(b.mid(40, 1), "1");
    EXPECT_EQ(b.mid(41, 8), "06:00:00");
    EXPECT_EQ(b.mid(41 + 5 * 8, 8), "07:30:00");
    EXPECT_EQ(b.mid(41 + 27 * 8, 8), "23:59:00");
    EXPECT_EQ(b.mid(41 + 8, 8), "        ");
    EXPECT_EQ(b.mid(265, 7), "2300007");
    EXPECT_EQ(b.mid(272, 8), "05:00:00");
    EXPECT_EQ(b.mid(280, 8), "05:00:10");
    EXPECT_EQ(b.mid(272 + 6 * 8, 8), "23:00:00");
    EXPECT_EQ(b.mid(328, 3), "   ");
}

TEST(ScheduleRecordTest, ParseGivesBackWhatWasBuilt) {
    const ScheduleFields f = ScheduleRecord::build(sample()).parse();
    EXPECT_TRUE(f.inUse());
    EXPECT_EQ(f.SatName, "Morning Report           ");
    EXPECT_EQ(f.SatLen, "59:30");
    EXPECT_EQ(f.SatAtt, "3 ");
    EXPECT_EQ(f.RecChan, "1");
    EXPECT_EQ(f.PlayTimes[5], "07:30:00");
    EXPECT_EQ(f.PlayTimes[6], "        ");
    EXPECT_EQ(f.RecDays, (std::array<int, 7>{2, 3, 0, 0, 0, 0, 7}));
    EXPECT_EQ(f.RecTimes[1], "05:00:10");
    EXPECT_EQ(f.RecTimes[2], "        ");
}

TEST(ScheduleRecordTest, LongValuesAreCutAndShortOnesLeaveBlanks) {
    ScheduleFields f = sample();
    f.SatName = "A Thirty Character Programme!"; // 29
    f.SatName += "X";                            // 30
    f.SatAtt = "14";
    f.SatLang = "TOOLONG";
    f.SatLen = ""; // a switch-only schedule
    const QByteArray b = ScheduleRecord::build(f).bytes();
    ASSERT_EQ(b.size(), 331);
    EXPECT_EQ(b.mid(1, 25), "A Thirty Character Progra");
    EXPECT_EQ(b.mid(26, 5), "     ");
    EXPECT_EQ(b.mid(31, 3), "TOO");
    EXPECT_EQ(b.mid(36, 2), "14");
    EXPECT_EQ(b.mid(34, 1), "2"); // neighbours untouched by the cut
}

TEST(ScheduleRecordTest, ParseDropsLeadingBlanksAndReadsNonDigitDaysAsOff) {
    QByteArray b = ScheduleRecord::build(sample()).bytes();
    b.replace(1, 25, "   Padded Name           ");
    b.replace(41, 8, "  9:00:0");
    b.replace(265, 7, " x3-5A9");
    const ScheduleFields f = ScheduleRecord(b).parse();
    EXPECT_EQ(f.SatName, "Padded Name              ");
    EXPECT_EQ(f.PlayTimes[0], "9:00:0  ");
    EXPECT_EQ(f.RecDays, (std::array<int, 7>{0, 0, 3, 0, 5, 0, 9}));
}

TEST(ScheduleRecordTest, DeletedRecordIsZeroAndBlanksAndNotInUse) {
    const ScheduleRecord r = ScheduleRecord::deleted();
    EXPECT_EQ(r.bytes(), QByteArray("0") + QByteArray(330, ' '));
    EXPECT_FALSE(r.inUse());
    const ScheduleFields f = r.parse();
    EXPECT_FALSE(f.inUse());
    EXPECT_EQ(f.RecDays, (std::array<int, 7>{}));
}

TEST(ScheduleRecordTest, ShortInputIsPaddedToAWholeRecord) {
    const ScheduleRecord r(QByteArray("1Name"));
    EXPECT_EQ(r.bytes().size(), 331);
    EXPECT_TRUE(r.inUse());
    EXPECT_EQ(r.parse().SatName.trimmed(), "Name");
}

} // namespace
