#pragma once

#include "station/tick_handoffs.h"

#include <functional>

class Station;
class IoPorts;
class RecordChannel;

// The remote-control contacts (Play, Record, Alarm, Time Update) and the
// relay outputs, on the parallel port or the relay card the settings name.
class RemoteControl : public RelayControl {
public:
    RemoteControl(Station& station, IoPorts& ports);

    // What the contacts start: the first programme of the playlist, and a
    // remote-started recording on channel 1.
    void setPlayProgramme(std::function<void()> f) { playProgramme_ = std::move(f); }
    void setRecordChannel(RecordChannel* channel) { channel1_ = channel; }

    void WriteRelayOutputs() override;
    bool PollRemoteInputs() override;

    int PlayInput = 0, RecordInput = 0, AlarmInput = 0;
    int TimeSetLatch = 0;

private:
    // False, once reported, when the hardware cannot be used.
    bool usable(bool ok);
    // Whether to leave the hardware alone this time, after a failure.
    bool restingAfterFailure();

    Station& station_;
    IoPorts& ports_;
    std::function<void()> playProgramme_;
    RecordChannel* channel1_ = nullptr;
    int lastValue_ = 0;
    bool failed_ = false;
    int pollsSinceFailure_ = 0;
};
