#include "console/clock_label.h"
#include "station/sorted_list.h"
#include "station/time_format.h"
#include "support/test.h"

#include <limits>

namespace {

constexpr int IntMin = std::numeric_limits<int>::min(), IntMax = std::numeric_limits<int>::max();

// Elapsed times show hours only when there are any, within a day; event
// countdowns pad hours to three places up to a week, and their last two
// seconds below zero keep the width. Both are total over int: the most
// negative value has no int magnitude.
TEST(TimeFormatTest, ElapsedAndCountdown) {
    const std::pair<int, const char*> elapsed[] = {
        {3725, " 1:02:05"},  {65, "01:05"},         {45000, "12:30:00"},
        {0, "00:00"},        {86400 + 65, "01:05"}, {2 * 86400 + 3600, " 1:00:00"},
        {-5, "-00:05"},      {-3725, "-1:02:05"},   {IntMin, "-3:14:08"},
        {IntMax, " 3:14:07"}};
    for (const auto& [secs, text] : elapsed)
        EXPECT_EQ(FormatElapsed(secs), text) << secs;
    const std::pair<int, const char*> countdown[] = {
        {90061, " 25:01:01"},  {3725, "  1:02:05"}, {65, "    01:05"}, {0, "    00:00"},
        {604797, "167:59:57"}, {-1, "   -00:01"},   {-2, "   -00:02"}, {IntMin, "   -14:08"}};
    for (const auto& [secs, text] : countdown)
        EXPECT_EQ(FormatCountdown(secs), text) << secs;
}

TEST(TimeFormatTest, TimeTextsWeekdaysAndTheClockLabel) {
    const std::pair<const char*, int> seconds[] = {{"10:00:00", 36000},
                                                   {"23:59:59", 86399},
                                                   {"99:99:99", 99 * 3600 + 99 * 60 + 99},
                                                   {" 9:05:0x", 9 * 3600 + 5 * 60},
                                                   {"        ", 0}};
    for (const auto& [text, secs] : seconds)
        EXPECT_EQ(TimeTextSeconds(text), secs) << text;
    // Sunday is 1, Saturday 7.
    EXPECT_EQ(StationWeekday(QDate(2026, 12, 6)), 1);
    EXPECT_EQ(StationWeekday(QDate(2026, 12, 7)), 2);
    EXPECT_EQ(StationWeekday(QDate(2026, 12, 5)), 7);
    EXPECT_EQ(ClockLabelText(QDateTime(QDate(2026, 12, 5), QTime(7, 5, 12))),
              "Saturday  12/05/2026  Day 339  07:05:12");
    EXPECT_EQ(ClockLabelText(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))),
              "Tuesday  12/31/2024  Day 366  23:59:59");
}

QStringList texts(const SortedList& l) {
    QStringList out;
    for (const auto& i : l.items())
        out << i.text + "#" + QString::number(i.number);
    return out;
}

// The playlist and the finders rely on entries with equal texts staying in
// the order they were added; the finders' sort is case-insensitive.
TEST(SortedListTest, SortsByTextKeepingArrivalOrderAndTheSelection) {
    SortedList l;
    for (const auto& [text, n] : {std::pair{"15:00:00  news", 3},
                                  {"09:00:00  Early", 1},
                                  {"15:00:00  News", 7},
                                  {"15:00:00  Arts", 2}})
        l.add(text, n);
    EXPECT_EQ(texts(l), (QStringList{"09:00:00  Early#1", "15:00:00  Arts#2", "15:00:00  news#3",
                                     "15:00:00  News#7"}));
    SortedList binary(SortedList::Compare::Binary);
    for (const auto& [text, n] : {std::pair{"b", 1}, {"a", 3}, {"A", 2}})
        binary.add(text, n);
    EXPECT_EQ(texts(binary), (QStringList{"A#2", "a#3", "b#1"}));

    l.selected = 2; // "news#3"
    l.add("00:00:00  First", 4);
    EXPECT_EQ(l.at(l.selected).number, 3);
    l.removeAt(0);
    EXPECT_EQ(l.at(l.selected).number, 3);
    l.removeAt(l.selected);
    EXPECT_EQ(l.selected, -1);
    l.removeAt(5); // out of range: nothing happens
    EXPECT_EQ(l.count(), 3);
}

} // namespace
