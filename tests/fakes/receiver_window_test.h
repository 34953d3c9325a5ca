#pragma once

#include "fakes/fake_serial_port.h"
#include "fakes/temp_station.h"
#include "receiver/receiver_link.h"
#include "station/station.h"
#include "support/test.h"

#include <memory>

// A receiver window on a station whose link talks to a scripted port:
// showWindow() makes the window for a query, as the console's menu does, and
// shows it.
template <typename Window> class ReceiverWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.writeSettings({{Setting::CommPortNo, 1}, {Setting::BaudIndex, 2}});
        t.startUp();
        link = std::make_unique<ReceiverLink>(*t.station, std::make_unique<FakeSerialPort>(port));
    }
    void showWindow(const QString& query) {
        w = std::make_unique<Window>(*t.station, *link, query);
        w->show();
    }

    TempStation t;
    FakeSerialPort::Shared port;
    std::unique_ptr<ReceiverLink> link;
    std::unique_ptr<Window> w;
};
