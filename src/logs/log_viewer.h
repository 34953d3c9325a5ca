#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

class DrivePaths;

// The rules of the log viewer: which days have a log of a kind ("AL", "ER",
// "EB") and the lines of one day.

constexpr const char* NoLogsFound = "No Logs Found";

// "MM/DD/YY" of every log of the kind, newest first; "No Logs Found" alone
// when there is none. Files whose names carry no date are passed over.
QStringList logDays(const DrivePaths& paths, const QString& kind);

// "Load Activity Log", "Load EbNo Log", "Load Error Log".
QString logWindowCaption(const QString& kind);
// "Activity Log for " (and so on) + the day.
QString logDayCaption(const QString& kind, const QString& day);
// What to show when no day is selected.
QString logSelectPrompt(const QString& kind);

// The lines of a "MM/DD/YY" day. By time: in file order. By event: each
// line's event text first, then a blank and its time, sorted by that text
// (kind "RL" keeps its lines as they are). A missing file gives the one line
// "Log for " + day + " does not exist.".
QStringList logDayLines(const DrivePaths& paths, const QString& kind, const QString& day,
                        bool byEvent);

// The date of a "MM/DD/YY" day; invalid when it is not one.
QDate logDayDate(const QString& day);

// One reading of an Eb/No log line ("HH:MM:SS  9.8 dB").
struct EbNoReading {
    QTime time;
    double dB = 0;
    bool operator==(const EbNoReading&) const = default;
};
// The readings of a day's lines in file order. Lines without a time or a
// figure (a poll the receiver did not answer, "-- dB", a damaged line) are
// passed over.
QList<EbNoReading> ebNoReadings(const QStringList& lines);
