// The real console binary on a station of its own in a temporary folder,
// started offscreen as a service manager or an operator would start it.
#pragma once
#include "fakes/temp_station.h"
#include "support/test.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <vector>

struct ConsoleProcess {
    ~ConsoleProcess() {
        for (auto& p : processes) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    QString path(const QString& rel) const { return dir.filePath(rel); }
    QString c(const QString& rel) const { return path("drives/C/" + rel); }
    void writeConfig(QString driveC = {}, const QString& rest = "[audio]\nbackend=simulated\n") {
        TempStation::writeFile(path("varnola.conf"),
                               QString("[drives]\nC=%1\n%2")
                                   .arg(driveC.isEmpty() ? path("drives/C") : driveC, rest)
                                   .toUtf8());
    }
    // Nothing of the user's or of an installed package is in sight.
    QProcess& start(const QStringList& arguments = {}, const QString& binary = VARNOLA_BINARY,
                    QString runtime = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString home = path("home");
        if (runtime.isEmpty())
            runtime = path("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("VARNOLA_CONFIG", path("varnola.conf"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/data");
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("XDG_DATA_DIRS", home + "/system-data");
        env.insert("XDG_RUNTIME_DIR", runtime);
        QProcess& p = *processes.emplace_back(std::make_unique<QProcess>());
        p.setProcessEnvironment(env);
        p.start(binary, arguments);
        EXPECT_TRUE(p.waitForStarted(10000));
        return p;
    }
    // An ended process has no id, and kill(0) would signal the test's own group.
    static void send(const QProcess& p, int signal) {
        if (p.processId() > 0)
            ::kill(pid_t(p.processId()), signal);
    }
    // A console that died of a failure shows as a crash here, not as status 0.
    static void stop(QProcess& p, int signal = SIGTERM) {
        send(p, signal);
        ASSERT_TRUE(p.waitForFinished(15000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "killed by the signal";
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    // Whether the process holds an exclusive file lock, read from the kernel's
    // table so that looking never disturbs the lock itself.
    static bool holdsLock(const QProcess& p) {
        QFile locks("/proc/locks");
        const QRegularExpression lock(QString(R"(^\d+: FLOCK +\S+ +WRITE +%1 )").arg(p.processId()),
                                      QRegularExpression::MultilineOption);
        return locks.open(QIODevice::ReadOnly) && QString(locks.readAll()).contains(lock);
    }
    QByteArray log(const QString& kind) const {
        return TempStation::readFile(
            c("satfile/logs/" + kind + QDate::currentDate().toString("yyMMdd") + ".log"));
    }
    bool waitForLog(const QString& kind, const QByteArray& text) const {
        return waitUntil([&] { return log(kind).contains(text); }, 40000);
    }
    std::string diagnosis() {
        return (log("AL") + log("ER") + processes.back()->readAllStandardError()).toStdString();
    }
    QString file(const QString& folder, const QString& pattern) const {
        QDir d(path(folder));
        const QStringList names = d.entryList({pattern}, QDir::Files);
        return names.isEmpty() ? QString() : d.filePath(names.first());
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};
