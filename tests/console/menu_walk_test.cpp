// Every entry of the console's menu bar does something: opens its window or
// carries out its action. A console built with all its parts, offscreen.
#include "app/mnuMenu.h"
#include "console/clock_tick.h"
#include "console/playback.h"
#include "fakes/fake_audio.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_wave_player.h"
#include "fakes/temp_station.h"
#include "platform/io_ports.h"
#include "receiver/receiver_link.h"
#include "recording/record_channel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QList<QAction*> entries(const QList<QAction*>& actions) {
    QList<QAction*> out;
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        if (a->menu())
            out += entries(a->menu()->actions());
        else
            out << a;
    }
    return out;
}

QSet<QWidget*> visibleWindows() {
    QSet<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            out.insert(w);
    return out;
}

TEST(MenuWalkTest, EveryEntryOpensItsWindowOrActs) {
    TempStation t;
    t.writeSettings({{13, 1}, {14, 2}, {12, 3}});
    FakeSerialPort::Shared port;
    ReceiverLink link(*t.station, std::make_unique<FakeSerialPort>(port));
    FakeAudioDevices audio;
    RecordingControl recording(*t.station, audio, &link, nullptr);
    FakeWavePlayers players;
    Playback playback(*t.station, players.factory(), {});
    PortFile ports(t.root() + "/ports");
    RecordingDeviceChoice devices(recording);
    TickHandoffs h;
    h.playList = &playback;
    ClockDispatcher dispatcher(*t.station, h);
    mnuMenu menu(*t.station, dispatcher, nullptr,
                 {&link, &recording, &playback, &audio, &ports, &devices});
    ASSERT_TRUE(menu.Form_Load().ok);
    menu.show();

    QStringList silent;
    for (QAction* a : entries(menu.menuBar()->actions())) {
        const QString name = a->objectName();
        if (!a->isEnabled()) {
            ADD_FAILURE() << name.toStdString() << " is disabled";
            continue;
        }
        if (name == "mnuFileExit") {
            t.messages.answers = {false};
            a->trigger();
            EXPECT_EQ(t.messages.asked.last(), "Exit Varnola?|Varnola");
            EXPECT_TRUE(menu.isVisible());
            continue;
        }
        if (name == "mnuLoadPlayList") {
            t.station->state.PlayListMode = 1;
            a->trigger();
            EXPECT_EQ(t.station->state.PlayListMode, 0);
            continue;
        }
        const QSet<QWidget*> before = visibleWindows();
        a->trigger();
        QTest::qWait(0);
        const QSet<QWidget*> after = visibleWindows();
        if ((after - before).isEmpty() && !after.contains(menu.findChild<QWidget*>()))
            silent << name;
        // The next entry may open the same window afresh; close what opened.
        for (QWidget* w : after - before)
            w->close();
        t.time.advance(5000); // let any receiver query finish
    }
    EXPECT_TRUE(silent.isEmpty()) << silent.join(", ").toStdString();
    t.station->ShutDown();
}

} // namespace
