#include "app/mnuMenu.h"
#include "console/clock_tick.h"
#include "fakes/fake_serial_port.h"
#include "fakes/list_texts.h"
#include "fakes/temp_station.h"
#include "receiver/frmComSelect.h"
#include "receiver/frmDisplayReceiver.h"
#include "receiver/frmRelay.h"
#include "receiver/frmSetReceiver.h"
#include "receiver/receiver_link.h"
#include "station/settings_file.h"
#include "support/test.h"

#include <QtWidgets>

namespace {

// At 10:00:00.000 a status window waits three seconds for its answer.
constexpr int WindowTimeoutMs = 3000;
// Long enough for a relay window's opening query and for a button's settle
// and report.
constexpr int ExchangeMs = 3100;
const QByteArray CarrierReport = "Carrier  Locked >\r\nLevel  -41 dBm\r\n>";

// A receiver window on a station whose link talks to a scripted port. The
// threshold stands for the settings a window must leave alone.
class ReceiverWindowsTest : public ::testing::Test {
protected:
    ReceiverWindowsTest() {
        t.writeSettings(
            {{Setting::RecordThreshold, -300}, {Setting::CommPortNo, 3}, {Setting::BaudIndex, 1}});
        t.startUp();
        link = std::make_unique<ReceiverLink>(*t.station, std::make_unique<FakeSerialPort>(port));
    }
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
    QByteArray settings() const { return TempStation::readFile(t.host(SettingsFile::StationPath)); }
    bool checked(const char* name) { return window->findChild<QRadioButton*>(name)->isChecked(); }

    TempStation t;
    FakeSerialPort::Shared port;
    std::unique_ptr<ReceiverLink> link;
    std::unique_ptr<QWidget> window;
};

// On the indicator: an option button takes clicks there and on its caption only.
void choose(QWidget* w, const char* option) {
    auto* b = w->findChild<QRadioButton*>(option);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

// Port and speed are separate choices: picking one must not clear the other;
// nothing reaches the station before the window closes, by its button or by
// Esc (no close event); a window kept for reuse shows the station's choice.
TEST_F(ReceiverWindowsTest, ComSelectSavesTheChoiceOnCloseAndReportsAnUnwritableFile) {
    auto* w = show<frmComSelect>();
    const QByteArray before = settings();
    w->close();
    EXPECT_EQ(settings(), before);
    w->show();
    EXPECT_TRUE(checked("optSP3") && checked("optBaud1"));
    choose(w, "optSP2");
    choose(w, "optBaud2");
    EXPECT_EQ(t.station->state.CommPortNo, 3);
    click("cmdClose");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(t.station->state.CommPortNo * 10 + t.station->state.BaudIndex, 22);
    EXPECT_EQ(settings(), before.left(24) + QByteArray("\x02\x00\x02\x00", 4));
    w->show();
    choose(w, "optSP4");
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_EQ(t.station->state.CommPortNo, 4);
    EXPECT_EQ(settings().at(24), 4);
    t.station->state.CommPortNo = 1;
    w->show();
    EXPECT_TRUE(checked("optSP1"));
    EXPECT_EQ(w->workingPort(), 1);

    const QString path = t.host(SettingsFile::StationPath);
    ASSERT_TRUE(QFile::remove(path) && QDir().mkpath(path));
    choose(w, "optSP3");
    click("cmdClose");
    EXPECT_EQ(t.station->state.CommPortNo, 3);
    EXPECT_EQ(t.messages.shown, QStringList{"The port and baud rate could not be saved in "
                                            "c:\\satfile\\MyComp.ini (" +
                                            path + "): Is a directory"});
}

// Line ends and prompt kept, never as markup. The carrier report's early ">"
// must not end it: it runs to the time-out, as Refresh does for any query. An
// answer arriving after the window is destroyed must not reach into it; a
// window kept for reuse asks again each time it is shown.
TEST_F(ReceiverWindowsTest, DataWindowShowsTheAnswerAsItCameAndReadsLongAnswersToTheTimeOut) {
    int asked = 0;
    port.answer = [&](const QByteArray& written) {
        return written == "RT C\r" ? CarrierReport
                                   : "Port " + QByteArray::number(++asked) + " <b>AA1</b>\r\n>";
    };
    auto* w = show<frmDisplayReceiver>(*link, "R M");
    EXPECT_EQ(text("lblDisplayReceiver"), "Port 1 <b>AA1</b>\r\n>");
    EXPECT_EQ(window->findChild<QLabel*>("lblDisplayReceiver")->textFormat(), Qt::PlainText);
    w->showQuery("R ER");
    click("cmdDisplayReceiverRefresh");
    t.time.advance(WindowTimeoutMs - 40);
    EXPECT_EQ(text("lblDisplayReceiver"), "");
    t.time.advance(80);
    EXPECT_EQ(text("lblDisplayReceiver"), "Port 3 <b>AA1</b>\r\n>");
    t.time.advance(960); // on a whole second again: three seconds to wait
    w->showQuery("RT C");
    t.time.advance(WindowTimeoutMs - 40);
    EXPECT_TRUE(link->busy());
    EXPECT_EQ(text("lblDisplayReceiver"), "");
    t.time.advance(80);
    EXPECT_EQ(text("lblDisplayReceiver"), QString::fromLatin1(CarrierReport));
    show<frmDisplayReceiver>(*link, "RT C");
    window.reset();
    t.time.advance(WindowTimeoutMs + 40);
    EXPECT_FALSE(link->busy());
    w = show<frmDisplayReceiver>(*link, "R M");
    click("cmdDisplayReceiverExit");
    EXPECT_FALSE(w->isVisible());
    w->show();
    EXPECT_EQ(port.sessions,
              (QByteArrayList{"R M\r", "R ER\r", "R ER\r", "RT C\r", "RT C\r", "R M\r", "R M\r"}));
}

// A window brought forward by another View entry must ask that entry's query
// (the same entry again asks nothing) and name it; the answer still owed to
// the query it showed before must not land under the new heading.
TEST_F(ReceiverWindowsTest, DataWindowFollowsTheQueryTheMenuChose) {
    port.answer = [](const QByteArray& written) {
        return written == "RT C\r" ? CarrierReport : QByteArray(); // R SP answers late
    };
    auto* w = show<frmDisplayReceiver>(*link, "RT C");
    w->showQuery("RT C");
    w->showQuery("R SP");
    EXPECT_EQ(text("lblQuery"), "Receiver Status: Receiver Serial Port");
    t.time.advance(WindowTimeoutMs + 40);
    EXPECT_EQ(text("lblDisplayReceiver"), "");
    static_cast<FakeSerialPort*>(port.port)->arrive("Port 19200\r\n>");
    EXPECT_EQ(text("lblDisplayReceiver"), "Port 19200\r\n>");
    EXPECT_EQ(port.sessions, (QByteArrayList{"RT C\r", "R SP\r"}));
}

// Captions say what the report will show; a command and its report go in one
// exchange, so nothing can come between them.
TEST_F(ReceiverWindowsTest, RelayButtonsOfEachCardSendTheirCommandThenShowTheReport) {
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
    check("R R", 4, "Open/Close", {0, 1, 2, 3},
          {"R R\r", "RE O 1\rR R\r", "RE C 1\rR R\r", "RE O 2\rR R\r", "RE C 2\rR R\r"});
    check("R ER", 28, "Disable/Enable", {1, 4, 27},
          {"R ER\r", "ER E 1\rR ER\r", "ER D 3\rR ER\r", "ER E 14\rR ER\r"});

    // The command's own prompt comes first and would end the answer before
    // the report; the report is read only after the relay has had its second.
    port.answer = [](const QByteArray& written) {
        return QByteArray(written == "R ER\r" ? "Relays OOCO\r\n>" : "\r\n>");
    };
    QTest::mouseClick(static_cast<frmRelay*>(window.get())->cmdR[4], Qt::LeftButton);
    t.time.advance(900);
    EXPECT_EQ(text("lblRelay"), "");
    t.time.advance(200);
    EXPECT_FALSE(link->busy());
    EXPECT_EQ(text("lblRelay"), "Relays OOCO\r\n>");
    EXPECT_EQ(window->findChild<QLabel*>("lblRelay")->textFormat(), Qt::PlainText);
}

// Without a source the receiver would take the attenuation for one, so
// nothing is sent.
TEST_F(ReceiverWindowsTest, SetReceiverReleasesEachPortsOwnRelaysOrRefusesWithoutSources) {
    QStringList dataWindowQueries;
    const auto open = [&](const QByteArray& sources) {
        TempStation::writeFile(t.host("c:\\satfile\\Source.dat"), sources);
        show<frmSetReceiver>(*link, [&](const QString& q) { dataWindowQueries << q; });
    };
    const auto list = [&](const char* name) { return window->findChild<QListWidget*>(name); };
    const auto items = [&](const char* name) { return listTexts(list(name)); };
    const auto set = [&](int portRow, int routeRow, int sourceRow, int attRow) {
        port.sessions.clear();
        for (auto [name, row] : {std::pair{"lstPort", portRow},
                                 {"lstRoute", routeRow},
                                 {"lstLang", sourceRow},
                                 {"lstAtt", attRow}})
            list(name)->setCurrentRow(row);
        click("cmdSet");
        t.time.advance(100);
    };
    open("ZZ9\r\nAA1\r\n\r\nBB2\n");
    EXPECT_EQ(items("lstPort") + items("lstRoute") + items("lstLang"),
              (QStringList{"Port 1", "Port 2", "Port 3", "Port 4", "Left", "Right", "Stereo",
                           "Reverse", "ZZ9", "AA1", "BB2"}));
    EXPECT_EQ(items("lstAtt").join(','), "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14");
    // No attenuation step may be cut off or need scrolling to.
    const QRect view = list("lstAtt")->viewport()->rect();
    for (int row = 0; row < 15; ++row)
        EXPECT_TRUE(view.contains(list("lstAtt")->visualItemRect(list("lstAtt")->item(row))))
            << row;

    const QByteArrayList expected[] = {{"SETAUDIO 1 1 AA114\r", "ER D 11\r", "ER D 14\r"},
                                       {"SETAUDIO 2 2 AA114\r", "ER D 4\r", "ER D 7\r"},
                                       {"SETAUDIO 3 S AA114\r", "ER D 1\r"},
                                       {"SETAUDIO 4 R AA114\r", "ER D 8\r"}};
    for (int row = 0; row < 4; ++row) {
        set(row, row, 1, 14);
        EXPECT_EQ(port.sessions, expected[row]) << "port " << row + 1;
    }
    EXPECT_EQ(dataWindowQueries, QStringList(4, QString("R M")));

    open("\r\n  \r\n");
    EXPECT_EQ(list("lstLang")->count(), 0);
    set(0, 0, 0, 0);
    EXPECT_EQ(t.messages.shown,
              QStringList{"No program source codes: add them in SetUp, Program Source Codes."});
    EXPECT_TRUE(port.sessions.isEmpty());
    EXPECT_EQ(dataWindowQueries.size(), 4);
}

// Set Receiver's report goes to a fresh data window.
TEST_F(ReceiverWindowsTest, MenuEntriesAskTheirQueryInAKeptOrAFreshWindow) {
    TempStation::writeFile(t.host("c:\\satfile\\Source.dat"), "AA1\r\nBB2\r\n");
    port.answer = [](const QByteArray& written) { return "Answer " + written.trimmed() + "\r\n>"; };
    ClockDispatcher dispatcher{*t.station, TickHandoffs{}};
    mnuMenu menu{*t.station, dispatcher, nullptr, {link.get()}};
    menu.show();
    // The entry, what it sends, and whether the window shown before took it.
    const std::tuple<QAction*, QByteArray, bool> entries[] = {
        {menu.mnuMPEGStatus, "R M\r", false},     {menu.mnuReceiverSerialPort, "R SP\r", true},
        {menu.mnuCarrierStatus, "RT C\r", false}, {menu.mnuSettings, "R S\r", true},
        {menu.mnuRelayStatus, "R R\r", false},    {menu.mnuExtendedRelays, "R ER\r", false},
        {menu.mnuRelayStatus, "R R\r", false}};
    const auto shownWindow = [&](bool relay) -> QWidget* {
        return relay ? (QWidget*)menu.findChild<frmRelay*>()
                     : menu.findChild<frmDisplayReceiver*>();
    };
    for (const auto& [entry, sent, kept] : entries) {
        const bool relay = sent.startsWith("R R") || sent.startsWith("R E");
        const QPointer<QWidget> before = shownWindow(relay);
        port.sessions.clear();
        entry->trigger();
        t.time.advance(ExchangeMs);
        EXPECT_EQ(port.sessions, QByteArrayList{sent}) << sent.data();
        EXPECT_EQ(before.data() == shownWindow(relay), kept) << sent.data();
        EXPECT_TRUE(shownWindow(relay)->isVisible()) << sent.data();
    }

    const QPointer<QWidget> dataWindow = shownWindow(false);
    port.sessions.clear();
    menu.mnuSetReceiver->trigger();
    QTest::mouseClick(menu.findChild<frmSetReceiver*>()->findChild<QPushButton*>("cmdSet"),
                      Qt::LeftButton);
    t.time.advance(ExchangeMs);
    EXPECT_EQ(port.sessions,
              (QByteArrayList{"SETAUDIO 1 1 AA10\r", "ER D 11\r", "ER D 14\r", "R M\r"}));
    EXPECT_TRUE(dataWindow.isNull());
    EXPECT_EQ(
        menu.findChild<frmDisplayReceiver*>()->findChild<QLabel*>("lblDisplayReceiver")->text(),
        "Answer R M\r\n>");
}

} // namespace
