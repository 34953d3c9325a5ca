#pragma once

#include <QDate>
#include <QString>
#include <optional>

class Station;

// Station path of one day's log: prefix "AL", "ER" or "EB".
QString logFileStationPath(const QString& prefix, const QDate& date);

// Appends "HH:MM:SS  LogText" to today's activity log when the activity log
// is switched on. False when the line could not be written.
bool LogActivity(Station& station, const QString& LogText);
// The error log, under the same switch.
bool LogError(Station& station, const QString& LogText);
// The Eb/No log; written whatever the switch says.
bool LogEbNo(Station& station, const QString& EbNoText);

// The date one retention period before a date: code 1 a day, 2 a week,
// 3 a month, 4 a year; nothing for any other code (no period chosen).
std::optional<QDate> onePeriodBefore(const QDate& date, int periodCode);

// The daily purge: the recordings of the weekday WaveKeepDays back but those
// in use or written since that day, the activity, error and Eb/No logs dated
// exactly one period back, and the takes of the history up to that day. Sets
// LogPurgeLatch.
void PurgeOldFiles(Station& station);
