// The real console, run as an ordinary user, reaches its relay card through
// varnola-ioport, which serves a file standing in for /dev/port that the
// console's user could not open itself.
#include "fakes/port_helper.h"
#include "fakes/temp_station.h"
#include "fakes/wave_files.h"
#include "station/schedule_file.h"

#include <QDir>
#include <QLocale>
#include <QScopeGuard>
#include <QStandardPaths>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>

namespace {

TEST(IoPortHelperEndToEnd, ConsoleAsAnOrdinaryUserReadsPlayAndPulsesTheRelayThroughTheHelper) {
    const bool root = geteuid() == 0;
    if (root && QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "setpriv is needed to run the console as another user";
    // As root the console runs as nobody; otherwise as this user.
    const uint id = root ? 65534 : geteuid();
    const gid_t group = root ? 65534 : getegid();
    HelperOnFile h;
    ASSERT_TRUE(h.start(group)) << h.log().toStdString();
    ASSERT_EQ(::chmod(h.dir.path().toLocal8Bit().constData(), 0711), 0);

    const QDateTime now = QDateTime::currentDateTime();
    const QTime playAt = now.time().addSecs(120);
    if (playAt < now.time())
        GTEST_SKIP() << "the play time would fall after midnight";
    const QString station = h.dir.filePath("station"), driveC = station + "/C";
    QDir().mkpath(driveC + "/satfile/logs");
    QDir().mkpath(station + "/runtime");
    QFile::setPermissions(station + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TempStation::writeFile(station + "/varnola.conf",
                           QString("[drives]\nC=%1\n[io]\nhelper=%2\n[audio]\nbackend=simulated\n"
                                   "output1=%3/play.pcm\n")
                               .arg(driveC, h.socket, station)
                               .toUtf8());
    TempStation::writeSettings(
        driveC + "/satfile/MyComp.ini",
        {{Setting::RelayCardType, 2}, {Setting::WaveDriveNo, 3}, {Setting::ActivityLogOn, 1}});
    const int day = now.date().dayOfWeek() % 7 + 1;
    ScheduleFields f = StarterSchedule("Through The Helper", "1", "00:30");
    f.PlayTimes[size_t(4 * (day - 1))] = playAt.toString("HH:mm:ss");
    ScheduleFile schedules;
    ASSERT_TRUE(schedules.open(driveC + "/satfile/SatList.dat", nullptr));
    ASSERT_TRUE(schedules.write(1, ScheduleRecord::build(f)));
    schedules.close();
    const QString dayName = QLocale::c().dayName(now.date().dayOfWeek(), QLocale::ShortFormat);
    writeWave(driveC + "/satfile/SF" + dayName.toUpper() + "001.WAV",
              std::vector<short>(2 * 22050, 1000), 2, 44100);
    for (const auto& e : std::filesystem::recursive_directory_iterator(station.toStdString()))
        ASSERT_EQ(::chown(e.path().c_str(), id, group), 0);
    ASSERT_EQ(::chown(station.toLocal8Bit().constData(), id, group), 0);

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VARNOLA_CONFIG", station + "/varnola.conf");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", station);
    env.insert("XDG_RUNTIME_DIR", station + "/runtime");
    console.setProcessEnvironment(env);
    const QString ids = QString::number(id);
    if (root)
        console.start("setpriv", {"--reuid=" + ids, "--regid=" + QString::number(group),
                                  "--clear-groups", "--", VARNOLA_BINARY});
    else
        console.start(VARNOLA_BINARY, {});
    ASSERT_TRUE(console.waitForStarted(10000));
    const QString activity = driveC + "/satfile/logs/AL" + now.date().toString("yyMMdd") + ".log";
    const auto logged = [&](const char* text) {
        QFile f(activity);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains(text);
    };
    const auto port = [&](int n) { return int(uint8_t(h.ports().at(n))); };

    // Once started, the console polls the contacts through the helper.
    const auto stop = qScopeGuard([&] {
        if (console.processId() > 0)
            ::kill(pid_t(console.processId()), SIGTERM);
        console.waitForFinished(10000);
    });
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(driveC + "/satfile/Exportinfo.dat"); }))
        << console.readAllStandardError().toStdString();
    h.setPort(645, 64);
    ASSERT_TRUE(waitUntil([&] { return logged("Play Through The Helper"); }))
        << console.readAllStandardError().toStdString() << h.log().toStdString();
    h.setPort(645, 0);
    bool pulsed = false;
    EXPECT_TRUE(waitUntil([&] { return (pulsed = pulsed || port(644) == 1) && port(644) == 0; }));
    EXPECT_FALSE(h.log().contains("refused")) << h.log().toStdString();
    ::kill(pid_t(console.processId()), SIGTERM);
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
}

} // namespace
