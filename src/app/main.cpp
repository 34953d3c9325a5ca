#include "app/mnuMenu.h"
#include "app/station_assembly.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/io_ports.h"
#include "platform/serial_port.h"
#include "platform/signal_watcher.h"
#include "platform/timers.h"
#include "platform/wave_player.h"
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

    const std::unique_ptr<AudioDevices> audio = makeAudioDevices(paths.config());
    PortFile ports(paths.config().ioPortsFile);
    StationAssembly parts(station, {*audio, ports, makeQtSerialPort(), [&paths](int device) {
                                        return makeWavePlayer(paths.config(), device);
                                    }});
    mnuMenu console(station, parts.dispatcher, &messages.errorWindow(), ConsoleParts::of(parts));
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
