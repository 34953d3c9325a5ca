#include "platform/io_ports.h"
#include "platform/station_config.h"
#include "support/test.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <linux/ppdev.h>
#include <map>
#include <sys/ioctl.h>

namespace {

// The parallel port device as the kernel answers it: three registers, and a
// record of every call in order.
class FakePpdev : public PpdevCalls {
public:
    struct State {
        QStringList calls;
        uint8_t data = 0, status = 0x7f, control = 0;
        int openErrno = 0, claimErrno = 0;
    };
    explicit FakePpdev(State& s) : s_(s) {}
    int open(const QByteArray& path) override {
        s_.calls << "open " + path;
        errno = s_.openErrno;
        return s_.openErrno ? -1 : 7;
    }
    int ioctl(int fd, unsigned long request, uint8_t* value) override {
        const std::map<unsigned long, std::pair<const char*, uint8_t*>> registers = {
            {PPRDATA, {"read data", &s_.data}},
            {PPWDATA, {"write data", &s_.data}},
            {PPRSTATUS, {"read status", &s_.status}},
            {PPRCONTROL, {"read control", &s_.control}},
            {PPWCONTROL, {"write control", &s_.control}},
            {PPCLAIM, {"claim", nullptr}},
            {PPRELEASE, {"release", nullptr}}};
        const auto& [name, reg] = registers.at(request);
        s_.calls << QString("%1 %2").arg(name).arg(fd);
        if (request == PPCLAIM && s_.claimErrno) {
            errno = s_.claimErrno;
            return -1;
        }
        if (reg && (request == PPWDATA || request == PPWCONTROL))
            *reg = *value;
        else if (reg)
            *value = *reg;
        return 0;
    }
    void close(int fd) override { s_.calls << QString("close %1").arg(fd); }

private:
    State& s_;
};

TEST(ParallelPortTest, RegistersAreReachedAfterOneClaimAndReleasedAtTheEnd) {
    FakePpdev::State s;
    {
        ParallelPort port("/dev/parport0", std::make_unique<FakePpdev>(s));
        EXPECT_TRUE(port.Outp(888, 5));
        EXPECT_EQ(port.Inp(888), 5);
        EXPECT_EQ(port.Inp(889), 0x7f);
        EXPECT_TRUE(port.Outp(890, 4));
        EXPECT_EQ(port.Inp(890), 4);
        // The status register has no write, and other ports are not here.
        EXPECT_FALSE(port.Outp(889, 1));
        EXPECT_FALSE(port.Inp(644));
        EXPECT_THAT(port.lastError().toStdString(), ::testing::HasSubstr("port 644"));
    }
    EXPECT_EQ(s.calls, (QStringList{"open /dev/parport0", "claim 7", "write data 7", "read data 7",
                                    "read status 7", "write control 7", "read control 7",
                                    "release 7", "close 7"}));
}

// A port that cannot be opened or claimed is given back at once, never
// released, and the reason tells the engineer what to mend.
TEST(ParallelPortTest, RefusedOpenOrClaimSaysWhyAndLeavesNothingHeld) {
    const struct {
        int openErrno, claimErrno;
        QStringList calls;
        const char* says;
    } rows[] = {
        {EACCES, 0, {"open /dev/parport0"}, "must be in the lp group"},
        {0, EBUSY, {"open /dev/parport0", "claim 7", "close 7"}, "cannot claim the parallel port"},
    };
    for (const auto& r : rows) {
        FakePpdev::State s;
        s.openErrno = r.openErrno;
        s.claimErrno = r.claimErrno;
        {
            ParallelPort port("/dev/parport0", std::make_unique<FakePpdev>(s));
            EXPECT_FALSE(port.Inp(889));
            EXPECT_THAT(port.lastError().toStdString(), ::testing::HasSubstr(r.says));
        }
        EXPECT_EQ(s.calls, r.calls) << r.says;
    }
}

// Each range is reached one way: parport= takes the parallel port alone,
// one of ports= and helper= the rest; none of them means the old /dev/port.
TEST(StationPortsTest, EachRangeHasOneWayOrAReason) {
    QTemporaryDir dir;
    const QString conf = dir.filePath("varnola.conf");
    const struct {
        QByteArray io;
        QString portsFile;
        const char *card, *parallel; // what the problem starts with, "" for none
    } rows[] = {
        {"", "/dev/port", "", ""},
        {"[io]\nparport=/dev/parport0\n", "", "no way to the relay card", ""},
        {"[io]\nhelper=/run/varnola/ioport.sock\n", "", "", ""},
        {"[io]\nparport=/dev/parport0\nhelper=/run/varnola/ioport.sock\n", "", "", ""},
        {"[io]\nparport=/dev/parport0\nports=/tmp/p\n", "/tmp/p", "", ""},
        {"[io]\nports=/tmp/p\nhelper=/run/x\n", "/tmp/p", "two ways to the relay card",
         "two ways to the parallel port"},
        {"[io]\nports=\n", "", "no way to the relay card", "no way to the parallel port"},
    };
    for (const auto& r : rows) {
        QFile f(conf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(r.io);
        f.close();
        const StationConfig c = StationConfig::fromFile(conf);
        EXPECT_EQ(c.ioPortsFile, r.portsFile) << r.io.toStdString();
        for (auto [range, starts] :
             {std::pair{RelayCardPorts, r.card}, {ParallelPorts, r.parallel}}) {
            const QString problem = portRangeProblem(c, range);
            EXPECT_TRUE(*starts ? problem.startsWith(starts) : problem.isEmpty())
                << r.io.toStdString() << " gives " << problem.toStdString();
            EXPECT_EQ(problem.contains(conf), !problem.isEmpty());
        }
    }
}

TEST(StationPortsTest, PortsGoTheWayOfTheirRange) {
    QTemporaryDir dir;
    StationConfig c;
    c.configPath = dir.filePath("varnola.conf");
    c.ioPortsFile = dir.filePath("ports");
    c.ioParport = dir.filePath("not-a-parport");
    for (const QString& path : {c.ioPortsFile, c.ioParport}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1024, '\0'));
    }
    const std::unique_ptr<IoPorts> ports = openStationPorts(c);
    EXPECT_TRUE(ports->Outp(644, 9));
    EXPECT_FALSE(ports->Outp(888, 1)); // an ordinary file takes no claim
    EXPECT_THAT(ports->lastError().toStdString(), ::testing::HasSubstr("cannot claim"));
    EXPECT_FALSE(ports->Inp(700));
    EXPECT_THAT(ports->lastError().toStdString(), ::testing::HasSubstr("port 700 is not one"));
    QFile f(c.ioPortsFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.at(644), 9);
    EXPECT_EQ(bytes.count('\0'), 1023);
    c.ioPortsFile.clear();
    const std::unique_ptr<IoPorts> none = openStationPorts(c);
    EXPECT_FALSE(none->Outp(644, 1));
    EXPECT_THAT(none->lastError().toStdString(), ::testing::HasSubstr("no way to the relay card"));
}

} // namespace
