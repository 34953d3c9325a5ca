#include "receiver/frmDisplayReceiver.h"
#include "support/test.h"

#include "fakes/receiver_window_test.h"

#include <QLabel>
#include <QPushButton>

namespace {

// At 10:00:00.000 a status window waits three seconds for its answer.
constexpr int WindowTimeoutMs = 3000;
const QByteArray CarrierReport = "Carrier  Locked >\r\nLevel  -41 dBm\r\n>";

class DisplayReceiverTest : public ReceiverWindowTest<frmDisplayReceiver> {
protected:
    void open(const QString& query) { showWindow(query); }
    QString shown() const { return w->findChild<QLabel*>("lblDisplayReceiver")->text(); }
    QString heading() const { return w->findChild<QLabel*>("lblQuery")->text(); }
};

} // namespace

// Shown exactly as it came, line ends and prompt kept, never as markup.
TEST_F(DisplayReceiverTest, ShortQueryEndsAtThePrompt) {
    port.answer = [](const QByteArray&) { return QByteArray("Port 1 <b>AA1</b>\r\n>"); };
    open("R M");
    EXPECT_EQ(port.sessions, QByteArrayList{"R M\r"});
    EXPECT_FALSE(link->busy());
    EXPECT_EQ(shown(), "Port 1 <b>AA1</b>\r\n>");
    EXPECT_EQ(w->findChild<QLabel*>("lblDisplayReceiver")->textFormat(), Qt::PlainText);
}

// The carrier report's early ">" must not end it: it runs to the time-out.
TEST_F(DisplayReceiverTest, CarrierReportRunsToTheTimeOut) {
    port.answer = [](const QByteArray&) { return CarrierReport; };
    open("RT C");
    t.time.advance(WindowTimeoutMs - 40);
    EXPECT_TRUE(link->busy());
    EXPECT_EQ(shown(), "");
    t.time.advance(80);
    EXPECT_EQ(shown(), QString::fromLatin1(CarrierReport));
    EXPECT_EQ(port.sessions, QByteArrayList{"RT C\r"});
}

// Refresh reads long answers whatever the query and asks the query shown.
TEST_F(DisplayReceiverTest, RefreshReadsToTheLongAnswersEndMark) {
    int asked = 0;
    port.answer = [&](const QByteArray&) { return "Ports " + QByteArray::number(++asked) + ">"; };
    open("R M");
    EXPECT_EQ(shown(), "Ports 1>");
    w->showQuery("R ER");
    QTest::mouseClick(w->findChild<QPushButton*>("cmdDisplayReceiverRefresh"), Qt::LeftButton);
    t.time.advance(WindowTimeoutMs - 40);
    EXPECT_EQ(shown(), "");
    t.time.advance(80);
    EXPECT_EQ(shown(), "Ports 3>");
    EXPECT_EQ(port.sessions, (QByteArrayList{"R M\r", "R ER\r", "R ER\r"}));
}

TEST_F(DisplayReceiverTest, PortThatCannotOpenIsReported) {
    port.failOpen = "No such file or directory";
    open("R M");
    EXPECT_EQ(t.messages.shown, QStringList{"1  No such file or directory.  Check serial port "
                                            "settings in SetUp/Communications."});
}

// An answer arriving after the window is destroyed must not reach into it;
// a window kept for reuse asks again each time it is shown.
TEST_F(DisplayReceiverTest, ClosingAndReopening) {
    port.answer = [](const QByteArray&) { return CarrierReport; };
    open("RT C");
    w.reset();
    t.time.advance(WindowTimeoutMs + 40);
    EXPECT_FALSE(link->busy());
    open("R M");
    QTest::mouseClick(w->findChild<QPushButton*>("cmdDisplayReceiverExit"), Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    w->show();
    EXPECT_EQ(port.sessions, (QByteArrayList{"RT C\r", "R M\r", "R M\r"}));
}

// A window brought forward by another View entry must ask that entry's query
// and name it; the answer still owed to the query it showed before must not
// land under the new heading.
TEST_F(DisplayReceiverTest, FollowsTheQueryTheMenuChose) {
    port.answer = [](const QByteArray& written) -> QByteArray {
        if (written == "RT C\r")
            return CarrierReport;
        if (written == "R SP\r")
            return {}; // answers late
        return "Answer " + written.trimmed() + "\r\n>";
    };
    open("RT C");
    EXPECT_EQ(heading(), "Receiver Status: Carrier");
    w->showQuery("RT C");
    EXPECT_EQ(port.sessions, QByteArrayList{"RT C\r"});

    w->showQuery("R SP");
    EXPECT_EQ(heading(), "Receiver Status: Receiver Serial Port");
    t.time.advance(WindowTimeoutMs + 40);
    EXPECT_EQ(shown(), "");
    static_cast<FakeSerialPort*>(port.port)->arrive("Port 19200\r\n>");
    EXPECT_EQ(shown(), "Port 19200\r\n>");

    for (auto [query, name] : {std::pair{"R S", "Receiver Status: Settings"},
                               std::pair{"R M", "Receiver Status: MPEG"}}) {
        w->showQuery(query);
        EXPECT_EQ(heading(), name);
        EXPECT_EQ(shown(), "Answer " + QString(query) + "\r\n>");
    }
    EXPECT_EQ(port.sessions, (QByteArrayList{"RT C\r", "R SP\r", "R S\r", "R M\r"}));
}
