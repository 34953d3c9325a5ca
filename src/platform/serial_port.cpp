#include "platform/serial_port.h"

#include <QSerialPort>
#include <QStringList>

bool parseLineSettings(const QString& settings, LineSettings* out) {
    const QStringList parts = settings.split(',');
    if (parts.size() != 4)
        return false;
    bool ok = false;
    LineSettings s;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return false;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity != "N" && parity != "E" && parity != "O")
        return false;
    s.parity = parity.at(0).toLatin1();
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return false;
    s.stopBits = parts[3].trimmed().toInt(&ok);
    if (!ok || (s.stopBits != 1 && s.stopBits != 2))
        return false;
    *out = s;
    return true;
}

namespace {

class QtSerialPort : public SerialPort {
public:
    QtSerialPort() {
        QObject::connect(&port_, &QSerialPort::readyRead, [this] { notifyReadyRead(); });
        QObject::connect(&port_, &QSerialPort::bytesWritten, [this] { notifyBytesWritten(); });
    }

    bool open(const QString& device, const QString& settings, int* errorNumber,
              QString* description) override {
        LineSettings s;
        if (!parseLineSettings(settings, &s)) {
            *errorNumber = int(QSerialPort::UnsupportedOperationError);
            *description = QString("Invalid line settings \"%1\"").arg(settings);
            return false;
        }
        port_.setPortName(device);
        if (!port_.open(QIODevice::ReadWrite)) {
            *errorNumber = int(port_.error());
            *description = port_.errorString();
            port_.clearError();
            return false;
        }
        const bool set =
            port_.setBaudRate(s.baud) &&
            port_.setParity(s.parity == 'N'   ? QSerialPort::NoParity
                            : s.parity == 'E' ? QSerialPort::EvenParity
                                              : QSerialPort::OddParity) &&
            port_.setDataBits(QSerialPort::DataBits(s.dataBits)) &&
            port_.setStopBits(s.stopBits == 1 ? QSerialPort::OneStop : QSerialPort::TwoStop) &&
            port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!set) {
            *errorNumber = int(port_.error());
            *description = port_.errorString();
            port_.clearError();
            port_.close();
            return false;
        }
        return true;
    }
    bool isOpen() const override { return port_.isOpen(); }
    bool write(const QByteArray& data) override { return port_.write(data) == data.size(); }
    qint64 bytesToWrite() const override { return port_.bytesToWrite(); }
    QByteArray readAll() override { return port_.readAll(); }
    void close() override {
        if (port_.isOpen())
            port_.close();
    }

private:
    QSerialPort port_;
};

} // namespace

std::unique_ptr<SerialPort> makeQtSerialPort() {
    return std::make_unique<QtSerialPort>();
}
