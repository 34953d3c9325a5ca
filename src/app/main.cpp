#include "app/command_line.h"
#include "app/history_listing.h"
#include "app/mnuMenu.h"
#include "app/station_assembly.h"
#include "app/week_ahead.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/io_ports.h"
#include "platform/serial_port.h"
#include "platform/service_notifier.h"
#include "platform/signal_watcher.h"
#include "platform/timers.h"
#include "platform/wave_player.h"
#include "windows/frmHelp.h"
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
    QApplication::setApplicationName("Varnola");
    QApplication::setApplicationVersion(QString("%1.%2.%3")
                                            .arg(VARNOLA_VERSION_MAJOR)
                                            .arg(VARNOLA_VERSION_MINOR)
                                            .arg(VARNOLA_VERSION_PATCH));
    // Read before the window system is opened, so --help and --version
    // answer on a machine without a display.
    const CommandLine command = [&] {
        const QCoreApplication early(argc, argv);
        return CommandLine::parse(QCoreApplication::arguments());
    }();
    if (command.exitStatus) {
        std::fputs(qPrintable(command.standardOutput), stdout);
        std::fputs(qPrintable(command.standardError), stderr);
        return *command.exitStatus;
    }

    if (command.weekAheadDays) {
        const QCoreApplication core(argc, argv);
        const WeekAhead ahead = RunWeekAhead(command.stationConfig(), QDateTime::currentDateTime(),
                                             *command.weekAheadDays);
        if (!ahead.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(ahead.error));
            return 1;
        }
        for (const WeekAheadEvent& e : ahead.events)
            std::printf("%s\n", qPrintable(e.line()));
        return 0;
    }

    // Read beside a running console: no lock is taken and nothing written.
    if (command.historyDays) {
        const QCoreApplication core(argc, argv);
        const HistoryListing listing = ListHistory(
            command.stationConfig(), QDateTime::currentDateTime(), *command.historyDays);
        std::fputs(listing.csv.toUtf8().constData(), stdout);
        if (!listing.error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(listing.error));
        return listing.exitStatus;
    }

    QApplication app(argc, argv);
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

    const DrivePaths paths(command.stationConfig());
    SystemClock clock;
    QtTimers timers;
    WindowMessages messages;
    Station station(clock, timers, paths, messages);
    running = &station;

    const std::unique_ptr<AudioDevices> audio = makeAudioDevices(paths.config());
    const std::unique_ptr<IoPorts> ports = openStationPorts(paths.config());
    StationAssembly parts(station, {*audio, *ports, makeQtSerialPort(), [&paths](int device) {
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

    // The help is read only when the operator asks for it: say now, where
    // the journal keeps it, that it will not be found.
    if (frmHelp::locate(paths).isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(frmHelp::MissingText));

    ServiceNotifier service;
    console.setAfterTick([&service] { service.tick(); });
    console.show();
    service.ready();
    const int rc = QApplication::exec();
    station.ShutDown();
    return rc;
}
