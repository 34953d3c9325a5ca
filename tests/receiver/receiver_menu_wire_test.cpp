// The console's receiver menus and windows, on the real link, against the
// simulated receiver: what the operator's clicks put on the wire.
#include "app/mnuMenu.h"
#include "console/clock_tick.h"
#include "fakes/live_station.h"
#include "fakes/sim_receiver.h"
#include "receiver/frmDisplayReceiver.h"
#include "receiver/frmRelay.h"
#include "receiver/frmSetReceiver.h"
#include "support/test.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

class ReceiverMenuTest : public ::testing::Test {
protected:
    ReceiverMenuTest() : s(sim.device()) {
        QFile codes(s.paths->resolve("c:\\satfile\\Source.dat"));
        EXPECT_TRUE(codes.open(QIODevice::WriteOnly));
        codes.write("AA1\r\nBB2\r\n");
        codes.close();
        menu.show();
    }
    QString label(QWidget* w, const char* name) { return w->findChild<QLabel*>(name)->text(); }

    SimReceiver sim;
    LiveStation s;
    ClockDispatcher dispatcher{*s.station, TickHandoffs{}};
    mnuMenu menu{*s.station, dispatcher, nullptr, {s.link.get()}};
};

TEST_F(ReceiverMenuTest, SetSendsTheAudioTheRelayResetAndAsksForTheMpegStatus) {
    menu.mnuSetReceiver->trigger();
    auto* set = menu.findChild<frmSetReceiver*>();
    ASSERT_NE(set, nullptr);
    set->findChild<QListWidget*>("lstPort")->setCurrentRow(2);
    set->findChild<QListWidget*>("lstRoute")->setCurrentRow(2);
    set->findChild<QListWidget*>("lstLang")->setCurrentRow(0);
    set->findChild<QListWidget*>("lstAtt")->setCurrentRow(0);
    QTest::mouseClick(set->findChild<QPushButton*>("cmdSet"), Qt::LeftButton);
    ASSERT_TRUE(sim.waitForCommands(3));
    EXPECT_EQ(sim.commands(), (QStringList{"SETAUDIO 3 S AA10", "ER D 1", "R M"}));
    auto* data = menu.findChild<frmDisplayReceiver*>();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(
        waitUntil([&] { return label(data, "lblDisplayReceiver").endsWith('>'); }));
    EXPECT_TRUE(label(data, "lblDisplayReceiver").contains("S AA10"));
}

TEST_F(ReceiverMenuTest, ExtendedRelayButtonsSendTheirCommandAndReadTheStatusAgain) {
    menu.mnuExtendedRelays->trigger();
    auto* relay = menu.findChild<frmRelay*>();
    ASSERT_NE(relay, nullptr);
    ASSERT_TRUE(waitUntil([&] { return label(relay, "lblRelay").endsWith('>'); }));
    QTest::mouseClick(relay->cmdR[4], Qt::LeftButton);
    ASSERT_TRUE(sim.waitForCommands(3));
    ASSERT_TRUE(waitUntil([&] { return !s.link->busy(); }));
    QTest::mouseClick(relay->cmdR[5], Qt::LeftButton);
    ASSERT_TRUE(sim.waitForCommands(5));
    EXPECT_EQ(sim.commands(), (QStringList{"R ER", "ER D 3", "R ER", "ER E 3", "R ER"}));
    ASSERT_TRUE(waitUntil([&] { return !s.link->busy(); }));
    const QString shown = label(relay, "lblRelay");
    EXPECT_TRUE(QRegularExpression("Relay 3:\\s+ENABLED").match(shown).hasMatch())
        << shown.toStdString();
    EXPECT_FALSE(shown.startsWith('>'));
}

TEST_F(ReceiverMenuTest, CarrierOpensTheDataWindowAfreshWithTheLongAnswer) {
    menu.mnuMPEGStatus->trigger();
    auto* first = menu.findChild<frmDisplayReceiver*>();
    ASSERT_TRUE(sim.waitForCommands(1));
    menu.mnuCarrierStatus->trigger();
    ASSERT_TRUE(sim.waitForCommands(2));
    EXPECT_EQ(sim.commands(), (QStringList{"R M", "RT C"}));
    QList<frmDisplayReceiver*> windows;
    ASSERT_TRUE(waitUntil([&] {
        windows = menu.findChildren<frmDisplayReceiver*>();
        return windows.size() == 1 && windows[0] != first &&
               label(windows[0], "lblDisplayReceiver").size() > 700;
    }));
    EXPECT_EQ(label(windows[0], "lblQuery"), "Receiver Status: Carrier");
}

TEST_F(ReceiverMenuTest, CommunicationsWindowOpensFromSetUp) {
    EXPECT_TRUE(menu.mnuCommunications->isEnabled());
    menu.mnuCommunications->trigger();
    auto* w = menu.findChild<QWidget*>("frmComSelect");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Communications");
}

} // namespace
