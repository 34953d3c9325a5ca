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
        r.slot = slot;
        r.name = name;
        r.channel = 2;
        r.scheduled = scheduled;
        r.lengthScheduled = 1800;
        r.outcome = outcome;
        r.waveFile = wave;
        return r;
    }
    bool write(TakeRecord r) { return history.write(r); }
    TempStation t;
    TakeHistory history{*t.station};
};
