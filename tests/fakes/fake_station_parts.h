#pragma once

#include "console/clock_tick.h"
#include "platform/clock.h"
#include "schedule/next_event_finder.h"

#include <QStringList>
#include <vector>

// Stands in for every part the clock tick hands work to, records each call
// and moves the station state the way the real parts do, so the tick can be
// driven through whole days.
class FakeStationParts : public RecordChannelControl,
                         public SwitchControl,
                         public RelayControl,
                         public PlayListControl,
                         public EbNoPoller,
                         public TimeChangeControl {
public:
    // "cue1", "arm2", "switch", "stop1", ... with the virtual time of the
    // call and the schedule its channel's finder held then.
    struct Call {
        QString what;
        QDateTime when;
        ScheduleNo slot;
    };
    explicit FakeStationParts(Station& station) : station_(station), s(station.state) {}
    TickHandoffs handoffs() { return {this, this, this, this, this, this}; }
    void attach(ClockDispatcher& dispatcher) { dispatcher_ = &dispatcher; }

    void CueRecordChannel(int channel) override {
        RecordChannelState& c = channelCall("cue", channel);
        if (const auto rec = s.SatListFile.read(c.NextRecSlot)) {
            const ScheduleFields f = rec->parse();
            s.CueRecordStart = f.SatRecordStart;
            if (c.RecActive == 0) // a channel still recording keeps its own stop time
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
        dispatcher_->RecordingBegan(channel);
    }
    void StopRecordChannel(int channel) override {
        channelCall("stop", channel).RecActive = s.Rec(channel).RecPending = 0;
    }
    void DumpRecordChannel(int channel) override {
        channelCall("dump", channel).RecActive = s.Rec(channel).RecPending = 0;
        FindNextRecord(station_, channel);
    }
    void MissedRecordChannel(int channel, int slot, const QDateTime& at,
                             const QString& why) override {
        record(QString("missed%1 (%2, due %3)").arg(channel).arg(why, at.toString("hh:mm:ss")),
               slot);
    }
    void CueSwitchOnly() override { record("switch", s.NextSwitchSlot); }
    void WriteRelayOutputs() override { record(QString("relays %1").arg(s.RelayStates[0])); }
    bool PollRemoteInputs() override { return !++remotePolls; } // never sets the clock
    void BuildPlayList() override { record(QString("playlist mode %1").arg(s.PlayListMode)); }
    void PollEbNo() override { record("ebno"), s.EbNoPollLatch = 1; }
    void AdjustForTimeChange() override { record("timechange"); }

    bool silent = false; // armed channels hear no audio: they wait to be dumped
    std::vector<Call> calls;
    int remotePolls = 0;

private:
    void record(const QString& what, ScheduleNo slot = 0) {
        calls.push_back({what, station_.clock().now(), slot});
    }
    RecordChannelState& channelCall(const char* what, int channel) {
        record(what + QString::number(channel), s.Rec(channel).NextRecSlot);
        return s.Rec(channel);
    }
    Station& station_;
    StationState& s;
    ClockDispatcher* dispatcher_ = nullptr;
};
