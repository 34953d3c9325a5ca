#pragma once

#include "fakes/temp_station.h"
#include "history/take_history.h"

// A started station whose wave drive is P, with its take history on a real
// database, and the one builder of take records.
struct TakeStation {
    TakeStation() {
        t.writeSettings({});
        t.startUp();
        t.station->state.WaveDrive = "P";
    }
    static TakeRecord take(const QString& name, TakeOutcome outcome, const QDateTime& scheduled,
                           const QString& wave = {}, int slot = 12) {
        TakeRecord r;
        std::tie(r.slot, r.name, r.channel, r.scheduled) = std::tuple(slot, name, 2, scheduled);
        std::tie(r.lengthScheduled, r.outcome, r.waveFile) = std::tuple(1800, outcome, wave);
        return r;
    }
    bool write(TakeRecord r) { return history.write(r); }
    TempStation t;
    TakeHistory history{*t.station};
};
