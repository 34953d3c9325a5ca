#pragma once

#include "history/take_history.h"
#include "platform/station_config.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The command line's answer to --history: what to print and the exit status.
struct HistoryListing {
    int exitStatus = 0;
    QString csv;
    QString error;
};

// The takes scheduled in the days before now, oldest first, read from the
// station's take history without starting the station and without writing
// anything: a station that has no history yet lists no takes.
HistoryListing ListHistory(const StationConfig& config, const QDateTime& now, int days);

// The takes as CSV: a header line, then one line a take in the order given.
// Fields with a comma, a quote or a line break are quoted; a figure that was
// not measured is an empty field.
QString TakesCsv(const QList<TakeRecord>& takes);
