#include "fakes/fake_serial_port.h"
#include "fakes/temp_station.h"
#include "receiver/receiver_commands.h"
#include "receiver/receiver_link.h"
#include "station/station.h"
#include "support/test.h"

namespace {

class ReceiverLinkTest : public ::testing::Test {
protected:
    ReceiverLinkTest() : t(QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0))) {
        t.writeSettings({{Setting::CommPortNo, 2}, {Setting::BaudIndex, 2}});
        t.startUp();
        auto port = std::make_unique<FakeSerialPort>(shared);
        fake = port.get();
        link = std::make_unique<ReceiverLink>(*t.station, std::move(port));
    }
    ReceiverExchange query(const QByteArray& q, int endMarkFrom = 1, int timeoutMs = 3000) {
        ReceiverExchange e;
        e.writes = {q + '\r'};
        e.collect = true;
        e.endMarkFrom = endMarkFrom;
        e.timeoutMs = timeoutMs;
        return e;
    }

    TempStation t;
    FakeSerialPort::Shared shared;
    FakeSerialPort* fake = nullptr;
    std::unique_ptr<ReceiverLink> link;
};

TEST_F(ReceiverLinkTest, PortAndSpeedComeFromTheSettings) {
    EXPECT_EQ(link->device(), "/dev/ttyS1");
    EXPECT_EQ(link->lineSettings(), "19200,N,8,1");
    t.station->state.BaudIndex = 1;
    EXPECT_EQ(link->lineSettings(), "9600,N,8,1");
}

TEST_F(ReceiverLinkTest, AnswerEndsAtThePromptAndThePortIsClosedAfter) {
    shared.answer = [](const QByteArray&) { return QByteArray("line 1\r\nline 2\r\n>"); };
    ReceiverResult got;
    link->run(query("R M"), [&](const ReceiverResult& r) { got = r; });
    EXPECT_TRUE(got.complete);
    EXPECT_EQ(got.answer, "line 1\r\nline 2\r\n>");
    EXPECT_EQ(shared.sessions, QByteArrayList{"R M\r"});
    EXPECT_EQ(shared.opens, QStringList{"/dev/ttyS1|19200,N,8,1"});
    EXPECT_EQ(shared.closes, 1);
}

// The carrier answer's early ">" does not end it when the mark only counts
// from position 700: the window reads on until its time-out.
TEST_F(ReceiverLinkTest, EndMarkBeforeItsStartPositionRunsToTheTimeOut) {
    shared.answer = [](const QByteArray&) { return QByteArray(300, 'x') + ">"; };
    bool finished = false;
    ReceiverResult got;
    link->run(query("RT C", 700, 3000), [&](const ReceiverResult& r) {
        finished = true;
        got = r;
    });
    t.time.advance(2900);
    EXPECT_FALSE(finished);
    t.time.advance(200);
    ASSERT_TRUE(finished);
    EXPECT_FALSE(got.complete);
    EXPECT_EQ(got.answer.size(), 301);

    finished = false;
    shared.answer = [](const QByteArray&) { return QByteArray(700, 'x') + ">"; };
    link->run(query("RT C", 700, 3000), [&](const ReceiverResult& r) {
        finished = true;
        got = r;
    });
    EXPECT_TRUE(finished);
    EXPECT_TRUE(got.complete);
}

// Time-outs run on a steady clock: a query just before midnight gets its
// whole time.
TEST_F(ReceiverLinkTest, QueryJustBeforeMidnightGetsItsFullTime) {
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 59, 900)));
    bool finished = false;
    link->run(query("R S", 1, 3000), [&](const ReceiverResult&) { finished = true; });
    t.time.advance(2000);
    fake->arrive("late answer\r\n>");
    EXPECT_TRUE(finished);
}

TEST_F(ReceiverLinkTest, BabblingReceiverIsCappedAndEndsAtTheTimeOut) {
    bool finished = false;
    ReceiverResult got;
    link->run(query("R C", 1, 1000), [&](const ReceiverResult& r) {
        finished = true;
        got = r;
    });
    for (int i = 0; i < 200 && !finished; ++i) {
        fake->arrive(QByteArray(8192, 'b'));
        t.time.advance(10);
    }
    t.time.advance(1000);
    ASSERT_TRUE(finished);
    EXPECT_EQ(got.answer.size(), ReceiverLink::MaxAnswer);
    EXPECT_FALSE(got.complete);
}

TEST_F(ReceiverLinkTest, OneExchangeAtATimeWithCommandsAheadOfWaitingQueries) {
    QStringList order;
    link->run(query("R M", 1, 3000), [&](const ReceiverResult&) { order << "R M"; });
    link->run(query("R S", 1, 3000), [&](const ReceiverResult&) { order << "R S"; });
    ReceiverExchange command;
    command.writes = {"SETAUDIO 1 S AA1 0  \r"};
    link->run(command, [&](const ReceiverResult&) { order << "SETAUDIO"; });
    EXPECT_TRUE(link->busy());
    EXPECT_EQ(link->queued(), 2);
    EXPECT_EQ(shared.opens.size(), 1);
    t.time.advance(10000);
    EXPECT_EQ(order, (QStringList{"R M", "SETAUDIO", "R S"}));
    EXPECT_EQ(shared.sessions, (QByteArrayList{"R M\r", "SETAUDIO 1 S AA1 0  \r", "R S\r"}));
    EXPECT_EQ(shared.closes, 3);
}

// After a relay command, its own prompt comes back before the re-query's
// answer; it must not end the answer.
TEST_F(ReceiverLinkTest, EarlyPromptIsDroppedAndTheSettleWaitIsKept) {
    ReceiverExchange e = query("R ER", 1, 2000);
    e.writes.prepend("ER D 3\r");
    e.settleMs = 1000;
    e.dropEarlyPrompt = true;
    shared.answer = [](const QByteArray& w) {
        return w.startsWith("ER") ? QByteArray("\r\n>") : QByteArray("Relay 3 Disabled\r\n>");
    };
    bool finished = false;
    ReceiverResult got;
    link->run(e, [&](const ReceiverResult& r) {
        finished = true;
        got = r;
    });
    t.time.advance(900);
    EXPECT_FALSE(finished);
    t.time.advance(200);
    ASSERT_TRUE(finished);
    EXPECT_TRUE(got.complete);
    EXPECT_EQ(got.answer, "Relay 3 Disabled\r\n>");
    EXPECT_EQ(shared.sessions, QByteArrayList{"ER D 3\rR ER\r"});
}

TEST_F(ReceiverLinkTest, UnusablePortIsReportedWithNumberDescriptionAndAdvice) {
    shared.failOpen = "No such file or directory";
    t.station->state.ReceiverCommand = "SETAUDIO 1 S AA1 0 ";
    bool sent = true;
    SendReceiverCommand(*t.station, *link, [&](bool s) { sent = s; });
    EXPECT_FALSE(sent);
    EXPECT_EQ(t.messages.shown, QStringList{"1  No such file or directory.  Check serial port "
                                            "settings in SetUp/Communications."});
    // No port configured at all.
    shared.failOpen.clear();
    t.station->state.CommPortNo = 0;
    SendReceiverCommand(*t.station, *link);
    EXPECT_EQ(t.messages.shown.last(),
              "1  No serial port 0.  Check serial port settings in SetUp/Communications.");
    EXPECT_TRUE(shared.opens.isEmpty());
}

TEST_F(ReceiverLinkTest, CommandIsSentWithACarriageReturnOnly) {
    t.station->state.ReceiverCommand = "ER D 11";
    bool sent = false;
    SendReceiverCommand(*t.station, *link, [&](bool s) { sent = s; });
    EXPECT_TRUE(sent);
    EXPECT_EQ(shared.sessions, QByteArrayList{"ER D 11\r"});
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(WindowTimeoutTest, TwoSecondsPastTheFollowingWholeSecond) {
    EXPECT_EQ(windowAnswerTimeoutMs(100.0), 3000);
    EXPECT_EQ(windowAnswerTimeoutMs(100.4), 2600);
    EXPECT_EQ(windowAnswerTimeoutMs(100.6), 3400);
    EXPECT_EQ(windowAnswerTimeoutMs(86399.7), 3300);
}

} // namespace
