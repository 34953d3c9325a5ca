#pragma once

#include <QDateTime>
#include <QString>

// The work the clock tick hands to other parts of the station. Each part
// implements its own small interface; a missing part is a null pointer and
// its hand-off is skipped.

class RecordChannelControl {
public:
    virtual ~RecordChannelControl() = default;
    // channel is 1 or 2
    virtual void CueRecordChannel(int channel) = 0;
    virtual void ArmRecordChannel(int channel) = 0;
    virtual void StopRecordChannel(int channel) = 0;
    virtual void DumpRecordChannel(int channel) = 0;
    // A programme due on the channel at a moment went by untaken, for the
    // reason given.
    virtual void MissedRecordChannel(int /*channel*/, int /*slot*/, const QDateTime& /*at*/,
                                     const QString& /*why*/) {}
};

class SwitchControl {
public:
    virtual ~SwitchControl() = default;
    virtual void CueSwitchOnly() = 0;
};

class RelayControl {
public:
    virtual ~RelayControl() = default;
    virtual void WriteRelayOutputs() = 0;
    // True when a Time Update set the clock.
    virtual bool PollRemoteInputs() = 0;
};

class PlayListControl {
public:
    virtual ~PlayListControl() = default;
    virtual void BuildPlayList() = 0;
};

class EbNoPoller {
public:
    virtual ~EbNoPoller() = default;
    // Must set EbNoPollLatch, so the second is polled once.
    virtual void PollEbNo() = 0;
};

class TimeChangeControl {
public:
    virtual ~TimeChangeControl() = default;
    // Called when tmrTimeChange fires; the timer is disabled afterwards.
    virtual void AdjustForTimeChange() = 0;
};

struct TickHandoffs {
    RecordChannelControl* recording = nullptr;
    SwitchControl* switching = nullptr;
    RelayControl* relays = nullptr;
    PlayListControl* playList = nullptr;
    EbNoPoller* ebNo = nullptr;
    TimeChangeControl* timeChange = nullptr;
};
