#include "fakes/fake_station_parts.h"
#include "schedule/next_event_finder.h"

#include "platform/clock.h"
#include "station/time_format.h"

#include <cmath>

namespace {

struct ChannelState {
    int32_t* active;
    int32_t* pending;
    double* stopAt;
    double* pendingAt;
    double* startTimer;
    ScheduleNo slot;
    QString time;
};

ChannelState channelState(StationState& s, int channel) {
    if (channel == 1)
        return {&s.Rec1Active,     &s.Rec1Pending, &s.Rec1StopAt, &s.Rec1PendingAt,
                &s.Rec1StartTimer, s.NextRec1Slot, s.NextRec1Time};
    return {&s.Rec2Active,     &s.Rec2Pending, &s.Rec2StopAt, &s.Rec2PendingAt,
            &s.Rec2StartTimer, s.NextRec2Slot, s.NextRec2Time};
}

int lengthSeconds(const QString& satLen) {
    return satLen.left(2).toInt() * 60 + satLen.mid(3, 2).toInt();
}

} // namespace

void FakeStationParts::record(const QString& what, ScheduleNo slot, const QString& eventTime) {
    calls.push_back({what, station_.clock().now(), slot, eventTime});
}

std::vector<FakeStationParts::Call> FakeStationParts::named(const QString& what) const {
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.what == what)
            out.push_back(c);
    return out;
}

void FakeStationParts::CueRecordChannel(int channel) {
    StationState& s = station_.state;
    ChannelState c = channelState(s, channel);
    record(QString("cue%1").arg(channel), c.slot, c.time);
    if (const auto rec = s.SatListFile.read(c.slot)) {
        const ScheduleFields f = rec->parse();
        s.CueRecordStart = f.SatRecordStart;
        // A channel still recording keeps its own stop time.
        if (*c.active == 0)
            *c.stopAt = lengthSeconds(f.SatLen);
    }
}

void FakeStationParts::ArmRecordChannel(int channel) {
    StationState& s = station_.state;
    ChannelState c = channelState(s, channel);
    record(QString("arm%1").arg(channel), c.slot, c.time);
    const double now = station_.clock().secondsSinceMidnight();
    if (silent) {
        *c.pending = 1;
        *c.pendingAt = now + *c.stopAt;
        return;
    }
    *c.startTimer = now;
    *c.stopAt = now + *c.stopAt;
    *c.pending = 2;
    *c.active = 1;
    if (dispatcher_)
        (channel == 1 ? dispatcher_->tmrPendingOne : dispatcher_->tmrPendingTwo)->setEnabled(true);
}

void FakeStationParts::StopRecordChannel(int channel) {
    ChannelState c = channelState(station_.state, channel);
    record(QString("stop%1").arg(channel), c.slot, c.time);
    *c.active = 0;
    *c.pending = 0;
}

void FakeStationParts::DumpRecordChannel(int channel) {
    ChannelState c = channelState(station_.state, channel);
    record(QString("dump%1").arg(channel), c.slot, c.time);
    *c.active = 0;
    *c.pending = 0;
    if (channel == 1)
        FindNextRecord1(station_);
    else
        FindNextRecord2(station_);
}

void FakeStationParts::CueSwitchOnly() {
    record("switch", station_.state.NextSwitchSlot, station_.state.NextSwitchTime);
}

void FakeStationParts::WriteRelayOutputs() {
    relayWrites << QString("element0=%1").arg(station_.state.RelayStates[0]);
    record("relays");
}

void FakeStationParts::BuildPlayList() {
    record(QString("playlist mode %1").arg(station_.state.PlayListMode));
}

void FakeStationParts::PollEbNo() {
    record("ebno");
    station_.state.EbNoPollLatch = 1;
}

void FakeStationParts::AdjustForTimeChange() {
    record("timechange");
}
