#include "app/mnuMenu.h"
#include "console/clock_tick.h"
#include "console/playback.h"
#include "export/hand_off.h"
#include "io/remote_control.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/io_ports.h"
#include "platform/serial_port.h"
#include "platform/signal_watcher.h"
#include "platform/timers.h"
#include "platform/wave_player.h"
#include "receiver/eb_no.h"
#include "receiver/receiver_link.h"
#include "recording/record_channel.h"
#include "schedule/time_change.h"
#include "station/station.h"
#include "windows/window_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

// A start-up failure must reach whoever started the program: the terminal or
// journal always, and a message box when there is a screen to show it on.
void reportStartUpFailure(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != "offscreen" && platform != "minimal")
        QMessageBox::critical(nullptr, "Varnola", message);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Varnola");
    QApplication::setApplicationVersion(QString("%1.%2.%3")
                                            .arg(VARNOLA_VERSION_MAJOR)
                                            .arg(VARNOLA_VERSION_MINOR)
                                            .arg(VARNOLA_VERSION_PATCH));
    QApplication::setQuitOnLastWindowClosed(false);

    // A service manager's stop ends the run in order, without asking, even
    // one that comes while the console is still loading (a configuration on
    // a slow mount, a large schedule): it is acted on once the event loop runs.
    Station* running = nullptr;
    SignalWatcher signals_([&running](int) {
        if (running)
            running->ShutDown();
        QApplication::quit();
    });

    const DrivePaths paths(StationConfig::fromEnvironment());
    SystemClock clock;
    QtTimers timers;
    WindowMessages messages;
    Station station(clock, timers, paths, messages);
    running = &station;

    ReceiverLink receiver(station, makeQtSerialPort());
    LinkEbNoPoller ebNoPoller(station, receiver);
    const std::unique_ptr<AudioDevices> audio = makeAudioDevices(paths.config());
    ExportHandOff exportHandOff(station);
    RecordingControl recording(station, *audio, &receiver, &exportHandOff);
    PortFile ports(paths.config().ioPortsFile);
    RemoteControl remote(station, ports);
    ClockDispatcher* tick = nullptr;
    Playback playback(
        station, [&paths](int device) { return makeWavePlayer(paths.config(), device); },
        [&] {
            if (tick)
                tick->StartEomPulse();
        });
    remote.setPlayProgramme([&playback] { playback.PlayProgramme(); });
    remote.setRecordChannel(&recording.channel(1));
    RecordingDeviceChoice devices(recording, [&playback](int d) { playback.usePlayDevice(d); });
    station.setAudioDeviceChoice(&devices);
    // A recording in progress is closed properly however the program ends.
    station.addShutdownHook([&recording] { recording.shutDown(); });
    // A copy cut short leaves no file behind; what was not copied is logged.
    station.addShutdownHook([&exportHandOff] { exportHandOff.shutDown(); });

    // The parts the tick hands work to join here as they are built.
    TickHandoffs handoffs;
    handoffs.ebNo = &ebNoPoller;
    handoffs.recording = &recording;
    handoffs.switching = &recording;
    handoffs.relays = &remote;
    handoffs.playList = &playback;
    ScheduleTimeChange timeChange(station);
    handoffs.timeChange = &timeChange;
    ClockDispatcher dispatcher(station, handoffs);
    tick = &dispatcher;
    recording.setRecordingBegan([&dispatcher](int channel) { dispatcher.RecordingBegan(channel); });
    mnuMenu console(station, dispatcher, &messages.errorWindow(),
                    {&receiver, &recording, &playback, audio.get(), &ports, &devices});
    console.setExitHandler([] { QApplication::quit(); });
    const StartUpResult started = console.Form_Load();
    if (!started.ok) {
        reportStartUpFailure(started.message);
        station.ShutDown();
        return 1;
    }

    console.show();
    const int rc = QApplication::exec();
    station.ShutDown();
    return rc;
}
