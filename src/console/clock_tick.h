#pragma once

#include "platform/timers.h"
#include "station/station.h"
#include "station/tick_handoffs.h"

#include <array>
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

    // The end-of-message pulse: relay 0 on now, off a second later.
    void StartEomPulse();
    // A record channel (1 or 2) began its take: two seconds later its finder
    // looks for the programme after it.
    void RecordingBegan(int channel);

    std::unique_ptr<Timer> tmrClock;
    std::unique_ptr<Timer> TimerCueSwitch, TimerEOM, TimerGetNextSwitch;
    std::unique_ptr<Timer> tmrTimeChange;

private:
    // An occurrence of a scheduled event: its moment and its schedule.
    struct CuedEvent {
        qint64 at = -1;
        ScheduleNo slot = 0;
        bool operator==(const CuedEvent&) const = default;
    };

    // An occurrence of a programme that came due, named for the error log.
    struct DueEvent {
        CuedEvent event;
        QString name, time;
    };

    // What the tick keeps for one record channel.
    struct ChannelTick {
        int number = 0;
        // The countdown values at which the channel is cued; the second is a
        // second chance for a tick that missed the first.
        int firstCueAt = 0, secondCueAt = 0;
        std::unique_ptr<Timer> TimerCue{}, TimerGetNextRec{}, tmrPending{};
        // The occurrences the channel last cued, was last armed for, and last
        // reported as gone by unrecorded; the one it saw come due, until the
        // finder has moved on from it.
        CuedEvent lastCued{}, lastArmed{}, lastMissed{};
        DueEvent due{};
    };

    void findNextEvents();
    bool chosenFor(size_t finder, const CuedEvent& occurrence) const;
    static bool unreported(const ChannelTick& ch, const CuedEvent& occurrence);
    // A programme that came due, or whose start the clock passed, and was
    // never armed is lost: the error log says so once.
    void reportUnrecorded(ChannelTick& ch, const DueEvent& due, const char* why);
    void tickChannel(ChannelTick& ch, double clock, const QDate& today, qint64 midnight);
    void oneShot(std::unique_ptr<Timer>& timer, int intervalMs, std::function<void()> work,
                 bool disableFirst);

    Station& station_;
    TickHandoffs handoffs_;
    std::function<void()> afterTick_;
    // Channel 2 is cued three seconds after channel 1, so that their
    // receiver commands never meet.
    std::array<ChannelTick, 2> channels_{{{.number = 1, .firstCueAt = 7, .secondCueAt = 5},
                                          {.number = 2, .firstCueAt = 4, .secondCueAt = 2}}};
    CuedEvent lastSwitchCued_, lastSwitchMissed_;
    QDate lastTickDate_;
    int textSecond_ = -1;
    QDate textDate_;
    qint64 midnight_ = 0;
    QString timeText_, clockLabel_;
};
