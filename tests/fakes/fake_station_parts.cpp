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
        return {&s.Rec(1).RecActive,    &s.Rec(1).RecPending,    &s.Rec(1).RecStopAt,
                &s.Rec(1).RecPendingAt, &s.Rec(1).RecStartTimer, s.Rec(1).NextRecSlot,
                s.Rec(1).NextRecTime};
    return {&s.Rec(2).RecActive,    &s.Rec(2).RecPending,    &s.Rec(2).RecStopAt,
            &s.Rec(2).RecPendingAt, &s.Rec(2).RecStartTimer, s.Rec(2).NextRecSlot,
            s.Rec(2).NextRecTime};
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
        dispatcher_->RecordingBegan(channel);
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
        FindNextRecord(station_, 1);
    else
        FindNextRecord(station_, 2);
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
