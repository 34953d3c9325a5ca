#pragma once

#include "platform/timers.h"
#include "station/station.h"
#include "station/tick_handoffs.h"

#include <functional>
#include <memory>

// The console's clock timer and its one-shot timers. The 50 ms tick is the
// single driver of the unattended station: it compares the time of day with
// the next events and, at fixed countdown values, enables one-shot timers
// that do the work a fixed delay later.
class ClockDispatcher {
public:
    ClockDispatcher(Station& station, TickHandoffs handoffs);

    // The tmrClock handler.
    void ClockTick();

    // The console's load: start-up, the three finders, the playlist, then the
    // clock starts. On a start-up failure nothing runs.
    StartUpResult Form_Load();

    // Called after every tick, for the window to render the display model.
    void setAfterTick(std::function<void()> afterTick) { afterTick_ = std::move(afterTick); }

    TickHandoffs& handoffs() { return handoffs_; }

    std::unique_ptr<Timer> tmrClock;
    std::unique_ptr<Timer> TimerCue, TimerCueTwo, TimerCueSwitch, TimerEOM;
    std::unique_ptr<Timer> TimerGetNextRecOne, TimerGetNextRecTwo, TimerGetNextSwitch;
    std::unique_ptr<Timer> tmrPendingOne, tmrPendingTwo;
    std::unique_ptr<Timer> tmrTimeChange;

    // What differs between the two record channels in the tick.
    struct Channel;

private:
    // An occurrence of a scheduled event: its moment and its schedule.
    struct CuedEvent {
        qint64 at = -1;
        ScheduleNo slot = 0;
        bool operator==(const CuedEvent&) const = default;
    };

    static const Channel& channel(int number);
    void tickChannel(const Channel& ch, double clock, const QDate& today, qint64 midnight);
    void oneShot(std::unique_ptr<Timer>& timer, int intervalMs, std::function<void()> work,
                 bool disableFirst);

    Station& station_;
    TickHandoffs handoffs_;
    std::function<void()> afterTick_;
    CuedEvent lastCuedOne_, lastCuedTwo_;
    // The occurrences each channel last saw come due, was last armed for, and
    // last reported as gone by unrecorded.
    CuedEvent lastDueOne_, lastDueTwo_, lastArmedOne_, lastArmedTwo_, lastMissedOne_,
        lastMissedTwo_;
    QDate lastTickDate_;
    int textSecond_ = -1;
    QDate textDate_;
    QString timeText_, clockLabel_;
};
