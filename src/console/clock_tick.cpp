#include "console/clock_tick.h"

#include "console/clock_label.h"
#include "console/set_up_notice.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "schedule/next_event_finder.h"
#include "station/log_files.h"
#include "station/time_format.h"

#include <cmath>

namespace {

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
    const int raw = roundHalfEven(double(days) * DaySeconds + t - clock);
    qint64 at = midnight + qint64(days) * DaySeconds + t;
    if (raw < -2)
        at += WeekSeconds;
    return {raw, at};
}

// Whether a deadline kept in seconds has passed, to the millisecond the clock
// reads: a stop time carried across midnight or moved by a Time Update picks
// up rounding in its last bit, and a tick landing on its very millisecond
// would stop the take before the card had handed over its last buffer.
bool passed(double clock, double deadline) {
    return std::llround(clock * 1000) > std::llround(deadline * 1000);
}

// An event up to two seconds past still counts down (negative) so the tick
// can act on it; from three seconds past it shows next week's occurrence.
int weekCorrected(int secs) {
    return secs < -2 ? secs + WeekSeconds : secs;
}

// Whether "MM:SS" of the time text is a poll moment for the interval code.
bool isEbNoPollMoment(int interval, const QString& timeText) {
    const QStringView mmss = QStringView(timeText).right(5);
    switch (interval) {
    case 1:
        return mmss == u"00:12";
    case 2:
        return mmss == u"00:12" || mmss == u"30:12";
    case 3:
        return mmss == u"00:12" || mmss == u"20:12" || mmss == u"40:12";
    case 4:
        return mmss == u"00:12" || mmss == u"15:12" || mmss == u"30:12" || mmss == u"45:12";
    case 5:
        return timeText.right(2) == u"12";
    default:
        return false;
    }
}

} // namespace

ClockDispatcher::ClockDispatcher(Station& station, TickHandoffs handoffs)
    : station_(station), handoffs_(handoffs) {
    Timers& timers = station_.timers();
    tmrClock = timers.create(50);
    tmrClock->setHandler([this] { ClockTick(); });

    for (ChannelTick& ch : channels_) {
        const int number = ch.number;
        oneShot(
            ch.TimerCue, 1000,
            [this, number] {
                if (handoffs_.recording)
                    handoffs_.recording->CueRecordChannel(number);
            },
            false);
        oneShot(
            ch.TimerGetNextRec, 1000, [this, number] { FindNextRecord(station_, number); }, true);
        oneShot(
            ch.tmrPending, 2000, [this, number] { FindNextRecord(station_, number); }, true);
    }
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
        TimerGetNextSwitch, 1000, [this] { FindNextSwitch(station_); }, true);
    oneShot(
        tmrTimeChange, 4000,
        [this] {
            if (!handoffs_.timeChange)
                return;
            handoffs_.timeChange->AdjustForTimeChange();
            // The next events were found among the old times; the first of
            // each after the change would otherwise be an hour out.
            findNextEvents();
        },
        false);
}

// Whether the finder chose this very occurrence, not the one a week on at the
// same weekday and time of day: only then has one gone by unrecorded.
bool ClockDispatcher::chosenFor(size_t finder, const CuedEvent& occurrence) const {
    const QDateTime& chosen = station_.weeklyLists.chosenAt[finder];
    return chosen.isValid() && chosen.toSecsSinceEpoch() == occurrence.at;
}

bool ClockDispatcher::unreported(const ChannelTick& ch, const CuedEvent& occurrence) {
    return ch.lastArmed != occurrence && ch.lastMissed != occurrence;
}

void ClockDispatcher::reportUnrecorded(ChannelTick& ch, const DueEvent& due, const char* why) {
    if (!unreported(ch, due.event))
        return;
    ch.lastMissed = due.event;
    LogError(station_, QString("Record channel %1: %2 due at %3 was not recorded%4")
                           .arg(ch.number)
                           .arg(due.name.trimmed(), due.time, why));
    if (handoffs_.recording)
        handoffs_.recording->MissedRecordChannel(
            ch.number, due.event.slot, QDateTime::fromSecsSinceEpoch(due.event.at),
            *why ? QString(why).mid(2) : QStringLiteral("it came due while the channel was busy"));
}

void ClockDispatcher::findNextEvents() {
    FindNextRecord(station_, 1);
    FindNextRecord(station_, 2);
    FindNextSwitch(station_);
}

void ClockDispatcher::StartEomPulse() {
    station_.state.RelayStates[0] = 1;
    if (handoffs_.relays)
        handoffs_.relays->WriteRelayOutputs();
    TimerEOM->setEnabled(true);
}

void ClockDispatcher::RecordingBegan(int channel) {
    channels_.at(size_t(channel - 1)).tmrPending->setEnabled(true);
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
    findNextEvents();
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
    // Texts of the second change twenty ticks apart: make them once. So does
    // the day's midnight, which costs local-time arithmetic.
    if (wholeClock != textSecond_ || today != textDate_) {
        textSecond_ = wholeClock;
        textDate_ = today;
        midnight_ = now.toSecsSinceEpoch() - wholeClock;
        timeText_ = now.time().toString("HH:mm:ss");
        clockLabel_ = ClockLabelText(now);
        display.lblSetUp = SetUpNotice(s, station_.paths().config());
    }
    const QString& timeText = timeText_;
    const qint64 midnight = midnight_;

    // 1. Daylight-saving adjustment, just before 02:00 on a change date. A
    // console running into a new year needs that year's dates.
    if (today.year() != s.SpringChangeDate.year())
        std::tie(s.SpringChangeDate, s.FallChangeDate) = ComputeTimeChangeDates(today.year());
    if (clock > 7194 && clock < 7197 && s.TimeChangeAdjust == 1 &&
        (today == s.SpringChangeDate || today == s.FallChangeDate))
        tmrTimeChange->setEnabled(true);

    // 2. Play countdown and the end-of-message pulse.
    if (s.Playing == 1) {
        if (wholeClock == 0 && s.PlayEndAt > DaySeconds)
            s.PlayEndAt -= DaySeconds;
        const int secs = roundHalfEven(s.PlayEndAt - clock);
        if (secs < 0 && !s.EomSent) {
            StartEomPulse();
            s.EomSent = true;
        }
        display.lblPlayTime = FormatElapsed(secs);
    }

    // 3. Remote-control inputs, every tick. A Time Update that sets the
    // clock ends the tick here: the rest would run on the time read before
    // it (a take would stop early against its moved stop time), and the
    // next tick, 50 ms on, reads the new time.
    if (handoffs_.relays && handoffs_.relays->PollRemoteInputs()) {
        textSecond_ = -1;
        if (afterTick_)
            afterTick_();
        return;
    }

    // 4. The clock label.
    display.lblClock = clockLabel_;

    // 5. Next switch: a second after it has passed, the finder moves on. Not
    // while the switch itself is still to come: a switch cued at the last
    // moment fires two seconds later, and must switch to this schedule, not
    // to the one after it. A switch found only once its second had begun
    // (one a second after another, whose cue held the finder back) is still
    // cued, late, up to two seconds after its time: otherwise it would pass
    // without a switch and without a word. Each occurrence is cued once.
    if (isTimeText(s.NextSwitchTime)) {
        const Countdown countdown =
            countdownTo(s.NextSwitchTime, s.NextSwitchDay, today, clock, midnight);
        const int raw = countdown.raw;
        const CuedEvent occurrence{countdown.at, s.NextSwitchSlot};
        if (!TimerCueSwitch->isEnabled() && raw <= 1 && raw >= -2 &&
            lastSwitchCued_ != occurrence) {
            TimerCueSwitch->setEnabled(true);
            lastSwitchCued_ = occurrence;
        }
        // Gone by uncued: the clock passed its time between two ticks.
        const CuedEvent passed{countdown.at - WeekSeconds, s.NextSwitchSlot};
        if (raw < -2 && lastSwitchCued_ != passed && lastSwitchMissed_ != passed &&
            chosenFor(2, passed)) {
            lastSwitchMissed_ = passed;
            LogError(station_,
                     QString("Switch: %1 due at %2 was not switched: the clock passed its time")
                         .arg(s.NextSwitchName.trimmed(), s.NextSwitchTime));
        }
        if (raw < 0 && !TimerCueSwitch->isEnabled())
            TimerGetNextSwitch->setEnabled(true);
        display.lblSwitchTimer = FormatCountdown(weekCorrected(raw));
    }

    // Stop and dump times are times of day: one that lies past midnight is
    // brought into the new day on its first tick, or a recording running
    // across midnight would never stop.
    const bool newDay = lastTickDate_.isValid() && today > lastTickDate_;
    lastTickDate_ = today;
    if (newDay) {
        for (RecordChannelState& c : s.RecChannels)
            for (double* t : {&c.RecStopAt, &c.RecPendingAt})
                if (*t >= DaySeconds)
                    *t -= DaySeconds;
    }

    // 6. and 7. The record channels; channel 2 also refuses a time with a blank.
    for (ChannelTick& ch : channels_) {
        const QString& time = s.Rec(ch.number).NextRecTime;
        if (isTimeText(time) && (ch.number == 1 || !time.contains(' ')))
            tickChannel(ch, clock, today, midnight);
    }

    // 8. Tomorrow's playlist, once, at 23:59:55.
    if (wholeClock == DaySeconds - 5 && s.MidnightListLatch == 0) {
        s.MidnightListLatch = 1;
        display.PlayList.clear();
        s.PlayListMode = 0;
        if (handoffs_.playList)
            handoffs_.playList->BuildPlayList();
    }
    if (clock > DaySeconds - 3 && s.MidnightListLatch == 1)
        s.MidnightListLatch = 0;

    // 9. Eb/No poll at the configured minutes, once per moment.
    if (s.EbNoPollLatch == 1 && QStringView(timeText).right(2).toInt() > 13)
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

void ClockDispatcher::tickChannel(ChannelTick& ch, double clock, const QDate& today,
                                  qint64 midnight) {
    const StationState& s = station_.state;
    RecordChannelState& c = station_.state.Rec(ch.number);
    RecordChannelDisplay& shown = station_.display.Rec(ch.number);
    const Countdown countdown = countdownTo(c.NextRecTime, c.NextRecDay, today, clock, midnight);
    const int raw = countdown.raw;
    const int secs = weekCorrected(raw);
    shown.lblRecTime = FormatCountdown(secs);

    // The second cue moment is a second chance for a tick that missed the
    // first, not a second cue: a cue sends the receiver its command and
    // prepares the channel's files, once per occurrence.
    Timer& cue = *ch.TimerCue;
    const CuedEvent event{countdown.at, c.NextRecSlot};
    if (!cue.isEnabled() && (secs == ch.firstCueAt || secs == ch.secondCueAt) &&
        ch.lastCued != event) {
        cue.setEnabled(true);
        ch.lastCued = event;
    }

    RecordChannelControl* rec = handoffs_.recording;
    const bool timed = s.CueRecordStart == "T";
    // This occurrence's own moment, before the week correction moves a passed
    // one to next week.
    const CuedEvent occurrence{raw < -2 ? countdown.at - WeekSeconds : countdown.at, c.NextRecSlot};
    // The finder can move on from a programme that came due while the
    // channel was busy before this tick saw it pass for good: it reruns two
    // seconds after the take before began, and that take's first audio may
    // have come seconds after its own start. The programme is lost all the
    // same, and the error log must say so.
    if (ch.due.event.at >= 0 && ch.due.event != occurrence) {
        reportUnrecorded(ch, ch.due, "");
        ch.due = {};
    }
    if (timed && secs < 1 && raw >= -2)
        ch.due = {occurrence, c.NextRecName, c.NextRecTime};
    // Once per occurrence: a clock set back over it must not record it twice.
    if (timed && secs < 1 && c.RecActive == 0 && c.RecPending == 0 && rec &&
        ch.lastArmed != occurrence) {
        rec->ArmRecordChannel(ch.number);
        ch.lastArmed = occurrence;
    }
    if (passed(clock, c.RecStopAt) && timed && c.RecActive == 1 && rec)
        rec->StopRecordChannel(ch.number);
    if (passed(clock, c.RecPendingAt) && c.RecActive == 0 && c.RecPending == 1 && rec)
        rec->DumpRecordChannel(ch.number);
    // An event that went by without being armed (the channel was still busy
    // with the previous programme, or nothing cued it) would otherwise hold
    // the channel for a week and every later programme on it would be lost.
    // Once it is past for good, look for the next one; an armed channel
    // waits for its audio or its dump, which move on themselves.
    if (raw < -2 && c.RecPending != 1) {
        // It was never armed: it came due while the channel still held the
        // programme before it, or the clock passed its start between two
        // ticks (a time set forward, a stalled machine). The programme is
        // lost, and the error log must say so. A refused arm has said why
        // already, and a remotely started programme is not armed by time.
        // One the clock passed was never cued either, so its start mode is
        // read from its schedule.
        const auto startsByTime = [&] {
            const auto record = s.SatListFile.read(c.NextRecSlot);
            return record && record->parse().SatRecordStart == "T";
        };
        const DueEvent event{occurrence, c.NextRecName, c.NextRecTime};
        if (ch.due.event == occurrence)
            reportUnrecorded(ch, event, "");
        else if (unreported(ch, occurrence) && chosenFor(size_t(ch.number - 1), occurrence) &&
                 startsByTime())
            reportUnrecorded(ch, event, ": the clock passed its start");
        ch.TimerGetNextRec->setEnabled(true);
    }
    if (c.RecActive == 1) {
        shown.lblRecordTimer = FormatElapsed(roundHalfEven(secondsBetween(c.RecStartTimer, clock)));
    }
}
