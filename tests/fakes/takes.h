#pragma once

#include "fakes/temp_station.h"
#include "history/take_history.h"

#include <QStringList>

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

// Take history rows as lines of every figure, to a tenth, in the order
// given; a reason is cut before the host path it may name, which differs
// from run to run.
inline QStringList describeTakes(const QList<TakeRecord>& takes) {
    QStringList out;
    const auto f = [](double v) { return QString::number(v, 'f', 1); };
    const auto n = [](qint64 v) { return QString::number(v); };
    const auto why = [](QString w) { return w.isEmpty() ? w : ": " + w.section(" (", 0, 0); };
    for (const TakeRecord& r : takes) {
        QString s = QString("%1 #%2 ch%3 %4%5, cue %6, at %7+%8 %9")
                        .arg(r.name, n(r.slot), n(r.channel), outcomeWord(r.outcome), why(r.why),
                             r.cueOutcome, r.scheduled.toString("ddd hh:mm:ss"),
                             f(r.firstAudioOffset), r.firstAudio.toString("hh:mm:ss.zzz"));
        s += QString(", %1/%2 s, gaps %3/%4, peak %5, %6 LUFS, Eb/No %7/%8, %9")
                 .arg(f(r.lengthRecorded), n(r.lengthScheduled), n(r.gaps), f(r.longestGap),
                      f(r.peakDbfs), f(r.loudnessLufs), f(r.ebNoMin), f(r.ebNoMean), r.waveFile);
        for (const HandOffResult& h : r.handOffs)
            s += ", " + h.destination + " " + h.outcome + why(h.why);
        out << s;
    }
    return out;
}
