#include "fakes/temp_station.h"
#include "platform/io_ports.h"
#include "platform/station_config.h"
#include "support/test.h"

#include <QTemporaryDir>
#include <cerrno>
#include <linux/ppdev.h>
#include <map>
#include <sys/ioctl.h>

namespace {

// The parallel port device as the kernel answers it: a register per
// request, and every call recorded in order.
struct FakePpdev : PpdevCalls {
    QStringList& calls;
    int claimErrno = 0;
    std::map<unsigned long, uint8_t> registers;
    explicit FakePpdev(QStringList& c) : calls(c) { registers[PPRSTATUS] = 0x7f; }
    int open(const QByteArray& path) override {
        calls << "open " + path;
        return 7;
    }
    int ioctl(int fd, unsigned long request, uint8_t* value) override {
        const std::map<unsigned long, QString> names = {
            {PPCLAIM, "claim"},           {PPRELEASE, "release"},     {PPRDATA, "read data"},
            {PPWDATA, "write data"},      {PPRSTATUS, "read status"}, {PPRCONTROL, "read control"},
            {PPWCONTROL, "write control"}};
        calls << QString("%1 %2").arg(names.at(request)).arg(fd);
        // A write lands where the matching read finds it.
        if (request == PPWDATA || request == PPWCONTROL)
            registers[request == PPWDATA ? PPRDATA : PPRCONTROL] = *value;
        else if (value)
            *value = registers[request];
        errno = request == PPCLAIM ? claimErrno : 0;
        return errno ? -1 : 0;
    }
    void close(int fd) override { calls << QString("close %1").arg(fd); }
};

TEST(ParallelPortTest, RegistersAreReachedAfterOneClaimAndReleasedAtTheEnd) {
    QStringList calls;
    {
        ParallelPort port("/dev/parport0", std::make_unique<FakePpdev>(calls));
        EXPECT_TRUE(port.Outp(888, 5));
        EXPECT_EQ(port.Inp(888), 5);
        EXPECT_EQ(port.Inp(889), 0x7f);
        EXPECT_TRUE(port.Outp(890, 4));
        EXPECT_EQ(port.Inp(890), 4);
        // The status lines are only read; other ports are not here.
        EXPECT_FALSE(port.Outp(889, 1));
        EXPECT_FALSE(port.Inp(644));
    }
    EXPECT_EQ(calls, (QStringList{"open /dev/parport0", "claim 7", "write data 7", "read data 7",
                                  "read status 7", "write control 7", "read control 7", "release 7",
                                  "close 7"}));
    // A port another driver holds is given back at once, never released.
    calls.clear();
    auto busy = std::make_unique<FakePpdev>(calls);
    busy->claimErrno = EBUSY;
    ParallelPort port("/dev/parport0", std::move(busy));
    EXPECT_FALSE(port.Inp(889));
    EXPECT_THAT(port.lastError().toStdString(), ::testing::HasSubstr("cannot claim"));
    EXPECT_EQ(calls, (QStringList{"open /dev/parport0", "claim 7", "close 7"}));
}

// Each range is reached one way: parport= takes the parallel port alone,
// one of ports= and helper= the rest; with none of them, the old /dev/port.
TEST(StationPortsTest, EachRangeHasOneWayOrAReason) {
    QTemporaryDir dir;
    const QString conf = dir.filePath("varnola.conf");
    // The [io] lines, the ports file, and how each range's reason starts ("" for none).
    const std::tuple<QByteArray, QString, const char*, const char*> rows[] = {
        {"", "/dev/port", "", ""},
        {"parport=/dev/parport0\n", "", "no way to the relay card", ""},
        {"parport=/dev/parport0\nhelper=/run/x\n", "", "", ""},
        {"ports=/tmp/p\nhelper=/run/x\n", "/tmp/p", "two ways to the relay card",
         "two ways to the parallel port"},
        {"ports=\n", "", "no way to the relay card", "no way to the parallel port"},
    };
    for (const auto& [io, portsFile, card, parallel] : rows) {
        TempStation::writeFile(conf, "[io]\n" + io);
        const StationConfig c = StationConfig::fromFile(conf);
        EXPECT_EQ(c.ioPortsFile, portsFile) << io.toStdString();
        for (auto [range, starts] : {std::pair{RelayCardPorts, card}, {ParallelPorts, parallel}}) {
            const QString why = portRangeProblem(c, range);
            EXPECT_TRUE(*starts ? why.startsWith(starts) && why.contains(conf) : why.isEmpty())
                << io.toStdString() << " gives " << why.toStdString();
        }
    }
}

} // namespace
