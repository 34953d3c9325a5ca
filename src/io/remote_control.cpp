#include "io/remote_control.h"

#include "platform/clock.h"
#include "platform/io_ports.h"
#include "recording/record_channel.h"
#include "station/log_files.h"
#include "station/messages.h"
#include "station/station.h"

namespace {

constexpr int ParallelData = 888, ParallelStatus = 889;
constexpr int CardOutLow = 644, CardIn = 645, CardOutHigh = 646;

// The stop, dump and end-of-play times are times of day worked out from the
// clock when a take or a play began; when the clock is set they move with it,
// so a take still lasts its scheduled length and a play's end-of-message
// pulse still comes at the end of the programme.
void moveDeadlines(StationState& s, double seconds) {
    for (RecordChannelState& c : s.RecChannels) {
        if (c.RecActive == 1)
            c.RecStopAt += seconds;
        else if (c.RecPending == 1)
            c.RecPendingAt += seconds;
    }
    if (s.Playing == 1)
        s.PlayEndAt += seconds;
}

} // namespace

RemoteControl::RemoteControl(Station& station, IoPorts& ports) : station_(station), ports_(ports) {}

bool RemoteControl::usable(bool ok) {
    if (ok)
        return true;
    if (!failed_) {
        // Once: a missing port device would otherwise complain twenty times
        // a second. The station goes on without relays.
        failed_ = true;
        const QString why =
            "Relay and remote-control hardware cannot be used: " + ports_.lastError();
        LogError(station_, why);
        station_.messages().ShowMessage(why);
    }
    pollsSinceFailure_ = 0;
    return false;
}

// The hardware is tried again every 100 polls (five seconds): the port
// helper restarted by an upgrade, or a device plugged in late, must not
// leave the station without its contacts and relays for the rest of the run.
bool RemoteControl::restingAfterFailure() {
    const int card = station_.state.RelayCardType;
    if (!failed_ || ++pollsSinceFailure_ < 100 || (card != 1 && card != 2))
        return failed_;
    const auto in = ports_.Inp(card == 1 ? ParallelStatus : CardIn);
    if (!usable(in.has_value()))
        return true;
    failed_ = false;
    LogError(station_, "Relay and remote-control hardware can be used again");
    WriteRelayOutputs();
    return false;
}

void RemoteControl::WriteRelayOutputs() {
    const StationState& s = station_.state;
    if (failed_ || (s.RelayCardType != 1 && s.RelayCardType != 2))
        return;
    int low = 0, high = 0;
    for (int i = 0; i < 8; ++i)
        low += (s.RelayStates[size_t(i)] ? 1 : 0) << i;
    for (int i = 8; i < 12; ++i)
        high += (s.RelayStates[size_t(i)] ? 1 : 0) << (i - 8);
    if (s.RelayCardType == 1) {
        usable(ports_.Outp(ParallelData, uint8_t(low)));
    } else if (usable(ports_.Outp(CardOutLow, uint8_t(low)))) {
        usable(ports_.Outp(CardOutHigh, uint8_t(high)));
    }
}

bool RemoteControl::PollRemoteInputs() {
    StationState& s = station_.state;
    ConsoleDisplay& d = station_.display;
    if (s.RelayCardType == 0 || restingAfterFailure())
        return false;
    int value = lastValue_;
    if (s.RelayCardType == 1) {
        const auto status = ports_.Inp(ParallelStatus);
        if (!usable(status.has_value()))
            return false;
        // The status lines are inverted; 128 and above reads as all off.
        value = 127 - int(*status);
    } else if (s.RelayCardType == 2) {
        const auto in = ports_.Inp(CardIn);
        if (!usable(in.has_value()))
            return false;
        value = *in;
    }
    lastValue_ = value;

    if (value < 64) {
        PlayInput = 0;
        d.lblPlayRelay = QStringLiteral("    ");
    } else {
        value -= 64;
        PlayInput = 1;
        d.lblPlayRelay = QStringLiteral("PLAY");
    }
    if (value < 32) {
        RecordInput = 0;
        d.lblRecordRelay = QStringLiteral("      ");
    } else {
        value -= 32;
        RecordInput = 1;
        d.lblRecordRelay = QStringLiteral("RECORD");
    }
    if (value < 16) {
        AlarmInput = 0;
        d.lblPortVisible = false;
    } else if (AlarmInput == 0) {
        value -= 16;
        AlarmInput = 1;
        d.lblPort = "Alarm";
        d.lblPortVisible = true;
        LogActivity(station_, "Alarm");
        if (value == 0)
            return false;
    }
    // The Time Update contact is its own bit: a held Alarm leaves 16 in the
    // value, which is not a time pulse.
    const bool timeUpdate = value >= 0 && (value & 8) != 0;
    if (!timeUpdate)
        TimeSetLatch = 0;
    if (value < 8)
        d.lblPortVisible = false;
    bool clockSet = false;
    // The clock is read only on a pulse: this runs every tick.
    const QDateTime now = timeUpdate && TimeSetLatch == 0 ? station_.clock().now() : QDateTime();
    if (now.isValid() && now.time().minute() == 54) {
        const QString before = now.time().toString("HH:mm:ss");
        const QTime set(now.time().hour(), 54, 30);
        QString error;
        clockSet = station_.clock().setTimeOfDay(set, &error);
        if (clockSet)
            moveDeadlines(s, now.time().msecsTo(set) / 1000.0);
        else
            LogError(station_, "The clock could not be set: " + error);
        TimeSetLatch = 1;
        d.lblPort = "Time Set";
        d.lblPortVisible = true;
        LogActivity(station_, "Time Set " + before);
    }

    if (s.CueRecordStart == "M" && channel1_) {
        if (s.Rec(1).RecActive != 1 && channel1_->remoteStartArmed() && RecordInput == 1)
            channel1_->StartFromRemote();
        else if (s.Rec(1).RecActive == 1 && RecordInput == 0)
            channel1_->Stop();
    }
    if (PlayInput == 1 && s.Playing == 0 && playProgramme_)
        playProgramme_();
    return clockSet;
}
