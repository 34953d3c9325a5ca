#pragma once

#include "platform/station_config.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <vector>

// One thing the station would do, at its moment.
struct WeekAheadEvent {
    QDateTime at;
    // receiver, cue, arm, record, stop, dump, switch, handoff, playlist,
    // rebuild, purge, timechange, shift, conflict, error, message
    QString kind;
    // "1" or "2" for a record channel, "3" for a switch, "-" for none.
    QString channel;
    QString details;

    // "date time kind channel details"
    QString line() const;
    // A conflict or a row the time change moves: what the operator must see.
    bool marked() const { return kind == "conflict" || kind == "shift"; }
};

// The events of one kind on one channel, either empty for any, in order.
std::vector<const WeekAheadEvent*> FilterWeekAhead(const std::vector<WeekAheadEvent>& events,
                                                   const QString& kind, const QString& channel);

struct WeekAhead {
    // False with the reason when the station could not be started.
    bool ok = true;
    QString error;
    // In the order of their moments; those of one moment as they happened.
    std::vector<WeekAheadEvent> events;
};

// Runs the station of the configuration for the days from the moment given
// (the start of its second) by its own clock tick, finders, cue, recording,
// hand-off, playlist, purge and time change, on a private copy of its data
// files with simulated hardware: programme audio always present, a receiver
// that answers. Nothing of the real station is written. A cancel set from
// another thread ends the run early, as not ok.
WeekAhead RunWeekAhead(const StationConfig& config, const QDateTime& from, int days,
                       const std::atomic<bool>* cancel = nullptr);
