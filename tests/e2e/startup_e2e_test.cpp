#include "console_process.h"

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

class ConsoleStartUpTest : public ::testing::Test, public ConsoleProcess {
protected:
    ConsoleStartUpTest() {
        writeConfig({}, "[audio]\nbackend=simulated\n[monitoring]\ntextfile=" + metrics + "\n");
    }
    bool up(char value) const {
        return TempStation::readFile(metrics).contains(QByteArray("\nvarnola_up ") + value + '\n');
    }
    const QString driveC = path("drives/C"), metrics = path("varnola.prom");
};

// A service stop (SIGTERM) or an operator's Ctrl+C (SIGINT) ends the console
// cleanly, in a data folder it made or found in another case. Two consoles on
// one data folder would corrupt the open files; the lock must also be released
// when the first one ends.
TEST_F(ConsoleStartUpTest, DataFolderIsMadeOrReusedLockedAndLeftCleanlyOnASignal) {
    const struct {
        QString existing, used;
        int signal;
    } cases[] = {{"", "Satfile", SIGTERM}, {"SATFILE", "SATFILE", SIGINT}};
    for (const auto& k : cases) {
        QDir(driveC).removeRecursively();
        QDir().mkpath(driveC + "/" + k.existing);
        QProcess& p = start();
        ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(c(k.used + "/Exportinfo.dat")); }))
            << p.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntil([&] { return up('1'); }));
        QProcess& second = start();
        ASSERT_TRUE(second.waitForFinished(15000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(second.readAllStandardError());
        EXPECT_TRUE(err.contains("already running")) << err.toStdString();
        EXPECT_EQ(p.state(), QProcess::Running);
        // The refused console leaves the running one's monitoring file alone.
        EXPECT_TRUE(up('1'));
        stop(p, k.signal);
        EXPECT_TRUE(up('0'));
    }
    // --config wins over VARNOLA_CONFIG, whose drive C is now a plain file.
    QFile::rename(path("varnola.conf"), path("other.conf"));
    TempStation::writeFile(path("plain"), {});
    writeConfig(path("plain"));
    QProcess& third = start({"--config", path("other.conf")});
    EXPECT_TRUE(waitUntil([&] { return holdsLock(third); }))
        << third.readAllStandardError().toStdString();
    stop(third);
}

// A stop while the console is still loading (here a drive whose folder is
// slow to search, on a tmpfs where one is at hand so that filling it is quick)
// ends it in order, not by the signal.
TEST_F(ConsoleStartUpTest, SigtermDuringAStartUpEndsItInOrder) {
    QTemporaryDir fast(QFileInfo("/dev/shm").isWritable() ? "/dev/shm/varnola-XXXXXX"
                                                          : path("slow"));
    writeConfig(fast.path());
    for (int i = 0; i < 30000; ++i)
        ASSERT_EQ(::close(::creat(fast.filePath("junk" + QString::number(i)).toLocal8Bit(), 0600)),
                  0);
    QProcess& p = start();
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(fast.filePath("Satfile")).isDir(); }, 60000));
    stop(p);
}

// Data files as a damaged disk or another program may leave them: the console
// starts (reading what it can, of a 100 MB schedule file only its slots) or
// refuses with status 1 and the path, never crashes or hangs, and never
// rewrites a file it could not make sense of. A refusal is an orderly exit a
// service manager would not restart as a crash.
TEST_F(ConsoleStartUpTest, DamagedDataFilesStartOrRefuseAndAreLeftAsTheyWere) {
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
        const char* refusal = nullptr; // names this; none: the console starts
    } cases[] = {
        {"", {}, false, "case1"},
        {"SatList.dat", {}, true, "c:\\satfile\\SatList.dat"},
        {"SatList.dat", noise(100), false},
        {"SatList.dat", noise(5000), false},
        {"SatList.dat", {}, false},
        {"SatList.dat", QByteArray(100 << 20, '\0'), false},
        {"MyComp.ini", noise(5), false},
        {"MyComp.ini", {}, true, "MyComp.ini"},
        {"Exportinfo.dat", noise(1000), false},
        {"Exportinfo.dat", {}, true, "Exportinfo.dat"},
        {"Source.dat", noise(300), false},
        {"../../../varnola.conf", noise(2000), false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString drive = path(QString("case%1").arg(++n));
        writeConfig(drive);
        if (*c.file)
            QDir().mkpath(drive + "/Satfile/Logs");
        const QString file = *c.file ? drive + "/Satfile/" + c.file : drive;
        if (c.folder)
            QDir().mkpath(file);
        else
            TempStation::writeFile(file, c.content);
        QProcess& p = start();
        const std::string what = std::to_string(n) + " " + c.file;
        if (!c.refusal) {
            ASSERT_TRUE(waitUntil([&] { return holdsLock(p); })) << what;
            stop(p);
        } else {
            ASSERT_TRUE(p.waitForFinished(15000)) << what;
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << what;
            EXPECT_EQ(p.exitCode(), 1) << what;
            const QString err = QString::fromLocal8Bit(p.readAllStandardError());
            EXPECT_TRUE(err.contains(c.refusal)) << what << ": " << err.toStdString();
            EXPECT_FALSE(err.contains("Sanitizer")) << err.toStdString();
        }
        EXPECT_TRUE(c.folder || TempStation::readFile(file) == c.content) << what << ": rewritten";
    }
}

// Help, the version and mistakes are answered without starting a station.
TEST_F(ConsoleStartUpTest, CommandLineIsAnsweredBeforeTheStationStarts) {
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
        {{"--config", path("none.conf")}, 2, "", "none.conf"},
        {{"stray"}, 2, "", "unexpected argument 'stray'"},
        {{"--history"}, 0, "scheduled,slot,name,channel,", ""}, // no history yet: no file made
        {{"--history", "0"}, 2, "", "--history takes a number of days from 1 to 3660, not '0'"},
        {{"--history", "--week-ahead"}, 2, "", "cannot be given together"},
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
    EXPECT_FALSE(QFileInfo::exists(c("Satfile")));
}

// The program as the package installs it runs and finds the help installed
// with it, through the install prefix, when the station has none under its
// own drive mapping (and says so at start-up when neither is there).
TEST_F(ConsoleStartUpTest, InstalledProgramFindsTheHelpInstalledWithIt) {
    const QString prefix = path("staged/usr"), binary = prefix + "/bin/varnola";
    QProcess install;
    install.start(CMAKE_COMMAND, {"--install", PROJECT_BINARY_DIR, "--prefix", prefix});
    ASSERT_TRUE(install.waitForFinished(60000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    for (const bool installed : {true, false}) {
        ASSERT_TRUE(installed || QFile::remove(prefix + "/share/varnola/sathelp.rtf"));
        QProcess& p = start({}, binary);
        ASSERT_TRUE(waitUntil([&] { return holdsLock(p); })) << installed;
        stop(p);
        EXPECT_EQ(p.readAllStandardError().contains("sathelp.rtf was not found"), !installed)
            << installed;
    }
}

} // namespace
