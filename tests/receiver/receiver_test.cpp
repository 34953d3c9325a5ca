#include "fakes/fake_serial_port.h"
#include "fakes/temp_station.h"
#include "receiver/eb_no.h"
#include "receiver/receiver_commands.h"
#include "receiver/receiver_link.h"
#include "support/test.h"

#include <optional>

namespace {

ReceiverExchange query(const QByteArray& q, int endMarkFrom = 1, int timeoutMs = 3000) {
    return {
        .writes = {q + '\r'}, .collect = true, .endMarkFrom = endMarkFrom, .timeoutMs = timeoutMs};
}

QByteArray carrierAnswer(const QByteArray& line12) {
    QByteArray a;
    for (int i = 1; i <= 11; ++i)
        a += "Line " + QByteArray::number(i) + "\r\n";
    return a + line12 + "\r\nLine 13\r\n>";
}

class ReceiverLinkTest : public ::testing::Test {
protected:
    ReceiverLinkTest() : t(QDateTime(QDate(2026, 3, 2), QTime(10, 20, 12))) {
        t.writeSettings(
            {{Setting::CommPortNo, 2}, {Setting::BaudIndex, 2}, {Setting::ActivityLogOn, 1}});
        t.startUp();
        auto port = std::make_unique<FakeSerialPort>(shared);
        fake = port.get();
        link = std::make_unique<ReceiverLink>(*t.station, std::move(port));
    }
    void run(const ReceiverExchange& e) {
        got.reset();
        link->run(e, [&](const ReceiverResult& r) { got = r; });
    }
    QByteArray log(const char* kind) { return t.log(kind, QDate(2026, 3, 2)); }

    TempStation t;
    FakeSerialPort::Shared shared;
    FakeSerialPort* fake = nullptr;
    std::unique_ptr<ReceiverLink> link;
    std::optional<ReceiverResult> got;
};

// A ">" before the mark's position is read past (the carrier report's, in the
// data window's test); one at it ends the answer at once.
TEST_F(ReceiverLinkTest, EndMarkPositionSteadyTimeOutAndTheCapOnABabblingReceiver) {
    shared.answer = [](const QByteArray&) { return QByteArray(700, 'x') + ">"; };
    run(query("RT C", 700, 3000));
    EXPECT_TRUE(got && got->complete);
    // Time-outs run on a steady clock: a query just before midnight gets its
    // whole time.
    shared.answer = nullptr;
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 59, 900)));
    run(query("R S", 1, 3000));
    t.time.advance(2000);
    fake->arrive("late answer\r\n>");
    EXPECT_TRUE(got && got->complete);
    // A babbling receiver is capped and ends at the time-out.
    run(query("R C", 1, 1000));
    for (int i = 0; i < 200 && !got; ++i) {
        fake->arrive(QByteArray(8192, 'b'));
        t.time.advance(10);
    }
    t.time.advance(1000);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->answer.size(), ReceiverLink::MaxAnswer);
    EXPECT_FALSE(got->complete);
}

// The port and speed are the settings'.
TEST_F(ReceiverLinkTest, OneExchangeAtATimeWithCommandsAheadOfWaitingQueries) {
    QStringList order;
    link->run(query("R M"), [&](const ReceiverResult&) { order << "R M"; });
    link->run(query("R S"), [&](const ReceiverResult&) { order << "R S"; });
    ReceiverExchange command;
    command.writes = {"SETAUDIO 1 S AA1 0  \r"};
    link->run(command, [&](const ReceiverResult&) { order << "SETAUDIO"; });
    EXPECT_EQ(std::pair(link->busy(), link->queued()), std::pair(true, 2));
    EXPECT_EQ(shared.opens, QStringList{"/dev/ttyS1|19200,N,8,1"});
    t.time.advance(10000);
    EXPECT_EQ(order, (QStringList{"R M", "SETAUDIO", "R S"}));
    EXPECT_EQ(shared.sessions, (QByteArrayList{"R M\r", "SETAUDIO 1 S AA1 0  \r", "R S\r"}));
    EXPECT_EQ(shared.closes, 3);
    t.station->state.BaudIndex = 1;
    EXPECT_EQ(link->lineSettings(), "9600,N,8,1");
}

// A command that goes out is the recording tests' (cues and relays); one
// that does not is shown and logged, and port 0 is never opened.
TEST_F(ReceiverLinkTest, CommandThatCannotGoIsShownAndLogged) {
    t.station->state.ReceiverCommand = "ER D 11";
    shared.failOpen = "No such file or directory";
    SendReceiverCommand(*t.station, *link);
    shared.failOpen.clear();
    t.station->state.CommPortNo = 0;
    SendReceiverCommand(*t.station, *link);
    EXPECT_EQ(
        t.messages.shown,
        (QStringList{"1  No such file or directory.  Check serial port settings in "
                     "SetUp/Communications.",
                     "1  No serial port 0.  Check serial port settings in SetUp/Communications."}));
    EXPECT_TRUE(shared.opens.isEmpty());
    EXPECT_EQ(log("ER"), "10:20:12  Receiver command \"ER D 11\" not sent: 1 No such file or "
                         "directory\r\n10:20:12  Receiver command \"ER D 11\" not sent: 1 No "
                         "serial port 0\r\n");
}

// The latch is set at once, so the other ticks of the second do not poll
// again; a silent receiver or a missing port still gives its line.
TEST_F(ReceiverLinkTest, EbNoPollLogsTheValueOrAnEmptyOneAfterASecond) {
    shared.answer = [](const QByteArray&) {
        return carrierAnswer("Eb/No" + QByteArray(14, ' ') + "9.8 dB");
    };
    std::vector<double> heard; // the readings that are numbers, for the takes
    const auto hear = [&](double value) { heard.push_back(value); };
    PollEbNo(*t.station, *link, hear);
    EXPECT_EQ(t.station->state.EbNoPollLatch, 1);
    EXPECT_EQ(shared.sessions, QByteArrayList{"R C\r"});
    EXPECT_EQ(log("EB"), "10:20:12  9.8 dB\r\n");
    shared.answer = nullptr;
    t.station->state.EbNoPollLatch = 0;
    PollEbNo(*t.station, *link, hear);
    t.time.advance(900);
    EXPECT_EQ(log("EB"), "10:20:12  9.8 dB\r\n");
    t.time.advance(200);
    EXPECT_EQ(log("EB"), "10:20:12  9.8 dB\r\n10:20:13  \r\n");
    shared.failOpen = "No such file or directory";
    PollEbNo(*t.station, *link);
    EXPECT_EQ(log("EB"), "10:20:12  9.8 dB\r\n10:20:13  \r\n10:20:13  \r\n");
    EXPECT_EQ(log("ER"), "10:20:13  Eb/No poll: No such file or directory\r\n");
    EXPECT_EQ(heard, std::vector<double>{9.8});
    EXPECT_EQ(EbNoValue("o (dB):        12.4"), 12.4);
    EXPECT_EQ(EbNoValue("o (dB):        -1.5"), -1.5); // a faded carrier reads below zero
}

// Eb/No is the last twenty characters of line twelve, trimmed.
TEST(ReceiverTextTest, EbNoSetAudioRelaysAndWindowTimeOut) {
    QByteArray cut = carrierAnswer("9.9"); // line 12 without its ending still counts
    cut.truncate(cut.indexOf("9.9") + 3);
    const std::pair<QByteArray, QByteArray> rows[] = {
        {carrierAnswer("Carrier Eb/No" + QByteArray(14, ' ') + "9.8 dB"), "9.8 dB"},
        {carrierAnswer("Eb/No (dB):        12.4"), "o (dB):        12.4"},
        {carrierAnswer("  7.1  "), "7.1"}, // no line feed into the log
        {carrierAnswer(""), ""},
        {"only\r\nthree\r\nlines\r\n>", ""},
        {"", ""},
        {cut, "9.9"},
    };
    for (const auto& [answer, value] : rows)
        EXPECT_EQ(ExtractEbNo(answer), value) << answer.toStdString();
    // Set-audio commands keep the padding the schedule record gives a field.
    ScheduleFields f;
    f.SatLang = "B2";
    f.SatPort = "4";
    f.SatRoute = "R";
    f.SatAtt = "14";
    f = ScheduleRecord::build(f).parse();
    EXPECT_EQ(cueSetAudioCommand(f), "SETAUDIO 4 R B2  14 ");
    EXPECT_EQ(switchSetAudioCommand(f), "SETAUDIO 4 R B2  14");
    // The relays of ports 1 to 4 and the buttons the window shows are the
    // relay window's test; beyond them there is nothing to release or send.
    EXPECT_EQ(expansionRelaysOfPort(" ") + expansionRelaysOfPort("5"), QList<int>{});
    EXPECT_EQ(relayButtonCommand("R R", 4) + relayButtonCommand("R ER", 28), "");
    // The window's time-out is two seconds past the following whole second.
    for (auto [clock, ms] : {std::pair{100.0, 3000}, {100.4, 2600}, {100.6, 3400}, {86399.7, 3300}})
        EXPECT_EQ(windowAnswerTimeoutMs(clock), ms) << clock;
}

} // namespace
