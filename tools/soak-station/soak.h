#pragma once

// The real-time soak's parts, one subcommand each: lay out the station and
// the harness's timetable, feed an input FIFO in real time, watch the relay
// port, report on the run.
#include "platform/audio.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Each programme the soak schedules, as the report reads it back.
struct PlannedTake {
    qint64 slot = 0;
    int channel = 0;  // record channel, 1 or 2
    qint64 at = 0;    // seconds since the epoch
    int seconds = 0;  // scheduled length
    int channels = 2; // in the wave file: 1 for a one-sided route
    int winjock = 0;  // its name in the playout stores
    QString wave;     // station path of the take
    QString name;
    qint64 end() const { return at + seconds; }
};

// plan.txt: "soak BEGIN END" then "take SLOT CHANNEL AT SECONDS CHANNELS
// WINJOCK WAVE NAME" a line, the name last since it holds blanks.
struct Plan {
    qint64 begin = 0, end = 0;
    QVector<PlannedTake> takes;

    void save(const QString& path) const;
    bool load(const QString& path, QString* error);
};

// The console's input buffer in frames, for a take of this many channels.
inline int framesPerBuffer(int channels) {
    return AudioBufferBytes / (2 * channels);
}

int layOut(const QStringList& args);
int feed(const QStringList& args);
int watchRelays(const QStringList& args);
int report(const QStringList& args);
