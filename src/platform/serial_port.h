#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// One serial line to the receiver, used one exchange at a time: open with a
// settings string such as "19200,N,8,1", write, read what has arrived
// without waiting, close. Arrivals and completed writes are announced
// through callbacks on the thread's event loop.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // False with an error number and the system's description.
    virtual bool open(const QString& device, const QString& settings, int* errorNumber,
                      QString* description) = 0;
    virtual bool isOpen() const = 0;
    virtual bool write(const QByteArray& data) = 0;
    // Bytes written but not yet handed to the device.
    virtual qint64 bytesToWrite() const = 0;
    virtual QByteArray readAll() = 0;
    virtual void close() = 0;

    void setReadyRead(std::function<void()> f) { readyRead_ = std::move(f); }
    void setBytesWritten(std::function<void()> f) { bytesWritten_ = std::move(f); }

protected:
    void notifyReadyRead() {
        if (readyRead_)
            readyRead_();
    }
    void notifyBytesWritten() {
        if (bytesWritten_)
            bytesWritten_();
    }

private:
    std::function<void()> readyRead_;
    std::function<void()> bytesWritten_;
};

struct LineSettings {
    int baud = 0;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};
// Parses "9600,N,8,1"; false for anything the port cannot be set to.
bool parseLineSettings(const QString& settings, LineSettings* out);

// The real port, on QSerialPort.
std::unique_ptr<SerialPort> makeQtSerialPort();
