#pragma once

#include "platform/serial_port.h"

#include <QByteArrayList>
#include <QString>
#include <functional>

// A serial port in memory: records what was written per open, and answers
// through a script the test sets. Writes complete at once.
class FakeSerialPort : public SerialPort {
public:
    struct Shared {
        QStringList opens;       // "device|settings" per successful open
        QByteArrayList sessions; // everything written during each open
        int closes = 0;
        // Fails the next opens with this description, when set.
        QString failOpen;
        // Called with each write; returns what the "receiver" sends back.
        std::function<QByteArray(const QByteArray&)> answer;
        SerialPort* port = nullptr;
        QByteArray pending;
    };

    explicit FakeSerialPort(Shared& shared) : s_(shared) { s_.port = this; }

    bool open(const QString& device, const QString& settings, int* errorNumber,
              QString* description) override {
        if (!s_.failOpen.isEmpty()) {
            *errorNumber = 1;
            *description = s_.failOpen;
            return false;
        }
        open_ = true;
        s_.opens << device + "|" + settings;
        s_.sessions << QByteArray();
        return true;
    }
    bool isOpen() const override { return open_; }
    bool write(const QByteArray& data) override {
        s_.sessions.last() += data;
        if (s_.answer)
            s_.pending += s_.answer(data);
        notifyBytesWritten();
        return true;
    }
    qint64 bytesToWrite() const override { return 0; }
    QByteArray readAll() override {
        QByteArray d = s_.pending;
        s_.pending.clear();
        return d;
    }
    void close() override {
        if (open_)
            ++s_.closes;
        open_ = false;
        s_.pending.clear();
    }
    // The receiver sends more, later.
    void arrive(const QByteArray& data) {
        s_.pending += data;
        notifyReadyRead();
    }

private:
    Shared& s_;
    bool open_ = false;
};
