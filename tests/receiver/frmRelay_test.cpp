#include "receiver/frmRelay.h"
#include "support/test.h"

#include "fakes/receiver_window_test.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Long enough for the opening query and for a button's settle and report.
constexpr int ExchangeMs = 3100;

class RelayTest : public ReceiverWindowTest<frmRelay> {
protected:
    void open(const QString& query) {
        showWindow(query);
        t.time.advance(ExchangeMs);
    }
    QPushButton* button(int i) { return w->findChild<QPushButton*>(QString("cmdR_%1").arg(i)); }
    void press(int i, int ms = ExchangeMs) {
        QTest::mouseClick(button(i), Qt::LeftButton);
        t.time.advance(ms);
    }
    QString shown() const { return w->findChild<QLabel*>("lblRelay")->text(); }
};

} // namespace

TEST_F(RelayTest, ReceiverRelaysShowOnlyTheirFourButtons) {
    port.answer = [](const QByteArray&) { return QByteArray("Relay 1 Open\r\n>"); };
    open("R R");
    for (int i = 0; i < frmRelay::ButtonCount; ++i) {
        EXPECT_EQ(button(i), w->cmdR[size_t(i)]);
        EXPECT_EQ(button(i)->text(), i % 2 == 0 ? "Open" : "Close") << i;
        EXPECT_EQ(button(i)->isVisibleTo(w.get()), i < 4) << i;
    }
    EXPECT_EQ(shown(), "Relay 1 Open\r\n>");
    press(3);
    EXPECT_EQ(port.sessions, (QByteArrayList{"R R\r", "RE C 2\rR R\r"}));
}

// Command and report go in one exchange, so nothing can come between them;
// the expansion card's window shows every button, captioned for its report.
TEST_F(RelayTest, ExpansionButtonSendsItsCommandThenTheQuery) {
    open("R ER");
    EXPECT_TRUE(button(27)->isVisibleTo(w.get()));
    // The report shows expansion relays as DISABLED or ENABLED.
    EXPECT_EQ(button(4)->text() + "/" + button(27)->text(), "Disable/Enable");
    port.sessions.clear();
    press(4);
    press(5);
    press(27);
    EXPECT_EQ(port.sessions,
              (QByteArrayList{"ER D 3\rR ER\r", "ER E 3\rR ER\r", "ER E 14\rR ER\r"}));
}

// The command's own prompt comes first and would end the answer before the
// report; the report is read only after the relay has had its second.
TEST_F(RelayTest, ShowsTheReportTakenAfterTheRelaySwitched) {
    QByteArray report = "Relays OOOO\r\n>";
    port.answer = [&](const QByteArray& written) {
        return written == "R ER\r" ? report : QByteArray(">");
    };
    open("R ER");
    report = "Relays OOCO\r\n>";
    press(4, 900);
    EXPECT_EQ(shown(), "Relays OOOO\r\n>");
    t.time.advance(200);
    EXPECT_FALSE(link->busy());
    EXPECT_EQ(shown(), "Relays OOCO\r\n>");
    EXPECT_EQ(w->findChild<QLabel*>("lblRelay")->textFormat(), Qt::PlainText);
}

TEST_F(RelayTest, PortThatCannotOpenIsReported) {
    port.failOpen = "Device busy";
    open("R ER");
    press(0);
    const QString failure = "1  Device busy.  Check serial port settings in SetUp/Communications.";
    EXPECT_EQ(t.messages.shown, (QStringList{failure, failure}));
}
