#include "station/sorted_list.h"
#include "station/time_format.h"
#include "support/test.h"

#include <climits>

namespace {

// Both formats are total over int: the most negative value has no int
// magnitude.
TEST(TimeFormatTest, TimeTextsAndTheSortedList) {
    const int min = INT_MIN, max = INT_MAX;
    // clang-format off
    for (const auto& [secs, text] : {std::pair{3725, " 1:02:05"}, {65, "01:05"},
         {45000, "12:30:00"}, {0, "00:00"}, {86400 + 65, "01:05"}, {2 * 86400 + 3600, " 1:00:00"},
         {-5, "-00:05"}, {-3725, "-1:02:05"}, {min, "-3:14:08"}, {max, " 3:14:07"}})
        EXPECT_EQ(FormatElapsed(secs), text) << secs;
    for (const auto& [secs, text] : {std::pair{90061, " 25:01:01"}, {3725, "  1:02:05"},
         {65, "    01:05"}, {0, "    00:00"}, {604797, "167:59:57"}, {-1, "   -00:01"},
         {-2, "   -00:02"}, {min, "   -14:08"}})
        EXPECT_EQ(FormatCountdown(secs), text) << secs;
    for (const auto& [text, secs] : {std::pair{"10:00:00", 36000}, {"23:59:59", 86399},
         {"99:99:99", 99 * 3600 + 99 * 60 + 99}, {" 9:05:0x", 9 * 3600 + 5 * 60}, {"        ", 0}})
        EXPECT_EQ(TimeTextSeconds(text), secs) << text;
    // clang-format on
    // The playlist and the finders rely on entries with equal texts staying in
    // the order they were added.
    SortedList l;
    for (const auto& [text, n] : {std::pair{"15:00:00  news", 3},
                                  {"09:00:00  Early", 1},
                                  {"15:00:00  News", 7},
                                  {"15:00:00  Arts", 2}})
        l.add(text, n);
    QStringList texts;
    for (const auto& i : l.items())
        texts << i.text + "#" + QString::number(i.number);
    EXPECT_EQ(texts.join(", "),
              "09:00:00  Early#1, 15:00:00  Arts#2, 15:00:00  news#3, 15:00:00  News#7");
    l.selected = 2; // news#3
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
