#include "console/clock_tick.h"

#include "console/clock_label.h"
#include "console/set_up_notice.h"
#include "platform/clock.h"
#include "schedule/next_event_finder.h"
#include "station/log_files.h"
#include "station/time_format.h"

#include <cmath>

namespace {

constexpr int Week = 604800;

int roundHalfEven(double v) {
    return int(std::nearbyint(v));
}

// The countdown to an event at (time text, weekday), before the week
// correction (negative once the event has passed this week), and the moment
// of the occurrence it counts down to, in seconds since the epoch.
struct Countdown {
    int raw;
    qint64 at;
};

Countdown countdownTo(const QString& timeText, int day, const QDate& today, double clock,
                      qint64 midnight) {
    int days = day - StationWeekday(today);
    if (days < 0)
        days += 7;
    const int t = TimeTextSeconds(timeText);
    const int raw = roundHalfEven(double(days) * 86400.0 + t - clock);
    qint64 at = midnight + qint64(days) * 86400 + t;
    if (raw < -2)
        at += Week;
    return {raw, at};
}

// An event up to two seconds past still counts down (negative) so the tick
// can act on it; from three seconds past it shows next week's occurrence.
int weekCorrected(int secs) {
    return secs < -2 ? secs + Week : secs;
}

bool isTimeText(const QString& t) {
    return t.size() >= 3 && t.at(2) == ':';
}

// Whether "MM:SS" of the time text is a poll moment for the interval code.
bool isEbNoPollMoment(int interval, const QString& timeText) {
    const QString mmss = timeText.right(5);
    switch (interval) {
    case 1:
        return mmss == "00:12";
    case 2:
        return mmss == "00:12" || mmss == "30:12";
    case 3:
        return mmss == "00:12" || mmss == "20:12" || mmss == "40:12";
    case 4:
        return mmss == "00:12" || mmss == "15:12" || mmss == "30:12" || mmss == "45:12";
    case 5:
        return timeText.right(2) == "12";
    default:
        return false;
    }
}

} // namespace

struct ClockDispatcher::Channel {
    int number;
    QString StationState::*time;
    int32_t StationState::*day;
    ScheduleNo StationState::*slot;
    QString StationState::*name;
    int32_t StationState::*active;
    int32_t StationState::*pending;
    double StationState::*stopAt;
    double StationState::*pendingAt;
    double StationState::*startTimer;
    QString ConsoleDisplay::*countdownLabel;
    QString ConsoleDisplay::*elapsedLabel;
    std::unique_ptr<Timer> ClockDispatcher::*cueTimer;
    std::unique_ptr<Timer> ClockDispatcher::*findNextTimer;
    CuedEvent ClockDispatcher::*lastCued;
    CuedEvent ClockDispatcher::*lastDue;
    CuedEvent ClockDispatcher::*lastArmed;
    CuedEvent ClockDispatcher::*lastMissed;
    int firstCueAt, secondCueAt;
};

ClockDispatcher::ClockDispatcher(Station& station, TickHandoffs handoffs)
    : station_(station), handoffs_(handoffs) {
    Timers& timers = station_.timers();
    tmrClock = timers.create(50);
    tmrClock->setHandler([this] { ClockTick(); });

    oneShot(
        TimerCue, 1000,
        [this] {
            if (handoffs_.recording)
                handoffs_.recording->CueRecordChannel(1);
        },
        false);
    oneShot(
        TimerCueTwo, 1000,
        [this] {
            if (handoffs_.recording)
                handoffs_.recording->CueRecordChannel(2);
        },
        false);
    oneShot(
        TimerCueSwitch, 2000,
        [this] {
            if (handoffs_.switching)
                handoffs_.switching->CueSwitchOnly();
        },
        false);
    // Ends the end-of-message pulse the tick or the player's stop started.
    oneShot(
        TimerEOM, 1000,
        [this] {
            station_.state.RelayStates[0] = 0;
            if (handoffs_.relays)
                handoffs_.relays->WriteRelayOutputs();
        },
        false);
    oneShot(
        TimerGetNextRecOne, 1000, [this] { FindNextRecord1(station_); }, true);
    oneShot(
        TimerGetNextRecTwo, 1000, [this] { FindNextRecord2(station_); }, true);
    oneShot(
        TimerGetNextSwitch, 1000, [this] { FindNextSwitch(station_); }, true);
    oneShot(
        tmrPendingOne, 2000, [this] { FindNextRecord1(station_); }, true);
    oneShot(
        tmrPendingTwo, 2000, [this] { FindNextRecord2(station_); }, false);
    oneShot(
        tmrTimeChange, 4000,
        [this] {
            if (!handoffs_.timeChange)
                return;
            handoffs_.timeChange->AdjustForTimeChange();
            // The next events were found among the old times; the first of
            // each after the change would otherwise be an hour out.
            FindNextRecord1(station_);
            FindNextRecord2(station_);
            FindNextSwitch(station_);
        },
        false);
}

void ClockDispatcher::oneShot(std::unique_ptr<Timer>& timer, int intervalMs,
                              std::function<void()> work, bool disableFirst) {
    timer = station_.timers().create(intervalMs);
    Timer* t = timer.get();
    timer->setHandler([t, work = std::move(work), disableFirst] {
        if (disableFirst)
            t->setEnabled(false);
        work();
        if (!disableFirst)
            t->setEnabled(false);
    });
}

StartUpResult ClockDispatcher::Form_Load() {
    const StartUpResult result = station_.StartUp();
    if (!result.ok)
        return result;
    FindNextRecord1(station_);
    FindNextRecord2(station_);
    FindNextSwitch(station_);
    station_.state.PlayListMode = 1;
    if (handoffs_.playList)
        handoffs_.playList->BuildPlayList();
    ClockTick();
    tmrClock->setEnabled(true);
    return result;
}

void ClockDispatcher::ClockTick() {
    StationState& s = station_.state;
    ConsoleDisplay& display = station_.display;
    // One reading of the clock for the whole tick, so every step sees the
    // same second.
    const QDateTime now = station_.clock().now();
    const QDate today = now.date();
    const double clock = now.time().msecsSinceStartOfDay() / 1000.0;
    const int wholeClock = int(clock);
    const qint64 midnight = now.toSecsSinceEpoch() - wholeClock;
    // Texts of the second change twenty ticks apart: make them once.
    if (wholeClock != textSecond_ || today != textDate_) {
        textSecond_ = wholeClock;
        textDate_ = today;
        timeText_ = now.time().toString("HH:mm:ss");
        clockLabel_ = ClockLabelText(now);
        display.lblSetUp = SetUpNotice(s);
    }
    const QString& timeText = timeText_;

    // 1. Daylight-saving adjustment, just before 02:00 on a change date. A
    // console running into a new year needs that year's dates.
    if (today.year() != s.SpringChangeDate.year())
        std::tie(s.SpringChangeDate, s.FallChangeDate) = ComputeTimeChangeDates(today.year());
    if (clock > 7194 && clock < 7197 && s.TimeChangeAdjust == 1 &&
        (today == s.SpringChangeDate || today == s.FallChangeDate))
        tmrTimeChange->setEnabled(true);

    // 2. Play countdown and the end-of-message pulse.
    if (s.Playing == 1) {
        if (wholeClock == 0 && s.PlayEndAt > 86400)
            s.PlayEndAt -= 86400;
        const int secs = roundHalfEven(s.PlayEndAt - clock);
        if (secs < 0 && !s.EomSent) {
            s.RelayStates[0] = 1;
            if (handoffs_.relays)
                handoffs_.relays->WriteRelayOutputs();
            TimerEOM->setEnabled(true);
            s.EomSent = true;
        }
        display.lblPlayTime = FormatElapsed(secs);
    }

    // 3. Remote-control inputs, every tick.
    if (handoffs_.relays)
        handoffs_.relays->PollRemoteInputs();

    // 4. The clock label.
    display.lblClock = clockLabel_;

    // 5. Next switch: a second after it has passed, the finder moves on. Not
    // while the switch itself is still to come: a switch cued at the last
    // moment fires two seconds later, and must switch to this schedule, not
    // to the one after it.
    if (isTimeText(s.NextSwitchTime)) {
        int secs = countdownTo(s.NextSwitchTime, s.NextSwitchDay, today, clock, midnight).raw;
        if (secs < 0 && !TimerCueSwitch->isEnabled())
            TimerGetNextSwitch->setEnabled(true);
        secs = weekCorrected(secs);
        display.lblSwitchTimer = FormatCountdown(secs);
        if (!TimerCueSwitch->isEnabled() && secs == 1)
            TimerCueSwitch->setEnabled(true);
        if (!TimerCueSwitch->isEnabled() && secs == 0)
            TimerCueSwitch->setEnabled(true);
    }

    // Stop and dump times are times of day: one that lies past midnight is
    // brought into the new day on its first tick, or a recording running
    // across midnight would never stop.
    const bool newDay = lastTickDate_.isValid() && today > lastTickDate_;
    lastTickDate_ = today;
    if (newDay) {
        for (double* t : {&s.Rec1StopAt, &s.Rec1PendingAt, &s.Rec2StopAt, &s.Rec2PendingAt})
            if (*t >= 86400)
                *t -= 86400;
    }

    // 6. and 7. The record channels; channel 2 also refuses a time with a blank.
    if (isTimeText(s.NextRec1Time))
        tickChannel(channel(1), clock, today, midnight);
    if (!s.NextRec2Time.contains(' ') && isTimeText(s.NextRec2Time))
        tickChannel(channel(2), clock, today, midnight);

    // 8. Tomorrow's playlist, once, at 23:59:55.
    if (wholeClock == 86395 && s.MidnightListLatch == 0) {
        s.MidnightListLatch = 1;
        display.PlayList.clear();
        s.PlayListMode = 0;
        if (handoffs_.playList)
            handoffs_.playList->BuildPlayList();
    }
    if (clock > 86397 && s.MidnightListLatch == 1)
        s.MidnightListLatch = 0;

    // 9. Eb/No poll at the configured minutes, once per moment.
    if (s.EbNoPollLatch == 1 && timeText.right(2).toInt() > 13)
        s.EbNoPollLatch = 0;
    if (s.EbNoLogInterval >= 1 && s.EbNoLogInterval <= 5 && s.EbNoPollLatch == 0 &&
        isEbNoPollMoment(s.EbNoLogInterval, timeText) && handoffs_.ebNo)
        handoffs_.ebNo->PollEbNo();

    // 10. The daily purge, once, at 00:00:30.
    if (wholeClock == 30 && s.LogPurgeLatch == 0)
        PurgeOldFiles(station_);
    if (clock > 31 && s.LogPurgeLatch == 1)
        s.LogPurgeLatch = 0;

    if (afterTick_)
        afterTick_();
}

void ClockDispatcher::tickChannel(const Channel& ch, double clock, const QDate& today,
                                  qint64 midnight) {
    StationState& s = station_.state;
    const Countdown countdown = countdownTo(s.*ch.time, s.*ch.day, today, clock, midnight);
    const int raw = countdown.raw;
    const int secs = weekCorrected(raw);
    station_.display.*ch.countdownLabel = FormatCountdown(secs);

    // The second cue moment is a second chance for a tick that missed the
    // first, not a second cue: a cue sends the receiver its command and
    // prepares the channel's files, once per occurrence.
    Timer& cue = *(this->*ch.cueTimer);
    const CuedEvent event{countdown.at, s.*ch.slot};
    if (!cue.isEnabled() && (secs == ch.firstCueAt || secs == ch.secondCueAt) &&
        this->*ch.lastCued != event) {
        cue.setEnabled(true);
        this->*ch.lastCued = event;
    }

    RecordChannelControl* rec = handoffs_.recording;
    const bool timed = s.CueRecordStart == "T";
    // This occurrence's own moment, before the week correction moves a passed
    // one to next week.
    const CuedEvent occurrence{raw < -2 ? countdown.at - Week : countdown.at, s.*ch.slot};
    if (timed && secs < 1 && raw >= -2)
        this->*ch.lastDue = occurrence;
    if (timed && secs < 1 && s.*ch.active == 0 && s.*ch.pending == 0 && rec) {
        rec->ArmRecordChannel(ch.number);
        this->*ch.lastArmed = occurrence;
    }
    if (clock > s.*ch.stopAt && timed && s.*ch.active == 1 && rec)
        rec->StopRecordChannel(ch.number);
    if (clock > s.*ch.pendingAt && s.*ch.active == 0 && s.*ch.pending == 1 && rec)
        rec->DumpRecordChannel(ch.number);
    // An event that went by without being armed (the channel was still busy
    // with the previous programme, or nothing cued it) would otherwise hold
    // the channel for a week and every later programme on it would be lost.
    // Once it is past for good, look for the next one; an armed channel
    // waits for its audio or its dump, which move on themselves.
    if (raw < -2 && s.*ch.pending != 1) {
        // It came due but was never armed (the channel still held the
        // programme before it): the programme is lost, and the error log
        // must say so. A refused arm has said why already, and a remotely
        // started programme is not armed by time.
        if (timed && this->*ch.lastDue == occurrence && this->*ch.lastArmed != occurrence &&
            this->*ch.lastMissed != occurrence) {
            this->*ch.lastMissed = occurrence;
            LogError(station_, QString("Record channel %1: %2 due at %3 was not recorded")
                                   .arg(ch.number)
                                   .arg((s.*ch.name).trimmed(), s.*ch.time));
        }
        (this->*ch.findNextTimer)->setEnabled(true);
    }
    if (s.*ch.active == 1) {
        double elapsed = clock - s.*ch.startTimer;
        if (elapsed < 0)
            elapsed += 86400; // started before midnight
        station_.display.*ch.elapsedLabel = FormatElapsed(roundHalfEven(elapsed));
    }
}

const ClockDispatcher::Channel& ClockDispatcher::channel(int number) {
    static const Channel one{1,
                             &StationState::NextRec1Time,
                             &StationState::NextRec1Day,
                             &StationState::NextRec1Slot,
                             &StationState::NextRec1Name,
                             &StationState::Rec1Active,
                             &StationState::Rec1Pending,
                             &StationState::Rec1StopAt,
                             &StationState::Rec1PendingAt,
                             &StationState::Rec1StartTimer,
                             &ConsoleDisplay::lblRecTime,
                             &ConsoleDisplay::lblRecordTimerOne,
                             &ClockDispatcher::TimerCue,
                             &ClockDispatcher::TimerGetNextRecOne,
                             &ClockDispatcher::lastCuedOne_,
                             &ClockDispatcher::lastDueOne_,
                             &ClockDispatcher::lastArmedOne_,
                             &ClockDispatcher::lastMissedOne_,
                             7,
                             5};
    static const Channel two{2,
                             &StationState::NextRec2Time,
                             &StationState::NextRec2Day,
                             &StationState::NextRec2Slot,
                             &StationState::NextRec2Name,
                             &StationState::Rec2Active,
                             &StationState::Rec2Pending,
                             &StationState::Rec2StopAt,
                             &StationState::Rec2PendingAt,
                             &StationState::Rec2StartTimer,
                             &ConsoleDisplay::lblRecTimeTwo,
                             &ConsoleDisplay::lblRecordTimerTwo,
                             &ClockDispatcher::TimerCueTwo,
                             &ClockDispatcher::TimerGetNextRecTwo,
                             &ClockDispatcher::lastCuedTwo_,
                             &ClockDispatcher::lastDueTwo_,
                             &ClockDispatcher::lastArmedTwo_,
                             &ClockDispatcher::lastMissedTwo_,
                             4,
                             2};
    return number == 1 ? one : two;
}
