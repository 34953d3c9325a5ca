// The real console binary, started offscreen against a temporary
// configuration, as a service manager or an operator would start it.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

class ConsoleProcessTest : public ::testing::Test {
protected:
    ConsoleProcessTest() {
        driveC = dir.filePath("drives/C");
        QDir().mkpath(driveC);
        writeConfig(driveC);
    }
    ~ConsoleProcessTest() override {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    void writeConfig(const QString& cFolder) {
        QFile f(dir.filePath("varnola.conf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QString("[drives]\nC=%1\n[audio]\nbackend=simulated\n").arg(cFolder).toUtf8());
    }

    QProcess& start() {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VARNOLA_CONFIG", dir.filePath("varnola.conf"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", dir.filePath("home"));
        env.insert("XDG_DATA_HOME", dir.filePath("home/data"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("home/config"));
        const QString runtime = dir.filePath("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        p->setProcessEnvironment(env);
        p->start(VARNOLA_BINARY, {});
        EXPECT_TRUE(p->waitForStarted(10000));
        processes.push_back(std::move(p));
        return *processes.back();
    }

    bool startedUp(const QString& dataFolder) const {
        return QFileInfo::exists(dataFolder + "/Exportinfo.dat");
    }

    // Whether the process holds an exclusive file lock, read from the kernel's
    // table so that looking never disturbs the lock itself.
    static bool holdsLock(const QProcess& p) {
        QFile locks("/proc/locks");
        if (!locks.open(QIODevice::ReadOnly))
            return false;
        const QByteArray pid = QByteArray::number(p.processId());
        for (const QByteArray& line : locks.readAll().split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() > 4 && f[1] == "FLOCK" && f[3] == "WRITE" && f[4] == pid)
                return true;
        }
        return false;
    }

    static void stopWith(QProcess& p, int signal) {
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(15000));
    }

    QTemporaryDir dir;
    QString driveC;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(ConsoleProcessTest, CreatesTheDataFoldersAndFilesAndEndsCleanlyOnSigterm) {
    QProcess& p = start();
    ASSERT_TRUE(waitUntil([&] { return startedUp(driveC + "/Satfile"); }))
        << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(driveC + "/Satfile/Logs").isDir());
    EXPECT_TRUE(QFileInfo(driveC + "/Satfile/SatList.dat").isFile());
    EXPECT_TRUE(QFileInfo(driveC + "/Satfile/MyComp.ini").isFile());
    stopWith(p, SIGTERM);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

TEST_F(ConsoleProcessTest, ReusesADataFolderSpelledInAnotherCase) {
    QDir().mkpath(driveC + "/SATFILE");
    QProcess& p = start();
    ASSERT_TRUE(waitUntil([&] { return startedUp(driveC + "/SATFILE"); }))
        << p.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(driveC).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"SATFILE"});
    stopWith(p, SIGINT);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
}

// Two consoles on one data folder would corrupt the open files; the lock must
// also be released when the first one ends.
TEST_F(ConsoleProcessTest, SecondInstanceOnTheSameDataFolderRefusesToRun) {
    QProcess& first = start();
    ASSERT_TRUE(waitUntil([&] { return startedUp(driveC + "/Satfile"); }));
    QProcess& second = start();
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_NE(second.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(second.readAllStandardError());
    EXPECT_TRUE(err.contains("already running")) << err.toStdString();
    EXPECT_TRUE(first.state() == QProcess::Running);

    stopWith(first, SIGTERM);
    QProcess& third = start();
    EXPECT_TRUE(waitUntil([&] { return holdsLock(third); }))
        << third.readAllStandardError().toStdString();
    stopWith(third, SIGTERM);
    EXPECT_EQ(third.exitCode(), 0);
}

TEST_F(ConsoleProcessTest, StartUpFailureNamesThePathAndExitsNonZero) {
    const QString blocked = dir.filePath("blocked");
    QFile f(blocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    writeConfig(blocked); // drive C is a file: no folder can be made in it
    QProcess& p = start();
    ASSERT_TRUE(p.waitForFinished(15000));
    EXPECT_NE(p.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_TRUE(err.contains("c:\\Satfile")) << err.toStdString();
    EXPECT_TRUE(err.contains(blocked)) << err.toStdString();
}

} // namespace
