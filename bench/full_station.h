#pragma once

// A station data folder holding a full schedule file (999 schedules of all
// three kinds, seven record rows each), shared by the benchmarks.
#include "app/station_assembly.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/io_ports.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "platform/wave_player.h"
#include "station/messages.h"
#include "station/schedule_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <memory>

class SilentMessages : public Messages {
public:
    void ShowMessage(const QString&) override {}
    bool AskYesNo(const QString&, const QString&) override { return false; }
};

struct FullStation {
    QTemporaryDir dir;
    std::unique_ptr<DrivePaths> paths;

    // A configuration file for the console binary on the same drive.
    QString configFile() const {
        const QString path = dir.filePath("varnola.conf");
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(QString("[drives]\nC=%1\n[audio]\nbackend=simulated\n")
                        .arg(dir.filePath("drives/C"))
                        .toUtf8());
        return path;
    }

    FullStation() {
        StationConfig config;
        config.drivesRoot = dir.filePath("drives");
        config.drives.insert('C', dir.filePath("drives/C"));
        config.audioBackend = "simulated";
        config.ioPortsFile = dir.filePath("ports");
        paths = std::make_unique<DrivePaths>(config);
        QDir().mkpath(paths->resolve("c:\\satfile"));
        // Every remote contact open.
        QFile ports(config.ioPortsFile);
        if (ports.open(QIODevice::WriteOnly))
            ports.write(QByteArray(889, '\0') + char(127) + QByteArray(134, '\0'));
        ScheduleFile file;
        QString error;
        file.open(paths->resolve(ScheduleFile::StationPath), &error);
        ScheduleFields f = StarterSchedule({}, "1", "30:00");
        for (ScheduleNo n = 1; n <= ScheduleFile::MaxSchedules; ++n) {
            f.SatName = QString("Programme %1").arg(n);
            f.RecChan = QString::number(1 + n % 3);
            for (int r = 0; r < 7; ++r) {
                f.RecDays[r] = 1 + (n + r) % 7;
                f.RecTimes[r] =
                    QTime(0, 0).addSecs(int(n * 61 + r * 3607) % 86400).toString("HH:mm:ss");
            }
            for (int k = 0; k < 28; ++k)
                f.PlayTimes[k] = (k % 4 == 0) ? QString("15:00:00") : QString();
            file.write(n, ScheduleRecord::build(f));
        }
    }
};

inline FullStation& fullStation() {
    static FullStation s;
    return s;
}

// A running station on the full schedule file, every part built by the
// program's assembly on the simulated sound cards, an unopened serial port
// and a port file, on real time.
struct AssembledFullStation {
    SystemClock clock;
    QtTimers timers;
    SilentMessages messages;
    Station station{clock, timers, *fullStation().paths, messages};
    std::unique_ptr<AudioDevices> audio = makeAudioDevices(fullStation().paths->config());
    PortFile ports{fullStation().paths->config().ioPortsFile};
    StationAssembly parts{station, {*audio, ports, makeQtSerialPort(), [](int device) {
                                        return makeWavePlayer(fullStation().paths->config(),
                                                              device);
                                    }}};
};
