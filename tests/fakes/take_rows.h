#pragma once

#include "history/take_history.h"

#include <QStringList>

// Take history rows as lines of every figure, to a tenth, in the order
// given; a reason is cut before the host path it may name, which differs
// from run to run.
inline QStringList describeTakes(const QList<TakeRecord>& takes) {
    QStringList out;
    const auto f = [](double v) { return QString::number(v, 'f', 1); };
    for (const TakeRecord& r : takes) {
        QString s = QString("%1 #%2 ch%3 %4%5, cue %6, at ")
                        .arg(r.name)
                        .arg(r.slot)
                        .arg(r.channel)
                        .arg(outcomeWord(r.outcome),
                             r.why.isEmpty() ? "" : ": " + r.why.section(" (", 0, 0), r.cueOutcome);
        s += r.scheduled.toString("ddd hh:mm:ss") + "+" + f(r.firstAudioOffset) + " " +
             r.firstAudio.toString("hh:mm:ss.zzz") + ", " + f(r.lengthRecorded) + "/" +
             QString::number(r.lengthScheduled) + " s, gaps " + QString::number(r.gaps) + "/" +
             f(r.longestGap) + ", peak " + f(r.peakDbfs) + ", " + f(r.loudnessLufs) +
             " LUFS, Eb/No " + f(r.ebNoMin) + "/" + f(r.ebNoMean) + ", " + r.waveFile;
        for (const HandOffResult& h : r.handOffs)
            s += ", " + h.destination + " " + h.outcome +
                 (h.why.isEmpty() ? "" : ": " + h.why.section(" (", 0, 0));
        out << s;
    }
    return out;
}
