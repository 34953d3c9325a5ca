// The real console binary, started offscreen against a temporary
// configuration, as a service manager or an operator would start it.
#include "fakes/temp_station.h"
#include "support/test.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

namespace {

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

    QProcess& start(const QStringList& arguments = {}, const QString& binary = VARNOLA_BINARY) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VARNOLA_CONFIG", dir.filePath("varnola.conf"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", dir.filePath("home"));
        env.insert("XDG_DATA_HOME", dir.filePath("home/data"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("home/config"));
        // An installed package's files stay out of sight.
        env.insert("XDG_DATA_DIRS", dir.filePath("home/system-data"));
        const QString runtime = dir.filePath("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime);
        p->setProcessEnvironment(env);
        p->start(binary, arguments);
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
        // An ended process has no id, and kill(0) would signal the test itself.
        if (p.processId() > 0)
            ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(15000));
    }

    QTemporaryDir dir;
    QString driveC;
    std::vector<std::unique_ptr<QProcess>> processes;
};

// A service stop (SIGTERM) or an operator's Ctrl+C (SIGINT) ends the console
// cleanly; a data folder spelled in another case is used, not doubled.
TEST_F(ConsoleProcessTest, CreatesOrReusesTheDataFolderAndEndsCleanlyOnASignal) {
    const struct {
        QString existing, used;
        int signal;
    } cases[] = {{"", "Satfile", SIGTERM}, {"SATFILE", "SATFILE", SIGINT}};
    for (const auto& c : cases) {
        QDir(driveC).removeRecursively();
        QDir().mkpath(driveC + "/" + c.existing);
        QProcess& p = start();
        const QString data = driveC + "/" + c.used;
        ASSERT_TRUE(waitUntil([&] { return startedUp(data); }))
            << p.readAllStandardError().toStdString();
        EXPECT_EQ(QDir(driveC).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{c.used});
        EXPECT_TRUE(QFileInfo(data + "/Logs").isDir());
        EXPECT_TRUE(QFileInfo(data + "/SatList.dat").isFile());
        EXPECT_TRUE(QFileInfo(data + "/MyComp.ini").isFile());
        stopWith(p, c.signal);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
}

// Two consoles on one data folder would corrupt the open files; the lock must
// also be released when the first one ends.
TEST_F(ConsoleProcessTest, SecondInstanceOnTheSameDataFolderRefusesToRun) {
    QProcess& first = start();
    ASSERT_TRUE(waitUntil([&] { return startedUp(driveC + "/Satfile"); }));
    QProcess& second = start();
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
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

// A stop while the console is still loading (here a drive whose folder is
// slow to search, on a tmpfs where one is at hand so that filling it is quick)
// ends it in order, not by the signal.
TEST_F(ConsoleProcessTest, SigtermDuringAStartUpEndsItInOrder) {
    QTemporaryDir fast(QFileInfo("/dev/shm").isWritable() ? "/dev/shm/varnola-XXXXXX"
                                                          : dir.filePath("slow"));
    writeConfig(fast.path());
    for (int i = 0; i < 30000; ++i)
        ASSERT_EQ(::close(::creat(fast.filePath(QString("junk%1").arg(i)).toLocal8Bit().constData(),
                                  0600)),
                  0);
    QProcess& p = start();
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(fast.filePath("Satfile")).isDir(); }, 60000));
    stopWith(p, SIGTERM);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "killed by the signal";
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// Data files as a damaged disk or another program may leave them: the console
// starts (reading what it can) or refuses with status 1 and the path, never
// crashes or hangs, and never rewrites a file it could not make sense of. A
// refusal is an orderly exit a service manager would not restart as a crash.
TEST_F(ConsoleProcessTest, DamagedDataFilesStartOrRefuseAndAreLeftAsTheyWere) {
    std::mt19937 random(7);
    const auto noise = [&](int bytes) {
        QByteArray b(bytes, '\0');
        for (char& c : b)
            c = char(random());
        return b;
    };
    const struct {
        const char* file;   // none: drive C itself is a plain file
        QByteArray content; // empty with folder: a folder of that name
        bool folder;
        bool starts;
        const char* named = nullptr; // in the refusal, when not the file's name
    } cases[] = {
        {"", {}, false, false},
        {"SatList.dat", {}, true, false, "c:\\satfile\\SatList.dat"},
        {"SatList.dat", noise(100), false, true},
        {"SatList.dat", noise(5000), false, true},
        {"SatList.dat", {}, false, true},
        {"MyComp.ini", noise(5), false, true},
        {"MyComp.ini", {}, true, false},
        {"Exportinfo.dat", noise(1000), false, true},
        {"Exportinfo.dat", {}, true, false},
        {"Source.dat", noise(300), false, true},
        {"../../../varnola.conf", noise(2000), false, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString drive = dir.filePath(QString("case%1").arg(++n));
        writeConfig(drive);
        if (*c.file)
            QDir().mkpath(drive + "/Satfile/Logs");
        const QString path = *c.file ? drive + "/Satfile/" + c.file : drive;
        if (c.folder) {
            QDir().mkpath(path);
        } else {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(c.content);
        }
        QProcess& p = start();
        const std::string what = std::to_string(n) + " " + c.file;
        if (c.starts) {
            ASSERT_TRUE(waitUntil([&] { return holdsLock(p); })) << what;
            stopWith(p, SIGTERM);
            EXPECT_EQ(p.exitCode(), 0) << what << p.readAllStandardError().toStdString();
        } else {
            ASSERT_TRUE(p.waitForFinished(15000)) << what;
            EXPECT_EQ(p.exitCode(), 1) << what;
            const QString err = QString::fromLocal8Bit(p.readAllStandardError());
            EXPECT_TRUE(err.contains(c.named   ? QString(c.named)
                                     : *c.file ? c.file
                                               : drive))
                << what << ": " << err.toStdString();
            EXPECT_FALSE(err.contains("Sanitizer")) << err.toStdString();
        }
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
        if (!c.folder) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << what;
            EXPECT_EQ(f.readAll(), c.content) << what << ": rewritten";
        }
    }
}

// A damaged schedule file of 100 MB: only the records the station uses are
// read, so the console starts as fast as ever and says the rest is ignored.
TEST_F(ConsoleProcessTest, HugeScheduleFileIsReadOnlyAsFarAsItsSlots) {
    QDir().mkpath(driveC + "/Satfile/Logs");
    {
        QFile f(driveC + "/Satfile/SatList.dat");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(100 * 1024 * 1024));
        TempStation::writeSettings(driveC + "/Satfile/MyComp.ini", {{Setting::ActivityLogOn, 1}});
    }
    QProcess& p = start();
    ASSERT_TRUE(waitUntil([&] { return holdsLock(p); }));
    const QString errors =
        driveC + "/Satfile/Logs/ER" + QDate::currentDate().toString("yyMMdd") + ".log";
    EXPECT_TRUE(waitUntil([&] {
        QFile f(errors);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains("only the first 999 are used");
    }));
    stopWith(p, SIGTERM);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QFileInfo(driveC + "/Satfile/SatList.dat").size(), 100 * 1024 * 1024);
}

// Help, the version and mistakes are answered without starting a station;
// --config wins over VARNOLA_CONFIG.
TEST_F(ConsoleProcessTest, CommandLineIsAnsweredBeforeTheStationStarts) {
    const QString version = QString("varnola %1.%2.%3\n")
                                .arg(VARNOLA_VERSION_MAJOR)
                                .arg(VARNOLA_VERSION_MINOR)
                                .arg(VARNOLA_VERSION_PATCH);
    const struct {
        QStringList arguments;
        int exitCode;
        QString output; // contained in standard output
        QString error;  // contained in standard error
    } cases[] = {
        {{"--version"}, 0, version, ""},
        {{"-v"}, 0, version, ""},
        {{"--help"}, 0, "--config <file>", ""},
        {{"--bogus"}, 2, "", "Unknown option 'bogus'"},
        {{"--config"}, 2, "", "Missing value after '--config'"},
        {{"--config", dir.filePath("none.conf")}, 2, "", "none.conf"},
        {{"stray"}, 2, "", "unexpected argument 'stray'"},
    };
    for (const auto& c : cases) {
        const std::string what = c.arguments.join(' ').toStdString();
        QProcess& p = start(c.arguments);
        ASSERT_TRUE(p.waitForFinished(15000)) << what;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(p.exitCode(), c.exitCode) << what;
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_TRUE(out.contains(c.output)) << what << ": " << out.toStdString();
        EXPECT_TRUE(err.contains(c.error)) << what << ": " << err.toStdString();
        EXPECT_EQ(out.isEmpty(), c.output.isEmpty()) << what;
    }
    EXPECT_FALSE(QFileInfo::exists(driveC + "/Satfile"));

    const QString otherC = dir.filePath("other/C");
    QFile other(dir.filePath("other.conf"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QString("[drives]\nC=%1\n[audio]\nbackend=simulated\n").arg(otherC).toUtf8());
    other.close();
    QProcess& p = start({"--config", other.fileName()});
    ASSERT_TRUE(waitUntil([&] { return startedUp(otherC + "/Satfile"); }))
        << p.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(driveC + "/Satfile"));
    stopWith(p, SIGTERM);
    EXPECT_EQ(p.exitCode(), 0);
}

// The program as the package installs it: it answers --version and finds the
// help installed with it, through the install prefix, when the station has
// none under its own drive mapping (and says so at start-up when neither is
// there).
TEST_F(ConsoleProcessTest, InstalledProgramFindsTheHelpInstalledWithIt) {
    const QString prefix = dir.filePath("staged/usr");
    QProcess install;
    install.start(CMAKE_COMMAND, {"--install", PROJECT_BINARY_DIR, "--prefix", prefix});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    const QString binary = prefix + "/bin/varnola";

    QProcess& version = start({"--version"}, binary);
    ASSERT_TRUE(version.waitForFinished(15000));
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_TRUE(version.readAllStandardOutput().startsWith("varnola "));

    for (const bool installed : {true, false}) {
        if (!installed) {
            ASSERT_TRUE(QFile::remove(prefix + "/share/varnola/sathelp.rtf"));
        }
        QProcess& p = start({}, binary);
        ASSERT_TRUE(waitUntil([&] { return holdsLock(p); })) << installed;
        stopWith(p, SIGTERM);
        EXPECT_EQ(p.exitCode(), 0) << installed;
        EXPECT_EQ(p.readAllStandardError().contains("sathelp.rtf was not found"), !installed)
            << installed;
    }
}

} // namespace
