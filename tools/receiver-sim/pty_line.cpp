#include "pty_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PtyLine::~PtyLine() {
    if (master_ >= 0)
        ::close(master_);
}

bool PtyLine::open(std::string* error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ::ptsname(master_);
    if (!name) {
        *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    path_ = name;
    // Raw before anyone opens the slave: in the default cooked mode the
    // first command would be echoed back and its CR turned into a LF.
    // Terminal attributes set on the master apply to the slave.
    termios t{};
    if (::tcgetattr(master_, &t) != 0) {
        *error = std::string("cannot read the line settings: ") + std::strerror(errno);
        return false;
    }
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B19200);
    if (::tcsetattr(master_, TCSANOW, &t) != 0) {
        *error = std::string("cannot set the line to raw: ") + std::strerror(errno);
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = std::string("cannot make the line non-blocking: ") + std::strerror(errno);
        return false;
    }
    return true;
}

LineSettings PtyLine::settings() const {
    LineSettings s;
    termios t{};
    if (::tcgetattr(master_, &t) != 0)
        return s;
    static const struct {
        speed_t code;
        long baud;
    } speeds[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},
                  {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    const speed_t code = ::cfgetospeed(&t);
    for (const auto& s2 : speeds) {
        if (s2.code == code)
            s.baud = s2.baud;
    }
    s.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    return s;
}

void PtyLine::discardUnread() const {
    // Only a slave descriptor can flush the slave's input queue. If the
    // station has the port open again (and exclusively), the open fails and
    // there is nothing stale to worry about anyway.
    const int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    ::tcflush(slave, TCIFLUSH);
    ::close(slave);
}
