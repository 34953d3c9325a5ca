#pragma once

#include "fakes/temp_station.h"
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
        QStringList lines = QString::fromLatin1(TempStation::readFile(logPath_)).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

private:
    QTemporaryDir dir_;
    QString logPath_;
    QString device_;
    QProcess process_;
};
