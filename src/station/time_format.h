#pragma once

#include <QDateTime>
#include <QString>

inline constexpr int DaySeconds = 86400;
inline constexpr int WeekSeconds = 7 * DaySeconds;

// Seconds from one time of day to a later one, the later possibly past
// midnight (a take that began before midnight and runs on after it).
double secondsBetween(double earlier, double later);

// Elapsed times and the play countdown: hours only when there are any,
// reduced to within a day. 3725 -> " 1:02:05", 65 -> "01:05".
// Below zero (a play countdown just past its end) the magnitude is shown
// after a minus sign: -5 -> "-00:05".
QString FormatElapsed(int Secs);

// Event countdowns, up to a week: hours padded to three places.
// 90061 -> " 25:01:01", 3725 -> "  1:02:05", 65 -> "    01:05".
// The tick keeps an event one or two seconds in the past before it moves to
// next week; those seconds show as "   -00:01" and "   -00:02", the same
// width as every other countdown.
QString FormatCountdown(int Secs);

// Whether a schedule's time holds a time ("HH:MM:SS" with its colon in
// place) rather than blanks.
bool isTimeText(const QString& t);

// Seconds of "HH:MM:SS" after midnight, each part read as a number as far as
// it goes (blanks and stray characters read as 0).
int TimeTextSeconds(const QString& timeText);

// The station's weekday numbering: 1 = Sunday ... 7 = Saturday.
int StationWeekday(const class QDate& date);

// The moment of a weekly event ("HH:MM:SS" on a station weekday) nearest to
// now, before or after it: the occurrence a cue, an arm or a miss is about.
QDateTime occurrenceNear(const QString& timeText, int day, const QDateTime& now);
