#pragma once

#include "platform/clock.h"
#include "platform/timers.h"

#include <QDateTime>
#include <QTimeZone>
#include <vector>

// A clock and timers driven by their owner: advance() moves time forward and
// fires every due timer at its own moment, in order, so a test or the dry run
// of the week ahead can run days of 50 ms ticks quickly and exactly.
class VirtualTime : public Clock, public Timers {
public:
    explicit VirtualTime(const QDateTime& start);
    ~VirtualTime() override;

    // Kept as milliseconds since the epoch: a week of ticks is twelve million
    // advances, and local-time arithmetic on each would be most of the run.
    QDateTime now() const override {
        return spec_ == Qt::TimeZone ? QDateTime::fromMSecsSinceEpoch(epochMs_, zone_)
                                     : QDateTime::fromMSecsSinceEpoch(epochMs_, spec_, offset_);
    }
    qint64 monotonicMs() const override { return monotonic_; }
    bool setTimeOfDay(const QTime& time, QString* error) override;

    std::unique_ptr<Timer> create(int intervalMs) override;

    // Fires the timers due up to and including now + ms.
    void advance(qint64 ms);
    void advanceTo(const QDateTime& when) { advance(when.toMSecsSinceEpoch() - epochMs_); }
    // Moves the clock without firing anything (as a changed system clock would).
    void jumpTo(const QDateTime& when);

    void refuseTimeSetting(const QString& reason) { refuseReason_ = reason; }
    int timeSettings() const { return timeSettings_; }

    class VirtualTimer;

private:
    friend class VirtualTimer;
    qint64 epochMs_ = 0;
    Qt::TimeSpec spec_ = Qt::LocalTime;
    int offset_ = 0;
    // A start given in a time zone keeps it: Qt converts from its own copy of
    // the zone's rules, where local time asks the C library every time.
    QTimeZone zone_;
    qint64 monotonic_ = 0;
    qint64 nextSequence_ = 0;
    std::vector<VirtualTimer*> timers_;
    QString refuseReason_;
    int timeSettings_ = 0;
};
