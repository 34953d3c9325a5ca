#pragma once

#include "history/take_history.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class Station;

// What the Recordings window and the Eb/No chart show of the take history,
// worked out here so that the windows only display it.

// The headings of a take's texts, in order, and what each one means.
extern const QStringList TakeColumns;
extern const QStringList TakeColumnTips;

// One take as the Recordings window lists it.
struct TakeRow {
    QStringList texts; // one per TakeColumns entry; a figure not measured is empty
    QString name;
    QString outcome;            // its word
    bool failure = false;       // the take itself failed
    bool handOffFailed = false; // a copy to the playout store failed
    QString waveFile;           // station path, empty when nothing was recorded
    QString hostPath;           // of the wave file, empty when it no longer exists
    // Where the audition finds the recording: the weekday (0 = Sunday) and
    // slot its file is named after on today's wave drive; -1 when the file
    // is not one the audition can choose (another drive, a foreign name).
    int weekday = -1;
    int slot = 0;
};

// Why the audition cannot open the row's recording; empty when it can.
QString auditionRefusal(const TakeRow& row);

// The rows of the takes, in the order given (the history's: newest first).
QList<TakeRow> takeRows(const QList<TakeRecord>& takes, const Station& station);

// The start of the last days, today included.
QDateTime takesFrom(const QDate& today, int days);

// The outcome filter's values besides the outcome words.
inline constexpr const char* AllTakes = "";
inline constexpr const char* FailedTakes = "failures";
// (caption, value) of each outcome filter, "All" first.
QList<std::pair<QString, QString>> takeOutcomeChoices();

struct TakeFilter {
    QString outcome = AllTakes; // AllTakes, FailedTakes or an outcome word
    QString programme;          // contained in the name, in any case
    bool accepts(const TakeRow& row) const;
};
QList<TakeRow> filtered(const QList<TakeRow>& rows, const TakeFilter& filter);

// A take's time on the air: from its first audio (else its scheduled time)
// for the length it recorded (else the length it was due).
struct TakeSpan {
    QDateTime from, to;
    QString name;
    bool failure = false;
    bool operator==(const TakeSpan&) const = default;
};
// The spans of the takes that overlap the day, cut to it, earliest first.
QList<TakeSpan> takeSpansOn(const QList<TakeRecord>& takes, const QDate& day);
