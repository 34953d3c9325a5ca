#pragma once

#include "console/clock_tick.h"
#include "station/station.h"

#include <QString>
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
        QString what;      // "cue1", "arm2", "switch", "stop1", ...
        QDateTime when;    // the virtual time of the call
        ScheduleNo slot;   // the schedule behind it, where there is one
        QString eventTime; // the next-event time the station held
    };

    explicit FakeStationParts(Station& station) : station_(station) {}
    TickHandoffs handoffs() { return {this, this, this, this, this, this}; }
    void attach(ClockDispatcher& dispatcher) { dispatcher_ = &dispatcher; }

    // Armed channels hear no audio: they wait to be dumped.
    bool silent = false;

    void CueRecordChannel(int channel) override;
    void ArmRecordChannel(int channel) override;
    void StopRecordChannel(int channel) override;
    void DumpRecordChannel(int channel) override;
    void CueSwitchOnly() override;
    void WriteRelayOutputs() override;
    bool PollRemoteInputs() override {
        ++remotePolls;
        return false;
    }
    void BuildPlayList() override;
    void PollEbNo() override;
    void AdjustForTimeChange() override;

    std::vector<Call> calls;
    QStringList relayWrites; // "element0=1" at each write
    int remotePolls = 0;

    std::vector<Call> named(const QString& what) const;

private:
    void record(const QString& what, ScheduleNo slot = 0, const QString& eventTime = {});
    Station& station_;
    ClockDispatcher* dispatcher_ = nullptr;
};
