#pragma once

#include "fakes/fake_messages.h"
#include "fakes/temp_station.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "receiver/receiver_link.h"
#include "station/station.h"
#include "support/test.h"

#include <QTemporaryDir>
#include <memory>

// A station on real time and real timers, its COM1 on the given device.
class LiveStation {
public:
    explicit LiveStation(const QString& com1) {
        StationConfig config;
        config.drivesRoot = dir.filePath("drives");
        config.drives.insert('C', dir.filePath("drives/C"));
        config.serialPorts[0] = com1;
        paths = std::make_unique<DrivePaths>(config);
        station = std::make_unique<Station>(clock, timers, *paths, messages);
        TempStation::writeSettings(
            paths->resolve(SettingsFile::StationPath),
            {{Setting::CommPortNo, 1}, {Setting::BaudIndex, 2}, {Setting::ActivityLogOn, 1}});
        EXPECT_TRUE(station->StartUp().ok);
        link = std::make_unique<ReceiverLink>(*station, makeQtSerialPort());
    }

    QTemporaryDir dir;
    SystemClock clock;
    QtTimers timers;
    FakeMessages messages;
    std::unique_ptr<DrivePaths> paths;
    std::unique_ptr<Station> station;
    std::unique_ptr<ReceiverLink> link;
};
