#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

struct StationConfig;

// Single-byte I/O ports, as the relay card and the parallel port are driven:
// byte N of the port device file is port N.
class IoPorts {
public:
    virtual ~IoPorts() = default;
    virtual std::optional<uint8_t> Inp(int port) = 0;
    virtual bool Outp(int port, uint8_t value) = 0;
    // Why the last access failed.
    virtual QString lastError() const = 0;
};

// A way to the ports through one file, device or socket, held open from the
// first access to the end of the run.
class PortAccess : public IoPorts {
public:
    explicit PortAccess(QString path) : path_(std::move(path)) {}
    ~PortAccess() override;
    std::optional<uint8_t> Inp(int port) final { return transfer(port, std::nullopt); }
    bool Outp(int port, uint8_t value) final { return transfer(port, value).has_value(); }
    QString lastError() const override { return error_; }

protected:
    // Writes the value, or reads when there is none: the byte written or read.
    virtual std::optional<uint8_t> transfer(int port, std::optional<uint8_t> value) = 0;
    QString path_;
    int fd_ = -1;
    QString error_;
};

// The port device file (/dev/port on a station PC, an ordinary file in tests).
class PortFile : public PortAccess {
public:
    using PortAccess::PortAccess;

private:
    std::optional<uint8_t> transfer(int port, std::optional<uint8_t> value) override;
};

// The kernel calls the parallel port device takes; tests fake them.
class PpdevCalls {
public:
    virtual ~PpdevCalls() = default;
    // A descriptor, or -1 with errno set, as the system calls answer.
    virtual int open(const QByteArray& path) = 0;
    virtual int ioctl(int fd, unsigned long request, uint8_t* value) = 0;
    virtual void close(int fd) = 0;
};

// Ports 888 (data), 889 (status) and 890 (control) through the kernel's
// parallel port device (/dev/parport0), which the lp group may use. The port
// is claimed at the first access and held until the end of the run.
class ParallelPort : public PortAccess {
public:
    explicit ParallelPort(QString device, std::unique_ptr<PpdevCalls> calls = nullptr);
    ~ParallelPort() override;

private:
    std::optional<uint8_t> transfer(int port, std::optional<uint8_t> value) override;
    bool claim();
    std::unique_ptr<PpdevCalls> calls_;
};

// Ports served by varnola-ioport over its socket.
class PortHelper : public PortAccess {
public:
    using PortAccess::PortAccess;

private:
    std::optional<uint8_t> transfer(int port, std::optional<uint8_t> value) override;
    bool connectOnce();
    void disconnect();
};

// The port ranges the station's hardware occupies, each reached one way.
struct PortRange {
    const char* name;
    int first, last;
};
inline constexpr PortRange RelayCardPorts{"the relay card", 644, 647};
inline constexpr PortRange ParallelPorts{"the parallel port", 888, 890};

// Why the configuration gives no single way to a range, in the operator's
// words; empty when it does.
QString portRangeProblem(const StationConfig& config, const PortRange& range);

// The station's ports as the configuration reaches them: each range through
// its own way, and a range with none (or two) failing with the reason.
std::unique_ptr<IoPorts> openStationPorts(const StationConfig& config);
