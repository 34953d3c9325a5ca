#pragma once

#include "fakes/fake_serial_port.h"
#include "fakes/temp_station.h"
#include "receiver/receiver_link.h"
#include "station/station.h"
#include "support/test.h"

#include <QtWidgets>
#include <memory>

// A receiver window on a station whose link talks to a scripted port. The
// threshold stands for the settings a window must leave alone.
class ReceiverWindowTest : public ::testing::Test {
protected:
    ReceiverWindowTest() {
        t.writeSettings(
            {{Setting::RecordThreshold, -300}, {Setting::CommPortNo, 3}, {Setting::BaudIndex, 1}});
        t.startUp();
        link = std::make_unique<ReceiverLink>(*t.station, std::make_unique<FakeSerialPort>(port));
    }
    // Makes and shows the window, as the console's menu does.
    template <typename Window, typename... Args> Window* show(Args&&... args) {
        auto* w = new Window(*t.station, std::forward<Args>(args)...);
        window.reset(w);
        w->show();
        return w;
    }
    QString text(const char* label) const { return window->findChild<QLabel*>(label)->text(); }
    void click(const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }

    TempStation t;
    FakeSerialPort::Shared port;
    std::unique_ptr<ReceiverLink> link;
    std::unique_ptr<QWidget> window;
};
