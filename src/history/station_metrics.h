#pragma once

#include "history/take_history.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

class Station;
class Timer;

// The station's health for a monitoring system: a text file in the metrics
// exposition format that a node exporter's textfile collector reads,
// rewritten whole (a reader never sees half a file) when the station starts,
// once a minute and at a clean shut-down. It learns of takes and hand-offs
// from the take history and of the signal from the Eb/No poll.
class StationMetrics {
public:
    StationMetrics(Station& station, QString hostPath);
    ~StationMetrics();
    StationMetrics(const StationMetrics&) = delete;
    StationMetrics& operator=(const StationMetrics&) = delete;

    // Writes the file and then once a minute. Nothing is written before: a
    // console refused at start-up leaves the running one's file alone.
    void start();
    // Writes the file one last time with varnola_up 0 and stops.
    void stop();

    void taken(const TakeRecord& take);
    void handedOff(qint64 id, const HandOffResult& result);
    // An Eb/No reading's figure, in dB.
    void ebNoRead(double dB) { ebNo_ = dB; }

    // What the file holds when written now.
    QString text() const;

private:
    void write();

    Station& station_;
    QString path_;
    std::unique_ptr<Timer> timer_;
    bool up_ = false;
    // Set while the file cannot be written: one error-log line an outage.
    bool failing_ = false;
    QDateTime lastTick_;
    // By channel (1 and 2) and outcome.
    std::array<std::array<qint64, 5>, 2> takes_{};
    std::array<std::optional<TakeOutcome>, 2> lastOutcome_;
    std::array<QDateTime, 2> lastTakeAt_;
    double ebNo_ = NAN;
    qint64 handOffFailures_ = 0;
    // The copies already counted as failed, by take and destination, so a
    // failure that is told twice (with the row and again later) counts once.
    QSet<QString> failedCopies_;
};

// A label value as the exposition format quotes it: backslash, double quote
// and line feed escaped.
QString metricLabelValue(const QString& value);
