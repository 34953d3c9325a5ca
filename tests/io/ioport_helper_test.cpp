#include "fakes/temp_station.h"
#include "ioport/protocol.h"
#include "platform/io_ports.h"
#include "platform/station_config.h"
#include "support/test.h"

#include <QProcess>
#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// varnola-ioport started on an ordinary file standing in for /dev/port, in a
// temporary folder, as its unit starts it on the real device.
class IoPortHelperTest : public ::testing::Test {
protected:
    IoPortHelperTest() { TempStation::writeFile(portFile, QByteArray(1024, '\0')); }
    ~IoPortHelperTest() override { stop(); }

    // Serving members of the group, once it says so: its socket is there a
    // moment before it listens, and a connection then is refused.
    bool start(gid_t group = getegid(), const QByteArray& extra = {}) {
        const QString conf = dir.filePath("ioport.conf");
        TempStation::writeFile(conf, "device=" + portFile.toLocal8Bit() +
                                         "\nsocket=" + socket.toLocal8Bit() +
                                         "\ngroup=" + QByteArray::number(group) + "\n" + extra);
        const qsizetype served = log().count("serving ports");
        process.start(VARNOLA_IOPORT, {"--config", conf});
        const auto running = [&] { return process.state() != QProcess::NotRunning; };
        return waitUntil([&] { return log().count("serving ports") > served || !running(); }) &&
               running();
    }
    void stop() {
        process.terminate();
        process.waitForFinished(10000);
    }
    QByteArray log() { return log_ += process.readAllStandardError(); }
    QByteArray device() const { return TempStation::readFile(portFile); }

    QTemporaryDir dir;
    QString portFile = dir.filePath("port"), socket = dir.filePath("ioport.sock");
    QProcess process;
    QByteArray log_;
};

int rawRequest(const QString& socket, const QByteArray& bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    qstrncpy(addr.sun_path, socket.toLocal8Bit().constData(), sizeof addr.sun_path);
    uint8_t reply[2] = {0xff, 0};
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                    ::send(fd, bytes.constData(), size_t(bytes.size()), 0) == bytes.size() &&
                    ::recv(fd, reply, 2, 0) == 2;
    ::close(fd);
    return ok ? reply[0] : -1;
}

// A helper restarted under the console (a package upgrade) must not cost the
// station its relays; the parallel port goes the same way.
TEST_F(IoPortHelperTest, AllowedReadsAndWritesLandAtThePortOffsetsAcrossARestart) {
    const QString conf = dir.filePath("varnola.conf");
    TempStation::writeFile(conf, "[io]\nhelper=" + socket.toLocal8Bit() + "\n");
    const std::unique_ptr<IoPorts> station = openStationPorts(StationConfig::fromFile(conf));
    IoPorts& ports = *station;
    EXPECT_FALSE(ports.Outp(644, 1));
    EXPECT_THAT(ports.lastError().toStdString(),
                ::testing::HasSubstr("is varnola-ioport running?"));
    ASSERT_TRUE(start()) << log().toStdString();
    TempStation::writeByte(portFile, 645, 64);
    EXPECT_TRUE(ports.Outp(644, 0xa5));
    EXPECT_EQ(ports.Inp(645), 64);
    stop();
    ASSERT_TRUE(start());
    EXPECT_TRUE(ports.Outp(888, 5));
    EXPECT_EQ(device(), QByteArray(1024, '\0').replace(644, 2, "\xa5\x40").replace(888, 1, "\x05"));
}

// A refused request never reaches the device, and the helper goes on
// serving the good requests that follow.
TEST_F(IoPortHelperTest, RefusesPortsOutsideTheListAndMalformedRequests) {
    ASSERT_TRUE(start(getegid(), "ports=644-647\n")) << log().toStdString();
    const std::tuple<const char*, QByteArray, int> rows[] = {
        {"the parallel port, not listed here", QByteArray("W\x03\x78\x01", 4), ioport::PortRefused},
        {"truncated", QByteArray("W\x02\x84", 3), ioport::Malformed},
        {"oversized", QByteArray("W\x02\x84\x01\x01", 5), ioport::Malformed},
        {"oversized beyond any buffer", QByteArray(4096, 'W'), ioport::Malformed},
        {"an unknown operation", QByteArray("X\x02\x84\x01", 4), ioport::Malformed},
    };
    for (const auto& [what, bytes, status] : rows)
        EXPECT_EQ(rawRequest(socket, bytes), status) << what;
    PortHelper ports(socket);
    EXPECT_FALSE(ports.Outp(700, 1));
    EXPECT_THAT(ports.lastError().toStdString(), ::testing::HasSubstr("not in its allow-list"));
    EXPECT_EQ(device(), QByteArray(1024, '\0'));
    EXPECT_TRUE(ports.Outp(644, 1));
    EXPECT_EQ(device().at(644), 1);
    EXPECT_TRUE(waitUntil([&] { return log().count("refused") == 6; })) << log().toStdString();
}

TEST_F(IoPortHelperTest, PeerOutsideTheGroupIsRefusedAndNothingIsWritten) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving the socket to a group this user is not in needs root";
    const gid_t other = getegid() == 54321 ? 54322 : 54321;
    ASSERT_TRUE(start(other)) << log().toStdString();
    // Members of that group reach the socket, as the console's user does; no
    // one else may.
    struct stat st {};
    ASSERT_EQ(::stat(socket.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(std::pair(st.st_mode & 0777, st.st_gid), std::pair(mode_t(0660), other));
    PortHelper ports(socket);
    EXPECT_FALSE(ports.Outp(644, 1));
    EXPECT_THAT(ports.lastError().toStdString(), ::testing::HasSubstr("not in its group"));
    EXPECT_EQ(device(), QByteArray(1024, '\0'));
    EXPECT_TRUE(
        waitUntil([&] { return log().contains("not in group " + QByteArray::number(other)); }));
}

} // namespace
