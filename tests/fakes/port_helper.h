#pragma once

// varnola-ioport started on an ordinary file standing in for /dev/port, in a
// temporary folder, as its unit starts it on the real device.
#include "support/test.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

class HelperOnFile {
public:
    HelperOnFile() {
        QFile f(portFile);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QByteArray(1024, '\0')) == 1024);
    }
    ~HelperOnFile() { stop(); }

    // Serving members of the group, once its socket is there.
    bool start(gid_t group = getegid(), const QByteArray& extra = {}) {
        QFile conf(dir.filePath("ioport.conf"));
        if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        conf.write("device=" + portFile.toLocal8Bit() + "\nsocket=" + socket.toLocal8Bit() +
                   "\ngroup=" + QByteArray::number(group) + "\n" + extra);
        conf.close();
        process.start(VARNOLA_IOPORT, {"--config", conf.fileName()});
        const auto running = [&] { return process.state() != QProcess::NotRunning; };
        return waitUntil([&] { return QFileInfo::exists(socket) || !running(); }) && running();
    }
    void stop() {
        process.terminate();
        process.waitForFinished(10000);
    }
    QByteArray log() { return log_ += process.readAllStandardError(); }
    QByteArray ports() const {
        QFile f(portFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setPort(int n, uint8_t v) {
        QFile f(portFile);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(n));
        f.write(reinterpret_cast<const char*>(&v), 1);
    }

    QTemporaryDir dir;
    QString portFile = dir.filePath("port"), socket = dir.filePath("ioport.sock");
    QProcess process;

private:
    QByteArray log_;
};
