// The receiver link through QSerialPort to the simulated receiver on a
// pseudo-terminal: the bytes on the wire, the answers, and the faults.
#include "console/clock_tick.h"
#include "fakes/fake_messages.h"
#include "fakes/live_station.h"
#include "fakes/sim_receiver.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "receiver/eb_no.h"
#include "receiver/receiver_commands.h"
#include "receiver/receiver_link.h"
#include "station/log_files.h"
#include "station/settings_file.h"
#include "station/station.h"
#include "support/test.h"

#include <QSerialPort>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

void send(LiveStation& s, const QString& command) {
    bool done = false;
    s.station->state.ReceiverCommand = command;
    SendReceiverCommand(*s.station, *s.link, [&](bool) { done = true; });
    ASSERT_TRUE(waitUntil([&] { return done; }));
}

ReceiverResult ask(LiveStation& s, const QByteArray& query, int endMarkFrom, int timeoutMs) {
    ReceiverExchange e;
    e.writes = {query + '\r'};
    e.collect = true;
    e.endMarkFrom = endMarkFrom;
    e.timeoutMs = timeoutMs;
    bool done = false;
    ReceiverResult result;
    s.link->run(e, [&](const ReceiverResult& r) {
        result = r;
        done = true;
    });
    EXPECT_TRUE(waitUntil([&] { return done; }));
    return result;
}

TEST(ReceiverWireTest, CueAndSwitchCommandsArriveByteForByte) {
    SimReceiver sim;
    LiveStation s(sim.device());
    ScheduleFields f;
    f.SatPort = "1";
    f.SatRoute = "S";
    f.SatLang = "AA1";
    f.SatAtt = "0";
    const ScheduleFields stored = ScheduleRecord::build(f).parse();
    send(s, cueSetAudioCommand(stored));
    send(s, switchSetAudioCommand(stored));
    for (const char* port : {"1", "2", "3", "4"})
        for (int relay : expansionRelaysOfPort(port))
            send(s, "ER D " + QString::number(relay));
    ASSERT_TRUE(sim.waitForCommands(8));
    EXPECT_EQ(sim.commands(), (QStringList{"SETAUDIO 1 S AA1 0  ", "SETAUDIO 1 S AA1 0 ", "ER D 11",
                                           "ER D 14", "ER D 4", "ER D 7", "ER D 1", "ER D 8"}));
    EXPECT_TRUE(s.messages.shown.isEmpty()) << s.messages.shown.join("|").toStdString();
}

// Polls Eb/No and returns today's Eb/No log once the line is there.
QByteArray pollEbNo(LiveStation& s) {
    PollEbNo(*s.station, *s.link);
    QFile log(s.paths->resolve(logFileStationPath("EB", s.clock.today())));
    waitUntil([&] { return log.exists(); }, 5000);
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

TEST(ReceiverWireTest, EbNoLineFromARealCarrierExchange) {
    SimReceiver sim({"--ebno", "9.8"});
    LiveStation s(sim.device());
    const QByteArray line = pollEbNo(s);
    EXPECT_TRUE(line.endsWith("  9.8 dB\r\n") || line.endsWith("  9.8\r\n")) << line.toStdString();
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_EQ(sim.commands(), QStringList{"R C"});
}

// The window's carrier query counts ">" only from position 700: a short
// answer is read until the time-out, and the console's tick keeps running
// all the while.
TEST(ReceiverWireTest, ShortCarrierAnswerRunsToTheTimeOutWhileTheTickRuns) {
    SimReceiver sim({"--short-carrier"});
    LiveStation s(sim.device());
    ClockDispatcher dispatcher(*s.station, TickHandoffs{});
    int ticks = 0;
    dispatcher.setAfterTick([&] { ++ticks; });
    dispatcher.tmrClock->setEnabled(true);
    QElapsedTimer t;
    t.start();
    const ReceiverResult r = ask(s, "RT C", 700, 3000);
    const qint64 took = t.elapsed();
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.answer.contains('>'));
    EXPECT_LT(r.answer.size(), 700);
    EXPECT_GE(took, 2900);
    // Twenty ticks a second; allow for a loaded machine.
    EXPECT_GE(ticks, 30) << "ticks during a " << took << " ms query";
}

TEST(ReceiverWireTest, LongCarrierAnswerEndsAtItsPrompt) {
    SimReceiver sim;
    LiveStation s(sim.device());
    const ReceiverResult r = ask(s, "RT C", 700, 3000);
    EXPECT_TRUE(r.complete);
    EXPECT_GT(r.answer.size(), 700);
    EXPECT_TRUE(r.answer.endsWith('>'));
}

TEST(ReceiverWireTest, SpeedIndexTwoSetsNineteenTwoHundredEightNOne) {
    SimReceiver sim;
    LiveStation s(sim.device());
    EXPECT_EQ(s.link->lineSettings(), "19200,N,8,1");
    auto port = makeQtSerialPort();
    int number = 0;
    QString description;
    ASSERT_TRUE(port->open(sim.device(), s.link->lineSettings(), &number, &description))
        << description.toStdString();
    const int fd = ::open(sim.device().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    ::close(fd);
    port->close();
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & PARENB, tcflag_t(0));
    EXPECT_EQ(tio.c_cflag & CSTOPB, tcflag_t(0));
}

TEST(ReceiverFaultTest, MissingPortIsReportedAndNothingHangs) {
    QTemporaryDir dir;
    LiveStation s(dir.filePath("no-such-tty"));
    send(s, "R M");
    ASSERT_EQ(s.messages.shown.size(), 1);
    const QString m = s.messages.shown[0];
    EXPECT_TRUE(m.endsWith(".  Check serial port settings in SetUp/Communications."))
        << m.toStdString();
    EXPECT_TRUE(m.contains(QRegularExpression("^\\d+  \\S"))) << m.toStdString();
}

TEST(ReceiverFaultTest, PortHeldByAnotherProgramIsReported) {
    SimReceiver sim;
    LiveStation s(sim.device());
    QSerialPort holder(sim.device());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    send(s, "R M");
    ASSERT_EQ(s.messages.shown.size(), 1);
    EXPECT_TRUE(s.messages.shown[0].contains("Check serial port settings"));
    holder.close();
    s.messages.shown.clear();
    send(s, "R M");
    EXPECT_TRUE(s.messages.shown.isEmpty());
}

TEST(ReceiverFaultTest, SilentReceiverTimesOutAndLogsAnEmptyEbNo) {
    SimReceiver sim({"--silent"});
    LiveStation s(sim.device());
    const ReceiverResult r = ask(s, "R M", 1, 1500);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(r.answer.isEmpty());
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  \\r\\n$")
                    .match(QString::fromLatin1(pollEbNo(s)))
                    .hasMatch());
}

TEST(ReceiverFaultTest, BabblingReceiverIsCappedAndTheLinkMovesOn) {
    SimReceiver sim({"--babble"});
    LiveStation s(sim.device());
    const ReceiverResult r = ask(s, "R S", 1, 2000);
    EXPECT_FALSE(r.complete);
    EXPECT_LE(r.answer.size(), ReceiverLink::MaxAnswer);
    EXPECT_FALSE(s.link->busy());
}

} // namespace
