#include "app/mnuMenu.h"
#include "console/clock_tick.h"
#include "fakes/live_station.h"
#include "fakes/receiver_window_test.h"
#include "fakes/sim_receiver.h"
#include "receiver/frmComSelect.h"
#include "receiver/frmDisplayReceiver.h"
#include "receiver/frmRelay.h"
#include "receiver/frmSetReceiver.h"
#include "station/settings_file.h"

#include <QDir>
#include <QListWidget>
#include <QRadioButton>

namespace {

// At 10:00:00.000 a status window waits three seconds for its answer.
constexpr int WindowTimeoutMs = 3000;
// Long enough for a relay window's opening query and for a button's settle
// and report.
constexpr int ExchangeMs = 3100;
const QByteArray CarrierReport = "Carrier  Locked >\r\nLevel  -41 dBm\r\n>";

using ReceiverWindowsTest = ReceiverWindowTest;

QByteArray settingsOf(const TempStation& t) {
    return TempStation::readFile(t.host(SettingsFile::StationPath));
}

// On the indicator: an option button takes clicks there and on its caption only.
void choose(QWidget* w, const char* option) {
    auto* b = w->findChild<QRadioButton*>(option);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}
bool checked(QWidget* w, const char* option) {
    return w->findChild<QRadioButton*>(option)->isChecked();
}

// Port and speed are separate choices: picking one must not clear the other;
// nothing reaches the station before the window closes.
TEST_F(ReceiverWindowsTest, ComSelectSavesTheChoiceOnCloseWithOtherRecordsKept) {
    auto* w = show<frmComSelect>();
    EXPECT_TRUE(checked(w, "optSP3") && checked(w, "optBaud1"));
    choose(w, "optSP2");
    choose(w, "optBaud2");
    EXPECT_TRUE(checked(w, "optSP2") && checked(w, "optBaud2"));
    EXPECT_EQ(t.station->state.CommPortNo, 3);
    const QByteArray before = settingsOf(t);
    click("cmdClose");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(t.station->state.CommPortNo, 2);
    EXPECT_EQ(t.station->state.BaudIndex, 2);
    EXPECT_EQ(settingsOf(t), before.left(24) + QByteArray("\x02\x00\x02\x00", 4));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

// Esc rejects a dialog without a close event; a window kept for reuse must
// show the station's choice again when reopened.
TEST_F(ReceiverWindowsTest, ComSelectClosedUnchangedOrByEscapeAndReopened) {
    auto* w = show<frmComSelect>();
    const QByteArray before = settingsOf(t);
    w->close();
    EXPECT_EQ(settingsOf(t), before);
    EXPECT_EQ(t.station->state.BaudIndex, 1);
    w->show();
    choose(w, "optSP4");
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_EQ(t.station->state.CommPortNo, 4);
    EXPECT_EQ(settingsOf(t).at(24), 4);
    t.station->state.CommPortNo = 1;
    w->show();
    EXPECT_TRUE(checked(w, "optSP1"));
    EXPECT_EQ(w->workingPort(), 1);
}

TEST_F(ReceiverWindowsTest, ComSelectReportsAnUnwritableSettingsFile) {
    const QString path = t.host(SettingsFile::StationPath);
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));
    choose(show<frmComSelect>(), "optSP1");
    click("cmdClose");
    EXPECT_EQ(t.station->state.CommPortNo, 1);
    ASSERT_EQ(t.messages.shown.size(), 1);
    const QString message = t.messages.shown[0];
    for (const QString& part : {QString("c:\\satfile\\MyComp.ini"), path, QString("directory")})
        EXPECT_TRUE(message.contains(part, Qt::CaseInsensitive)) << message.toStdString();
}

// Shown exactly as it came, line ends and prompt kept, never as markup; a
// port that cannot open is reported.
TEST_F(ReceiverWindowsTest, DataWindowShowsAShortAnswerOrThePortFailure) {
    port.answer = [](const QByteArray&) { return QByteArray("Port 1 <b>AA1</b>\r\n>"); };
    show<frmDisplayReceiver>(*link, "R M");
    EXPECT_EQ(port.sessions, QByteArrayList{"R M\r"});
    EXPECT_FALSE(link->busy());
    EXPECT_EQ(text("lblDisplayReceiver"), "Port 1 <b>AA1</b>\r\n>");
    EXPECT_EQ(window->findChild<QLabel*>("lblDisplayReceiver")->textFormat(), Qt::PlainText);
    port.failOpen = "No such file or directory";
    click("cmdDisplayReceiverRefresh");
    EXPECT_EQ(t.messages.shown, QStringList{"1  No such file or directory.  Check serial port "
                                            "settings in SetUp/Communications."});
}

// The carrier report's early ">" must not end it: it runs to the time-out.
// An answer arriving after the window is destroyed must not reach into it;
// a window kept for reuse asks again each time it is shown.
TEST_F(ReceiverWindowsTest, DataWindowReadsTheCarrierReportToTheTimeOut) {
    port.answer = [](const QByteArray&) { return CarrierReport; };
    show<frmDisplayReceiver>(*link, "RT C");
    t.time.advance(WindowTimeoutMs - 40);
    EXPECT_TRUE(link->busy());
    EXPECT_EQ(text("lblDisplayReceiver"), "");
    t.time.advance(80);
    EXPECT_EQ(text("lblDisplayReceiver"), QString::fromLatin1(CarrierReport));
    show<frmDisplayReceiver>(*link, "RT C");
    window.reset();
    t.time.advance(WindowTimeoutMs + 40);
    EXPECT_FALSE(link->busy());
    auto* w = show<frmDisplayReceiver>(*link, "R M");
    click("cmdDisplayReceiverExit");
    EXPECT_FALSE(w->isVisible());
    w->show();
    EXPECT_EQ(port.sessions, (QByteArrayList{"RT C\r", "RT C\r", "R M\r", "R M\r"}));
}

// Refresh reads long answers whatever the query and asks the query shown.
TEST_F(ReceiverWindowsTest, DataWindowRefreshReadsToTheLongAnswersEndMark) {
    int asked = 0;
    port.answer = [&](const QByteArray&) { return "Ports " + QByteArray::number(++asked) + ">"; };
    auto* w = show<frmDisplayReceiver>(*link, "R M");
    EXPECT_EQ(text("lblDisplayReceiver"), "Ports 1>");
    w->showQuery("R ER");
    click("cmdDisplayReceiverRefresh");
    t.time.advance(WindowTimeoutMs - 40);
    EXPECT_EQ(text("lblDisplayReceiver"), "");
    t.time.advance(80);
    EXPECT_EQ(text("lblDisplayReceiver"), "Ports 3>");
    EXPECT_EQ(port.sessions, (QByteArrayList{"R M\r", "R ER\r", "R ER\r"}));
}

// A window brought forward by another View entry must ask that entry's query
// and name it; the answer still owed to the query it showed before must not
// land under the new heading.
TEST_F(ReceiverWindowsTest, DataWindowFollowsTheQueryTheMenuChose) {
    port.answer = [](const QByteArray& written) -> QByteArray {
        if (written == "RT C\r")
            return CarrierReport;
        if (written == "R SP\r")
            return {}; // answers late
        return "Answer " + written.trimmed() + "\r\n>";
    };
    auto* w = show<frmDisplayReceiver>(*link, "RT C");
    EXPECT_EQ(text("lblQuery"), "Receiver Status: Carrier");
    w->showQuery("RT C");
    EXPECT_EQ(port.sessions, QByteArrayList{"RT C\r"});

    w->showQuery("R SP");
    EXPECT_EQ(text("lblQuery"), "Receiver Status: Receiver Serial Port");
    t.time.advance(WindowTimeoutMs + 40);
    EXPECT_EQ(text("lblDisplayReceiver"), "");
    static_cast<FakeSerialPort*>(port.port)->arrive("Port 19200\r\n>");
    EXPECT_EQ(text("lblDisplayReceiver"), "Port 19200\r\n>");

    for (auto [query, name] : {std::pair{"R S", "Receiver Status: Settings"},
                               std::pair{"R M", "Receiver Status: MPEG"}}) {
        w->showQuery(query);
        EXPECT_EQ(text("lblQuery"), name);
        EXPECT_EQ(text("lblDisplayReceiver"), "Answer " + QString(query) + "\r\n>");
    }
    EXPECT_EQ(port.sessions, (QByteArrayList{"RT C\r", "R SP\r", "R S\r", "R M\r"}));
}

// Each relay window shows the buttons of its card, captioned for what its
// report will say; a button's command and the report go in one exchange, so
// nothing can come between them.
TEST_F(ReceiverWindowsTest, RelayButtonsOfEachCardSendTheirCommandThenTheQuery) {
    const auto check = [&](const char* query, int visible, const QString& captions,
                           const std::vector<int>& presses, const QByteArrayList& sessions) {
        port.sessions.clear();
        auto* w = show<frmRelay>(*link, query);
        t.time.advance(ExchangeMs);
        for (int i = 0; i < frmRelay::ButtonCount; ++i) {
            EXPECT_EQ(w->cmdR[size_t(i)]->text(), captions.split('/')[i % 2]) << i;
            EXPECT_EQ(w->cmdR[size_t(i)]->isVisibleTo(w), i < visible) << query << i;
        }
        for (int i : presses) {
            QTest::mouseClick(w->cmdR[size_t(i)], Qt::LeftButton);
            t.time.advance(ExchangeMs);
        }
        EXPECT_EQ(port.sessions, sessions) << query;
    };
    check("R R", 4, "Open/Close", {3}, {"R R\r", "RE C 2\rR R\r"});
    check("R ER", 28, "Disable/Enable", {4, 5, 27},
          {"R ER\r", "ER D 3\rR ER\r", "ER E 3\rR ER\r", "ER E 14\rR ER\r"});
}

// The command's own prompt comes first and would end the answer before the
// report; the report is read only after the relay has had its second.
TEST_F(ReceiverWindowsTest, RelayWindowShowsTheReportTakenAfterTheRelaySwitched) {
    QByteArray report = "Relays OOOO\r\n>";
    port.answer = [&](const QByteArray& written) {
        return written == "R ER\r" ? report : QByteArray(">");
    };
    auto* w = show<frmRelay>(*link, "R ER");
    t.time.advance(ExchangeMs);
    report = "Relays OOCO\r\n>";
    QTest::mouseClick(w->cmdR[4], Qt::LeftButton);
    t.time.advance(900);
    EXPECT_EQ(text("lblRelay"), "Relays OOOO\r\n>");
    t.time.advance(200);
    EXPECT_FALSE(link->busy());
    EXPECT_EQ(text("lblRelay"), "Relays OOCO\r\n>");
    EXPECT_EQ(w->findChild<QLabel*>("lblRelay")->textFormat(), Qt::PlainText);
}

class SetReceiverTest : public ReceiverWindowTest {
protected:
    frmSetReceiver* open(const QByteArray& sources) {
        TempStation::writeFile(t.host("c:\\satfile\\Source.dat"), sources);
        return show<frmSetReceiver>(*link, [this](const QString& q) { dataWindowQueries << q; });
    }
    QListWidget* list(const char* name) { return window->findChild<QListWidget*>(name); }
    QStringList items(const char* name) {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts << list(name)->item(i)->text();
        return texts;
    }
    void set(int portRow, int routeRow, int sourceRow, int attRow) {
        port.sessions.clear();
        list("lstPort")->setCurrentRow(portRow);
        list("lstRoute")->setCurrentRow(routeRow);
        list("lstLang")->setCurrentRow(sourceRow);
        list("lstAtt")->setCurrentRow(attRow);
        click("cmdSet");
        t.time.advance(100);
    }

    QStringList dataWindowQueries; // the query each time the data window was asked for
};

TEST_F(SetReceiverTest, ListsFilledWithFirstItemsSelected) {
    open("ZZ9\r\nAA1\r\n\r\nBB2\n");
    EXPECT_EQ(items("lstPort"), (QStringList{"Port 1", "Port 2", "Port 3", "Port 4"}));
    EXPECT_EQ(items("lstRoute"), (QStringList{"Left", "Right", "Stereo", "Reverse"}));
    EXPECT_EQ(items("lstAtt").size(), 15);
    EXPECT_EQ(items("lstAtt").last(), "14");
    EXPECT_EQ(items("lstLang"), (QStringList{"ZZ9", "AA1", "BB2"}));
    for (const char* name : {"lstPort", "lstRoute", "lstAtt", "lstLang"})
        EXPECT_EQ(list(name)->currentRow(), 0) << name;
    // No attenuation step may be cut off or need scrolling to.
    const QRect view = list("lstAtt")->viewport()->rect();
    for (int row = 0; row < 15; ++row)
        EXPECT_TRUE(view.contains(list("lstAtt")->visualItemRect(list("lstAtt")->item(row))))
            << row;
}

// Set sends the audio, releases the port's relays in order and asks the data
// window for the port report.
TEST_F(SetReceiverTest, EachPortReleasesItsOwnRelaysInOrder) {
    open("ZZ9\r\nAA1\n");
    const QByteArrayList expected[] = {{"SETAUDIO 1 1 AA114\r", "ER D 11\r", "ER D 14\r"},
                                       {"SETAUDIO 2 2 AA114\r", "ER D 4\r", "ER D 7\r"},
                                       {"SETAUDIO 3 S AA114\r", "ER D 1\r"},
                                       {"SETAUDIO 4 R AA114\r", "ER D 8\r"}};
    for (int row = 0; row < 4; ++row) {
        set(row, row, 1, 14);
        EXPECT_EQ(port.sessions, expected[row]) << "port " << row + 1;
    }
    EXPECT_EQ(dataWindowQueries, QStringList(4, QString("R M")));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

// Without a source the receiver would take the attenuation for one.
TEST_F(SetReceiverTest, NoSourceCodesSendsNothing) {
    open("\r\n  \r\n");
    EXPECT_EQ(list("lstLang")->count(), 0);
    set(0, 0, 0, 0);
    EXPECT_EQ(t.messages.shown,
              QStringList{"No program source codes: add them in SetUp, Program Source Codes."});
    EXPECT_TRUE(port.sessions.isEmpty());
    EXPECT_TRUE(dataWindowQueries.isEmpty());
}

// The console's menus on the real link, against the simulated receiver: what
// the operator's clicks put on the wire.
class ReceiverMenuTest : public ::testing::Test {
protected:
    ReceiverMenuTest() : s(sim.device()) {
        TempStation::writeFile(s.paths->resolve("c:\\satfile\\Source.dat"), "AA1\r\nBB2\r\n");
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
    for (auto [list, row] :
         {std::pair{"lstPort", 2}, {"lstRoute", 2}, {"lstLang", 0}, {"lstAtt", 0}})
        set->findChild<QListWidget*>(list)->setCurrentRow(row);
    QTest::mouseClick(set->findChild<QPushButton*>("cmdSet"), Qt::LeftButton);
    ASSERT_TRUE(sim.waitForCommands(3));
    EXPECT_EQ(sim.commands(), (QStringList{"SETAUDIO 3 S AA10", "ER D 1", "R M"}));
    auto* data = menu.findChild<frmDisplayReceiver*>();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(waitUntil([&] { return label(data, "lblDisplayReceiver").endsWith('>'); }));
    EXPECT_TRUE(label(data, "lblDisplayReceiver").contains("S AA10"));
}

// The relay command's prompt comes back ahead of the report the window shows.
TEST_F(ReceiverMenuTest, ExtendedRelayButtonSendsItsCommandAndReadsTheStatusAgain) {
    menu.mnuExtendedRelays->trigger();
    auto* relay = menu.findChild<frmRelay*>();
    ASSERT_NE(relay, nullptr);
    ASSERT_TRUE(waitUntil([&] { return label(relay, "lblRelay").endsWith('>'); }));
    EXPECT_TRUE(
        QRegularExpression("Relay 3:\\s+DISABLED").match(label(relay, "lblRelay")).hasMatch());
    QTest::mouseClick(relay->cmdR[5], Qt::LeftButton);
    ASSERT_TRUE(sim.waitForCommands(3));
    EXPECT_EQ(sim.commands(), (QStringList{"R ER", "ER E 3", "R ER"}));
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

    EXPECT_TRUE(menu.mnuCommunications->isEnabled());
    menu.mnuCommunications->trigger();
    auto* w = menu.findChild<QWidget*>("frmComSelect");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Communications");
}

} // namespace
