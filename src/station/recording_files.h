#pragma once

#include "station/schedule_record.h"

#include <QString>
#include <utility>

// How the recorder names a take's files, and the marks file beside each wave
// file; the record channels, the player, the audition and the export all
// find recordings through these.

// Station path of a recording's wave or marks file for a weekday's name and
// slot, upper-cased as the recorder names them.
QString recordingFile(const QString& waveDrive, const QString& dayName, qint64 slot,
                      const QString& extension);

// The station paths of a recording and its marks file; empty when the drive
// is not a letter or the slot is not a schedule's.
struct RecordingNames {
    QString wave;
    QString marks;
    bool operator==(const RecordingNames&) const = default;
};
RecordingNames recordingFileNames(const QString& waveDrive, const QString& dayName,
                                  ScheduleNo slot);

// The marks file's end-of-message and end-of-file times, 0 when not set. A
// mark outside the recording's length (a damaged or foreign file) reads as
// not set, which means the recording's end.
std::pair<double, double> readMarks(const QString& hostPath, double lengthSeconds);
bool writeMarks(const QString& hostPath, double eom, double endOfFile, QString* error);
