#pragma once

#include "console/clock_tick.h"
#include "platform/clock.h"
#include "schedule/next_event_finder.h"
#include "station/station.h"

#include <QStringList>
#include <vector>

// Stands in for every part the clock tick hands work to, records each call
// with the moment it came, and moves the station state the way the real
// parts do (a cue sets the start mode, an arm that hears audio at once
// starts recording and wakes the finder two seconds later, a stop ends it),
// so the tick can be driven through whole days.
class FakeStationParts : public RecordChannelControl,
                         public SwitchControl,
                         public RelayControl,
                         public PlayListControl,
                         public EbNoPoller,
                         public TimeChangeControl {
public:
    struct Call {
        QString what;    // "cue1", "arm2", "switch", "stop1", ...
        QDateTime when;  // the virtual time of the call
        ScheduleNo slot; // the schedule behind it, where there is one
    };

    explicit FakeStationParts(Station& station) : station_(station), s(station.state) {}
    TickHandoffs handoffs() { return {this, this, this, this, this, this}; }
    void attach(ClockDispatcher& dispatcher) { dispatcher_ = &dispatcher; }

    void CueRecordChannel(int channel) override {
        RecordChannelState& c = channelCall("cue", channel);
        if (const auto rec = s.SatListFile.read(c.NextRecSlot)) {
            const ScheduleFields f = rec->parse();
            s.CueRecordStart = f.SatRecordStart;
            // A channel still recording keeps its own stop time.
            if (c.RecActive == 0)
                c.RecStopAt = f.SatLen.left(2).toInt() * 60 + f.SatLen.mid(3, 2).toInt();
        }
    }
    void ArmRecordChannel(int channel) override {
        RecordChannelState& c = channelCall("arm", channel);
        const double now = station_.clock().secondsSinceMidnight();
        if (silent) {
            c.RecPending = 1;
            c.RecPendingAt = now + c.RecStopAt;
            return;
        }
        c.RecStartTimer = now;
        c.RecStopAt += now;
        c.RecPending = 2;
        c.RecActive = 1;
        if (dispatcher_)
            dispatcher_->RecordingBegan(channel);
    }
    void StopRecordChannel(int channel) override {
        RecordChannelState& c = channelCall("stop", channel);
        c.RecActive = c.RecPending = 0;
    }
    void DumpRecordChannel(int channel) override {
        RecordChannelState& c = channelCall("dump", channel);
        c.RecActive = c.RecPending = 0;
        FindNextRecord(station_, channel);
    }
    void CueSwitchOnly() override { record("switch", s.NextSwitchSlot); }
    void WriteRelayOutputs() override {
        relayWrites << QString("element0=%1").arg(s.RelayStates[0]);
        record("relays");
    }
    bool PollRemoteInputs() override {
        ++remotePolls;
        return false;
    }
    void BuildPlayList() override { record(QString("playlist mode %1").arg(s.PlayListMode)); }
    void PollEbNo() override {
        record("ebno");
        s.EbNoPollLatch = 1;
    }
    void AdjustForTimeChange() override { record("timechange"); }

    std::vector<Call> named(const QString& what) const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.what == what)
                out.push_back(c);
        return out;
    }
    QStringList times(const QString& what, const char* format = "HH:mm:ss.zzz") const {
        QStringList out;
        for (const Call& c : named(what))
            out << c.when.toString(format);
        return out;
    }

    // Armed channels hear no audio: they wait to be dumped.
    bool silent = false;
    std::vector<Call> calls;
    QStringList relayWrites; // "element0=1" at each write
    int remotePolls = 0;

private:
    void record(const QString& what, ScheduleNo slot = 0) {
        calls.push_back({what, station_.clock().now(), slot});
    }
    RecordChannelState& channelCall(const char* what, int channel) {
        RecordChannelState& c = s.Rec(channel);
        record(what + QString::number(channel), c.NextRecSlot);
        return c;
    }
    Station& station_;
    StationState& s;
    ClockDispatcher* dispatcher_ = nullptr;
};
