#pragma once

#include "fakes/fake_messages.h"
#include "fakes/temp_station.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "receiver/receiver_link.h"
#include "station/station.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
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

    // Runs the event loop until the flag is set (bounded).
    static bool waitFor(const bool& flag, int timeoutMs = 8000) {
        return waitUntil([&] { return flag; }, timeoutMs);
    }
    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 8000) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QTest::qWait(5);
        }
        return true;
    }

    QTemporaryDir dir;
    SystemClock clock;
    QtTimers timers;
    FakeMessages messages;
    std::unique_ptr<DrivePaths> paths;
    std::unique_ptr<Station> station;
    std::unique_ptr<ReceiverLink> link;
};
