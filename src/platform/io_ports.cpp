#include "platform/io_ports.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

PortFile::~PortFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool PortFile::ensureOpen() {
    if (fd_ >= 0)
        return true;
    fd_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = QString("%1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

std::optional<uint8_t> PortFile::Inp(int port) {
    if (!ensureOpen())
        return std::nullopt;
    uint8_t v = 0;
    if (::pread(fd_, &v, 1, port) != 1) {
        error_ = QString("%1: cannot read port %2").arg(path_).arg(port);
        return std::nullopt;
    }
    return v;
}

bool PortFile::Outp(int port, uint8_t value) {
    if (!ensureOpen())
        return false;
    if (::pwrite(fd_, &value, 1, port) != 1) {
        error_ = QString("%1: cannot write port %2: %3")
                     .arg(path_)
                     .arg(port)
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}
