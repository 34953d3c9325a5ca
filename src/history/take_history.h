#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <cmath>
#include <functional>
#include <memory>

class Station;

// How a due take ended. The words are what the history, its CSV and the
// metrics file show; they never change, since monitoring rules match them.
enum class TakeOutcome { Recorded, Short, Dumped, Refused, Missed };
QString outcomeWord(TakeOutcome outcome);
// Recorded for an unknown word: a damaged row still lists.
TakeOutcome outcomeFromWord(const QString& word);
inline bool isFailure(TakeOutcome outcome) {
    return outcome != TakeOutcome::Recorded;
}

// One destination of the hand-off to the playout store.
struct HandOffResult {
    QString destination;      // the folder or drive the copy went to
    QString outcome = "none"; // "verified", "failed" or "none"
    QString why;              // the reason of a failure
    bool operator==(const HandOffResult&) const = default;
};

// Everything kept of one programme a record channel was due to take.
// Times are the station's local clock; a figure that was not measured is NaN.
struct TakeRecord {
    qint64 id = 0; // given by the database when written
    int slot = 0;
    QString name;
    int channel = 0; // 1 or 2
    QDateTime scheduled;
    QString cueOutcome;            // "answered", "not used", or "failed: WHY"
    QDateTime firstAudio;          // invalid when no audio came
    double firstAudioOffset = NAN; // seconds from scheduled to first audio
    int lengthScheduled = 0;       // seconds
    double lengthRecorded = 0;     // seconds
    int gaps = 0;
    double longestGap = 0; // seconds
    double peakDbfs = NAN;
    double loudnessLufs = NAN; // integrated, EBU R128
    double ebNoMin = NAN, ebNoMean = NAN;
    QList<HandOffResult> handOffs;
    TakeOutcome outcome = TakeOutcome::Recorded;
    QString why;      // of a refused or missed take, a short or dump
    QString waveFile; // station path; empty when nothing was recorded
};

// The station's take history: an SQLite database beside the logs
// (c:\satfile\history.db). Every failure to open, write or read it is one
// error-log line and a false or empty answer; it never stops a recording.
class TakeHistory {
public:
    static inline const QString StationPath = "c:\\satfile\\history.db";

    // The station's own database, opened on first use.
    explicit TakeHistory(Station& station);
    // A database read without a station (the command line's --history):
    // failures go to the returned error text instead of the error log.
    static std::unique_ptr<TakeHistory> openForReading(const QString& hostPath, QString* error);
    ~TakeHistory();
    TakeHistory(const TakeHistory&) = delete;
    TakeHistory& operator=(const TakeHistory&) = delete;

    // Writes the row in one transaction and sets record.id. False when the
    // database could not take it (the error log says why).
    bool write(TakeRecord& record);
    // The outcome of one destination's copy, which ends after the take.
    bool setHandOff(qint64 id, const HandOffResult& result);
    // The takes scheduled at or after from, newest first.
    QList<TakeRecord> since(const QDateTime& from) const;
    // Drops the takes scheduled before the date (the activity-log retention).
    void purgeBefore(const QDate& date);
    // The station's mark that it is running, renewed while it runs: the last
    // one tells the next start-up since when the console was away. Invalid
    // when there is none.
    bool markRunning(const QDateTime& now);
    QDateTime lastRunning() const;
    // What the last failure said (path and reason); empty after a success.
    QString lastError() const;

    // Heard on every row and hand-off as it is written, whether the database
    // took it or not, so that monitoring learns of a take even when the
    // disk cannot keep it.
    std::function<void(const TakeRecord&)> taken;
    std::function<void(qint64 id, const HandOffResult&)> handedOff;

private:
    struct Impl;
    explicit TakeHistory(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
