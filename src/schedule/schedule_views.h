#pragma once

#include "schedule/next_event_finder.h"
#include "station/schedule_record.h"

#include <QDate>
#include <QString>
#include <vector>

struct StationState;

// The weekly views. lstSort holds the key lines, sorted: a blank and the day
// digit (1 = Sunday) first, so days come in week order and, within a day,
// the fixed-width text after it (time first) decides. lstWeeklySchedule shows
// each key line without its key.

// Every play time of every schedule in use: "Mon 08:00:00 " and the name in
// 25 characters.
WeeklyScheduleLists WeeklyPlaySchedule(const StationState& s);

// Every record row with a day, of the schedules that record (switch-only ones
// left out): the day, the time, the day of the editor's row, the name and the
// channel.
WeeklyScheduleLists WeeklyRecordSchedule(const StationState& s);

// The column heads over each view's lines, every head at the first character
// of its field, as the printed list stands its heads over its fields.
QString WeeklyPlayHeadings();
QString WeeklyRecordHeadings();

// One line of the printed schedule list. The text starts at print column 1
// (so column 5 is four blanks in), in Courier New at this size.
struct PrintLine {
    int pointSize;
    QString text;
};

// The printed schedule list: a heading, then for each schedule, in the order
// given, its settings under the column heads, its record times in the
// smaller size, and a blank line.
std::vector<PrintLine> ScheduleListPrintout(const StationState& s,
                                            const std::vector<ScheduleNo>& order,
                                            const QDate& today);
