#include "console/set_up_notice.h"
#include "fakes/temp_station.h"
#include "io/remote_control.h"
#include "platform/io_ports.h"
#include "platform/station_config.h"
#include "station/station.h"
#include "support/test.h"

#include <QDir>
#include <QFile>

namespace {

// The I/O ports as a file at 10:54:10, the parallel port's status lines all off.
class RemoteControlTest : public ::testing::Test {
protected:
    RemoteControlTest() : t(QDateTime(QDate(2026, 3, 2), QTime(10, 54, 10))) {
        TempStation::writeFile(portFile, QByteArray(1024, '\0').replace(889, 1, "\x7f"));
    }
    void start(int card) {
        t.writeSettings({{Setting::RelayCardType, int16_t(card)}, {Setting::ActivityLogOn, 1}});
        t.startUp();
        ports = std::make_unique<PortFile>(portFile);
        remote = std::make_unique<RemoteControl>(*t.station, *ports);
    }
    int port(int n) const { return uint8_t(TempStation::readFile(portFile).at(n)); }
    void setPort(int n, uint8_t v) { TempStation::writeByte(portFile, n, v); }
    QByteArray log(const char* kind) { return t.log(kind, QDate(2026, 3, 2)); }

    TempStation t;
    QString portFile = t.root() + "/ports";
    std::unique_ptr<PortFile> ports;
    std::unique_ptr<RemoteControl> remote;
};

// The parallel port takes relays 0 to 7 as one byte; the relay card takes
// them on its first port and the high relays on its second; no card, no port.
TEST_F(RemoteControlTest, RelayOutputsOfEachCardAndContactsFromTheStatusBits) {
    start(0);
    // The card, the relays on, and the bytes at ports 888, 644 and 646.
    for (const auto& [card, on, bytes] : {std::tuple{1, std::vector{0, 2, 9}, std::array{5, 0, 0}},
                                          {2, std::vector{1, 9}, std::array{0, 2, 2}},
                                          {0, std::vector{0}, std::array{0, 0, 0}}}) {
        for (int n : {888, 644, 646})
            setPort(n, 0);
        t.station->state.RelayCardType = card;
        t.station->state.RelayStates = {};
        for (int i : on)
            t.station->state.RelayStates[size_t(i)] = 1;
        remote->WriteRelayOutputs();
        EXPECT_EQ((std::array{port(888), port(644), port(646)}), bytes) << "card " << card;
    }
    const auto inputs = [&] {
        remote->PollRemoteInputs();
        return std::array{remote->PlayInput, remote->RecordInput, remote->AlarmInput};
    };
    setPort(889, 63);
    EXPECT_EQ(inputs(), (std::array{0, 0, 0}));
    // Status bits give the contacts; high bytes read all off.
    t.station->state.RelayCardType = 1;
    setPort(889, 127 - 32 - 16); // Record and Alarm
    EXPECT_EQ(inputs(), (std::array{0, 1, 1}));
    const ConsoleDisplay& d = t.station->display;
    EXPECT_EQ((QStringList{d.lblRecordRelay, d.lblPort}), (QStringList{"RECORD", "Alarm"}));
    remote->PollRemoteInputs(); // still on: logged once, and at minute 54 no time set
    EXPECT_EQ(log("AL").count("Alarm"), 1);
    EXPECT_EQ(t.time.timeSettings(), 0);
    setPort(889, 200); // 127 - 200 < 0: all off
    EXPECT_EQ(inputs(), (std::array{0, 0, 0}));
}

// The deadlines of a take, an armed channel and a play move with the clock,
// so the take still lasts its length.
TEST_F(RemoteControlTest, TimeUpdateAtFiftyFourSetsHalfPastOnceAndLogsTheOldTime) {
    start(2);
    StationState& s = t.station->state;
    s.Rec(1).RecActive = 1;
    s.Rec(1).RecStopAt = 39300.5;
    s.Rec(2).RecPending = 1;
    s.Rec(2).RecPendingAt = 39290;
    s.Playing = 1;
    s.PlayEndAt = 39295;
    setPort(645, 8);
    remote->PollRemoteInputs();
    EXPECT_EQ(t.time.now().time(), QTime(10, 54, 30));
    EXPECT_EQ((std::array{s.Rec(1).RecStopAt, s.Rec(2).RecPendingAt, s.PlayEndAt}),
              (std::array{39320.5, 39310.0, 39315.0}));
    EXPECT_EQ(t.time.timeSettings(), 1);
    EXPECT_TRUE(log("AL").contains("10:54:30  Time Set 10:54:10\r\n")) << log("AL").toStdString();
    remote->PollRemoteInputs();
    EXPECT_EQ(t.time.timeSettings(), 1);
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(10, 55, 0)));
    setPort(645, 0);
    remote->PollRemoteInputs();
    setPort(645, 8);
    remote->PollRemoteInputs();
    EXPECT_EQ(t.time.timeSettings(), 1);
    // A refused clock set is an error line.
    t.time.jumpTo(QDateTime(QDate(2026, 3, 2), QTime(11, 54, 10)));
    t.time.refuseTimeSetting("Operation not permitted");
    remote->PollRemoteInputs();
    EXPECT_TRUE(log("ER").contains("The clock could not be set: Operation not permitted"));
}

// With no port device the station runs on without relays: one line, one
// message, not one per 50 ms poll.
TEST_F(RemoteControlTest, MissingPortDeviceIsReportedOnceAndTakenUpWhenItComes) {
    portFile = t.root() + "/no/such/port";
    start(1);
    for (int i = 0; i < 20; ++i) {
        remote->PollRemoteInputs();
        remote->WriteRelayOutputs();
    }
    EXPECT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(log("ER").count("cannot be used"), 1);
    EXPECT_TRUE(t.messages.shown[0].contains("/no/such/port"));
    // A device that comes (or a helper that restarts) is taken up at the next
    // try, five seconds on, and the relays are written as they stand.
    QDir().mkpath(t.root() + "/no/such");
    TempStation::writeFile(portFile, QByteArray(1024, '\0').replace(889, 1, "\x3f")); // Play
    t.station->state.RelayStates[0] = 1;
    for (int i = 0; i < 100; ++i)
        remote->PollRemoteInputs();
    EXPECT_EQ(std::pair(remote->PlayInput, port(888)), std::pair(1, 1));
    EXPECT_EQ(log("ER").count("can be used again"), 1);
    EXPECT_EQ(t.messages.shown.size(), 1);
}

TEST_F(RemoteControlTest, CardWithoutAWayToItsPortsIsNamedInTheSetUpLineAndLoggedOnce) {
    start(2);
    StationConfig c;
    c.configPath = t.root() + "/varnola.conf";
    c.ioPortsFile.clear();
    c.ioParport = "/dev/parport0";
    EXPECT_EQ(SetUpNotice(t.station->state, c),
              "Not set up: no way to the relay card's ports 644-647 ([io] helper= or ports= in " +
                  c.configPath + ")");
    const std::unique_ptr<IoPorts> none = openStationPorts(c);
    RemoteControl unreachable(*t.station, *none);
    for (int i = 0; i < 20; ++i)
        unreachable.PollRemoteInputs();
    EXPECT_EQ(log("ER").count("no way to the relay card"), 1);
    t.station->state.RelayCardType = 1;
    EXPECT_EQ(SetUpNotice(t.station->state, c), "");
}

} // namespace
