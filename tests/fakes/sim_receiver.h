#pragma once

#include "support/test.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The simulated receiver on a pseudo-terminal, started for one test: its
// device path, and the commands it has received (one per line).
class SimReceiver {
public:
    explicit SimReceiver(const QStringList& flags = {}) {
        logPath_ = dir_.filePath("commands.log");
        process_.start(RECEIVER_SIM, QStringList{"--log", logPath_} + flags);
        EXPECT_TRUE(process_.waitForStarted(5000));
        waitUntil([&] { return process_.canReadLine(); });
        device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        EXPECT_FALSE(device_.isEmpty()) << process_.readAllStandardError().toStdString();
    }
    ~SimReceiver() {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }

    const QString& device() const { return device_; }

    QStringList commands() const {
        QFile f(logPath_);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLatin1(f.readAll()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    // Waits (bounded) until the receiver has logged n commands.
    bool waitForCommands(int n) const {
        return waitUntil([&] { return commands().size() >= n; });
    }

private:
    QTemporaryDir dir_;
    QString logPath_;
    QString device_;
    QProcess process_;
};
