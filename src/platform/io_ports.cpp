#include "platform/io_ports.h"

#include "ioport/protocol.h"
#include "platform/station_config.h"

#include <QStringList>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

PortAccess::~PortAccess() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<uint8_t> PortFile::transfer(int port, std::optional<uint8_t> value) {
    if (fd_ < 0)
        fd_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = QString("%1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    uint8_t v = value.value_or(0);
    if (!value && ::pread(fd_, &v, 1, port) != 1) {
        error_ = QString("%1: cannot read port %2").arg(path_).arg(port);
        return std::nullopt;
    }
    if (value && ::pwrite(fd_, &v, 1, port) != 1) {
        error_ = QString("%1: cannot write port %2: %3")
                     .arg(path_)
                     .arg(port)
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    return v;
}

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

class SystemPpdevCalls : public PpdevCalls {
public:
    int open(const QByteArray& path) override {
        return ::open(path.constData(), O_RDWR | O_CLOEXEC);
    }
    int ioctl(int fd, unsigned long request, uint8_t* value) override {
        return ::ioctl(fd, request, value);
    }
    void close(int fd) override { ::close(fd); }
};

} // namespace

ParallelPort::ParallelPort(QString device, std::unique_ptr<PpdevCalls> calls)
    : PortAccess(std::move(device)),
      calls_(calls ? std::move(calls) : std::make_unique<SystemPpdevCalls>()) {}

ParallelPort::~ParallelPort() {
    if (fd_ >= 0) {
        calls_->ioctl(fd_, PPRELEASE, nullptr);
        calls_->close(fd_);
        fd_ = -1;
    }
}

bool ParallelPort::claim() {
    if (fd_ >= 0)
        return true;
    const int fd = calls_->open(path_.toLocal8Bit());
    if (fd < 0) {
        const bool denied = errno == EACCES;
        error_ = QString("%1: %2").arg(path_, systemError());
        if (denied)
            error_ += " (the station's user must be in the lp group)";
        return false;
    }
    if (calls_->ioctl(fd, PPCLAIM, nullptr) != 0) {
        error_ = QString("%1: cannot claim the parallel port: %2").arg(path_, systemError());
        calls_->close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

std::optional<uint8_t> ParallelPort::transfer(int port, std::optional<uint8_t> value) {
    // Data and control take writes; the status lines are only read.
    const unsigned long reads[] = {PPRDATA, PPRSTATUS, PPRCONTROL};
    const unsigned long writes[] = {PPWDATA, 0, PPWCONTROL};
    const int reg = port - ParallelPorts.first;
    if (reg < 0 || reg > 2 || (value && !writes[reg])) {
        error_ = QString("%1: port %2 cannot be %3 here")
                     .arg(path_)
                     .arg(port)
                     .arg(value ? "written" : "read");
        return std::nullopt;
    }
    uint8_t v = value.value_or(0);
    if (!claim())
        return std::nullopt;
    if (calls_->ioctl(fd_, value ? writes[reg] : reads[reg], &v) != 0) {
        error_ = QString("%1: port %2: %3").arg(path_).arg(port).arg(systemError());
        return std::nullopt;
    }
    return v;
}

void PortHelper::disconnect() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool PortHelper::connectOnce() {
    if (fd_ >= 0)
        return true;
    sockaddr_un addr{};
    const QByteArray path = path_.toLocal8Bit();
    if (size_t(path.size()) >= sizeof addr.sun_path) {
        error_ = path_ + ": the socket path is too long";
        return false;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    // Never blocking: a stuck helper whose queue of connections is full
    // would otherwise hold the console's one thread in connect().
    fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        error_ = QString("%1: %2 (is varnola-ioport running?)").arg(path_, systemError());
        disconnect();
        return false;
    }
    return true;
}

std::optional<uint8_t> PortHelper::transfer(int port, std::optional<uint8_t> value) {
    const auto request =
        ioport::encode({value ? ioport::Write : ioport::Read, uint16_t(port), value.value_or(0)});
    // A helper restarted since the last exchange has closed the old
    // connection: one fresh try. A refusal already waiting is read instead.
    bool sent = false, refusal = false;
    for (int attempt = 0; attempt < 2 && !sent && !refusal; ++attempt) {
        if (!connectOnce())
            return std::nullopt;
        sent = ::send(fd_, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size());
        if (sent)
            break;
        error_ = QString("%1: %2").arg(path_, systemError());
        uint8_t peek = 0;
        refusal = ::recv(fd_, &peek, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
        if (!refusal)
            disconnect();
    }
    if (!sent && !refusal)
        return std::nullopt;
    // The helper answers at once; a bound keeps a stuck one from holding the
    // console's one thread.
    pollfd ready{fd_, POLLIN, 0};
    uint8_t reply[ioport::ReplySize + 1];
    const ssize_t n = ::poll(&ready, 1, 250) == 1 ? ::recv(fd_, reply, sizeof reply, 0) : -1;
    if (n != ssize_t(ioport::ReplySize)) {
        error_ = n < 0 ? QString("%1: no answer from varnola-ioport").arg(path_)
                       : QString("%1: varnola-ioport closed the connection").arg(path_);
        disconnect();
        return std::nullopt;
    }
    if (reply[0] != ioport::Ok) {
        error_ = QString("%1: varnola-ioport refused port %2: %3")
                     .arg(path_)
                     .arg(port)
                     .arg(ioport::describe(reply[0]));
        if (reply[0] == ioport::PeerRefused)
            disconnect();
        return std::nullopt;
    }
    return reply[1];
}

namespace {

// Which ways the configuration names for a range: parport= takes the
// parallel port's range alone; ports= and helper= serve every range
// parport= does not take.
QStringList waysTo(const StationConfig& c, const PortRange& range) {
    if (range.first == ParallelPorts.first && !c.ioParport.isEmpty())
        return {"parport"};
    QStringList ways;
    if (!c.ioPortsFile.isEmpty())
        ways << "ports";
    if (!c.ioHelper.isEmpty())
        ways << "helper";
    return ways;
}

class StationPorts : public IoPorts {
public:
    explicit StationPorts(const StationConfig& c) {
        std::shared_ptr<IoPorts> file, helper;
        for (const PortRange& range : {RelayCardPorts, ParallelPorts}) {
            Route r{range, nullptr, portRangeProblem(c, range)};
            const QString way = r.problem.isEmpty() ? waysTo(c, range).at(0) : QString();
            if (way == "parport")
                r.ports = std::make_shared<ParallelPort>(c.ioParport);
            else if (way == "ports")
                r.ports = file ? file : (file = std::make_shared<PortFile>(c.ioPortsFile));
            else if (way == "helper")
                r.ports = helper ? helper : (helper = std::make_shared<PortHelper>(c.ioHelper));
            routes_.push_back(r);
        }
    }
    std::optional<uint8_t> Inp(int port) override {
        IoPorts* p = route(port);
        auto v = p ? p->Inp(port) : std::nullopt;
        if (p && !v)
            error_ = p->lastError();
        return v;
    }
    bool Outp(int port, uint8_t value) override {
        IoPorts* p = route(port);
        const bool ok = p && p->Outp(port, value);
        if (p && !ok)
            error_ = p->lastError();
        return ok;
    }
    QString lastError() const override { return error_; }

private:
    struct Route {
        PortRange range;
        std::shared_ptr<IoPorts> ports;
        QString problem;
    };
    IoPorts* route(int port) {
        for (const Route& r : routes_) {
            if (port < r.range.first || port > r.range.last)
                continue;
            error_ = r.problem;
            return r.ports.get();
        }
        error_ = QString("port %1 is not one of the station's").arg(port);
        return nullptr;
    }
    std::vector<Route> routes_;
    QString error_;
};

} // namespace

QString portRangeProblem(const StationConfig& c, const PortRange& range) {
    const QStringList ways = waysTo(c, range);
    const QString what =
        QString("%1's ports %2-%3").arg(range.name).arg(range.first).arg(range.last);
    if (ways.isEmpty()) {
        const QString keys = range.first == ParallelPorts.first ? "parport=, helper= or ports="
                                                                : "helper= or ports=";
        return QString("no way to %1 ([io] %2 in %3)").arg(what, keys, c.configPath);
    }
    if (ways.size() > 1)
        return QString("two ways to %1 ([io] keep one of ports= and helper= in %2)")
            .arg(what, c.configPath);
    return {};
}

std::unique_ptr<IoPorts> openStationPorts(const StationConfig& config) {
    return std::make_unique<StationPorts>(config);
}
