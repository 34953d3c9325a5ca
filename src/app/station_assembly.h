#pragma once

#include "console/clock_tick.h"
#include "console/playback.h"
#include "export/hand_off.h"
#include "history/station_metrics.h"
#include "history/take_history.h"
#include "io/remote_control.h"
#include "receiver/eb_no.h"
#include "receiver/receiver_link.h"
#include "recording/record_channel.h"
#include "schedule/time_change.h"
#include "station/station.h"

#include <memory>

class AudioDevices;
class IoPorts;
class SerialPort;

// The hardware a running station works through, beside the clock, timers,
// paths and messages its Station already holds: real in the program, fakes
// in tests and benchmarks.
struct StationHardware {
    AudioDevices& audio;
    IoPorts& ports;
    // The receiver's serial line (COM port from the settings).
    std::unique_ptr<SerialPort> receiverPort;
    Playback::PlayerFactory makePlayer;
};

// Every part of a running station, built and joined in one place: the
// receiver link and its Eb/No poll, the record channels and the export
// hand-off behind them, the remote contacts and relays, the playlist and
// player with the end-of-message pulse, the time change, and the clock tick
// that drives them all, and the monitoring file. The program, the tests and the benchmarks all run
// their stations through it.
class StationAssembly {
public:
    StationAssembly(Station& station, StationHardware hardware);
    // Shuts the station down (recordings closed, copies ended) while its
    // parts still exist.
    ~StationAssembly();
    StationAssembly(const StationAssembly&) = delete;
    StationAssembly& operator=(const StationAssembly&) = delete;

    Station& station;
    AudioDevices& audio;
    IoPorts& ports;
    // Every take's row, kept beside the logs.
    TakeHistory history;
    ReceiverLink receiver;
    LinkEbNoPoller ebNo;
    ExportHandOff exportHandOff;
    RecordingControl recording;
    RemoteControl remote;
    Playback playback;
    RecordingDeviceChoice devices;
    ScheduleTimeChange timeChange;
    ClockDispatcher dispatcher;
    // The monitoring file, when the configuration names one.
    std::unique_ptr<StationMetrics> metrics;

private:
    static TickHandoffs handoffs(StationAssembly& a);
    void watch(const QString& metricsFile);
    // Renews the history's running mark; the first time, after the
    // schedules are open, it first looks back over the time away.
    void markRunning();

    QDateTime startedAt_;
    std::unique_ptr<Timer> runningMark_;
    bool lookedBack_ = false;
};
