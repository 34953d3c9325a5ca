#pragma once

#include <QString>
#include <cstdint>
#include <optional>

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

// The port device file (/dev/port on a station PC, an ordinary file in tests).
class PortFile : public IoPorts {
public:
    explicit PortFile(QString path) : path_(std::move(path)) {}
    ~PortFile() override;
    std::optional<uint8_t> Inp(int port) override;
    bool Outp(int port, uint8_t value) override;
    QString lastError() const override { return error_; }

private:
    bool ensureOpen();
    QString path_;
    int fd_ = -1;
    QString error_;
};
