#include "station/time_format.h"
#include "support/test.h"

#include <QDate>
#include <limits>

namespace {

TEST(TimeFormatTest, ElapsedShowsHoursOnlyWhenThereAreAny) {
    EXPECT_EQ(FormatElapsed(3725), " 1:02:05");
    EXPECT_EQ(FormatElapsed(65), "01:05");
    EXPECT_EQ(FormatElapsed(45000), "12:30:00");
    EXPECT_EQ(FormatElapsed(0), "00:00");
    EXPECT_EQ(FormatElapsed(86400 + 65), "01:05");
    EXPECT_EQ(FormatElapsed(2 * 86400 + 3600), " 1:00:00");
    EXPECT_EQ(FormatElapsed(-5), "-00:05");
    EXPECT_EQ(FormatElapsed(-3725), "-1:02:05");
    // Total over int: the most negative value has no int magnitude.
    EXPECT_EQ(FormatElapsed(std::numeric_limits<int>::min()), "-3:14:08");
    EXPECT_EQ(FormatElapsed(std::numeric_limits<int>::max()), " 3:14:07");
}

TEST(TimeFormatTest, CountdownPadsHoursToThreePlacesUpToAWeek) {
    EXPECT_EQ(FormatCountdown(90061), " 25:01:01");
    EXPECT_EQ(FormatCountdown(3725), "  1:02:05");
    EXPECT_EQ(FormatCountdown(65), "    01:05");
    EXPECT_EQ(FormatCountdown(0), "    00:00");
    EXPECT_EQ(FormatCountdown(604797), "167:59:57");
    EXPECT_EQ(FormatCountdown(-1), "   -00:01");
    EXPECT_EQ(FormatCountdown(-2), "   -00:02");
    EXPECT_EQ(FormatCountdown(-2).size(), FormatCountdown(65).size());
    EXPECT_EQ(FormatCountdown(std::numeric_limits<int>::min()), "   -14:08");
}

TEST(TimeFormatTest, TimeTextReadsNumbersAsFarAsTheyGo) {
    EXPECT_EQ(TimeTextSeconds("10:00:00"), 36000);
    EXPECT_EQ(TimeTextSeconds("23:59:59"), 86399);
    EXPECT_EQ(TimeTextSeconds("99:99:99"), 99 * 3600 + 99 * 60 + 99);
    EXPECT_EQ(TimeTextSeconds(" 9:05:0x"), 9 * 3600 + 5 * 60);
    EXPECT_EQ(TimeTextSeconds("        "), 0);
}

TEST(TimeFormatTest, WeekdaysCountFromSunday) {
    EXPECT_EQ(StationWeekday(QDate(2026, 12, 6)), 1); // Sunday
    EXPECT_EQ(StationWeekday(QDate(2026, 12, 7)), 2);
    EXPECT_EQ(StationWeekday(QDate(2026, 12, 5)), 7); // Saturday
}

} // namespace
