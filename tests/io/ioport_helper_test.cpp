// varnola-ioport, the real program, serving a file in place of /dev/port.
#include "fakes/port_helper.h"
#include "ioport/protocol.h"
#include "platform/io_ports.h"

#include <sys/socket.h>
#include <sys/un.h>

namespace {

// Sends raw bytes as one message and returns the reply's status, or -1.
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

class IoPortHelperTest : public ::testing::Test {
protected:
    HelperOnFile h;
};

// The console keeps its connection: a helper restarted under it (a package
// upgrade) must not cost the station its relays.
TEST_F(IoPortHelperTest, AllowedReadsAndWritesLandAtThePortOffsetsAcrossARestart) {
    PortHelper ports(h.socket);
    EXPECT_FALSE(ports.Outp(644, 1));
    EXPECT_THAT(ports.lastError().toStdString(),
                ::testing::HasSubstr("is varnola-ioport running?"));
    ASSERT_TRUE(h.start()) << h.log().toStdString();
    h.setPort(645, 64);
    EXPECT_TRUE(ports.Outp(644, 0xa5));
    EXPECT_EQ(ports.Inp(645), 64);
    h.stop();
    ASSERT_TRUE(h.start());
    EXPECT_TRUE(ports.Outp(888, 5));
    QByteArray expected(1024, '\0');
    expected[644] = char(0xa5);
    expected[645] = 64;
    expected[888] = 5;
    EXPECT_EQ(h.ports(), expected);
}

// A refused request never reaches the device, and the helper goes on
// serving the good requests that follow.
TEST_F(IoPortHelperTest, RefusesPortsOutsideTheListAndMalformedRequests) {
    ASSERT_TRUE(h.start(getegid(), "ports=644-647\n")) << h.log().toStdString();
    const struct {
        const char* what;
        QByteArray bytes;
        int status;
    } rows[] = {
        {"a port outside the list", QByteArray("W\x02\xbc\x01", 4), ioport::PortRefused},
        {"the parallel port, not listed here", QByteArray("W\x03\x78\x01", 4), ioport::PortRefused},
        {"truncated", QByteArray("W\x02\x84", 3), ioport::Malformed},
        {"oversized", QByteArray("W\x02\x84\x01\x01", 5), ioport::Malformed},
        {"oversized beyond any buffer", QByteArray(4096, 'W'), ioport::Malformed},
        {"an unknown operation", QByteArray("X\x02\x84\x01", 4), ioport::Malformed},
    };
    for (const auto& r : rows)
        EXPECT_EQ(rawRequest(h.socket, r.bytes), r.status) << r.what;
    PortHelper ports(h.socket);
    EXPECT_FALSE(ports.Outp(700, 1));
    EXPECT_THAT(ports.lastError().toStdString(), ::testing::HasSubstr("not in its allow-list"));
    EXPECT_EQ(h.ports(), QByteArray(1024, '\0'));
    EXPECT_TRUE(ports.Outp(644, 1));
    EXPECT_EQ(h.ports().at(644), 1);
    EXPECT_TRUE(waitUntil([&] { return h.log().count("refused") == 7; })) << h.log().toStdString();
}

TEST_F(IoPortHelperTest, PeerOutsideTheGroupIsRefusedAndNothingIsWritten) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving the socket to a group this user is not in needs root";
    const gid_t other = getegid() == 54321 ? 54322 : 54321;
    ASSERT_TRUE(h.start(other)) << h.log().toStdString();
    PortHelper ports(h.socket);
    EXPECT_FALSE(ports.Outp(644, 1));
    EXPECT_THAT(ports.lastError().toStdString(), ::testing::HasSubstr("not in its group"));
    EXPECT_EQ(h.ports(), QByteArray(1024, '\0'));
    EXPECT_TRUE(
        waitUntil([&] { return h.log().contains("not in group " + QByteArray::number(other)); }));
}

} // namespace
