#include "app/station_assembly.h"

#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/serial_port.h"
#include "platform/timers.h"

namespace {

// How often the history hears that the console runs. A programme due in the
// minutes between the last mark and a stop, without a row of its own, is
// counted with the time away.
constexpr int RunningMarkMs = 5 * 60 * 1000;

} // namespace

StationAssembly::StationAssembly(Station& station_, StationHardware hardware)
    : station(station_), audio(hardware.audio), ports(hardware.ports), history(station_),
      receiver(station_, std::move(hardware.receiverPort)), ebNo(station_, receiver),
      exportHandOff(station_, &history),
      recording(station_, hardware.audio, &receiver, &exportHandOff, &history),
      remote(station_, hardware.ports),
      playback(station_, std::move(hardware.makePlayer), [this] { dispatcher.StartEomPulse(); }),
      devices(recording, [this](int device) { playback.usePlayDevice(device); }),
      timeChange(station_), dispatcher(station_, handoffs(*this)) {
    remote.setPlayProgramme([this] { playback.PlayProgramme(); });
    remote.setRecordChannel(&recording.channel(1));
    recording.setRecordingBegan([this](int channel) { dispatcher.RecordingBegan(channel); });
    ebNo.readingHeard = [this](double value) {
        recording.heardEbNo(value);
        if (metrics)
            metrics->ebNoRead(value);
    };
    station.purgeTakesBefore = [this](const QDate& date) { history.purgeBefore(date); };
    startedAt_ = station.clock().now();
    runningMark_ = station.timers().create(RunningMarkMs);
    runningMark_->setHandler([this] { markRunning(); });
    runningMark_->setEnabled(true);
    station.setAudioDeviceChoice(&devices);
    // A recording in progress is closed properly however the program ends.
    station.addShutdownHook([this] { recording.shutDown(); });
    // A copy cut short leaves no file behind; what was not copied is logged.
    station.addShutdownHook([this] { exportHandOff.shutDown(); });
    watch(station.paths().config().monitoringTextfile);
}

void StationAssembly::watch(const QString& metricsFile) {
    if (metricsFile.isEmpty())
        return;
    metrics = std::make_unique<StationMetrics>(station, metricsFile);
    history.taken = [this](const TakeRecord& take) { metrics->taken(take); };
    history.handedOff = [this](qint64 id, const HandOffResult& copy) {
        metrics->handedOff(id, copy);
    };
    station.addStartUpHook([this] { metrics->start(); });
    // Last, so that the takes ended by the shut-down are counted.
    station.addShutdownHook([this] { metrics->stop(); });
}

StationAssembly::~StationAssembly() {
    markRunning();
    station.ShutDown();
    station.purgeTakesBefore = nullptr;
    station.setAudioDeviceChoice(nullptr);
}

void StationAssembly::markRunning() {
    if (!station.state.SatListFile.isOpen())
        return;
    if (!lookedBack_)
        KeepTakesMissedWhileAway(station, history, startedAt_);
    lookedBack_ = true;
    history.markRunning(station.clock().now());
}

TickHandoffs StationAssembly::handoffs(StationAssembly& a) {
    TickHandoffs h;
    h.ebNo = &a.ebNo;
    h.recording = &a.recording;
    h.switching = &a.recording;
    h.relays = &a.remote;
    h.playList = &a.playback;
    h.timeChange = &a.timeChange;
    return h;
}
