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
#include <sys/stat.h>

namespace {

TEST(IoPortHelperEndToEnd, ConsoleAsAnOrdinaryUserReadsPlayAndPulsesTheRelayThroughTheHelper) {
    // As root the console runs as nobody, through setpriv; else as this user.
    const bool root = geteuid() == 0;
    if (root && QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "setpriv is needed to run the console as another user";
    const QString user = QString::number(root ? 65534 : geteuid());
    const gid_t group = root ? 65534 : getegid();
    const QDateTime now = QDateTime::currentDateTime();
    if (now.time() > QTime(23, 58))
        GTEST_SKIP() << "the play time would fall after midnight";
    HelperOnFile h;
    ASSERT_TRUE(h.start(group)) << h.log().toStdString();
    ASSERT_EQ(::chmod(h.dir.path().toLocal8Bit().constData(), 0711), 0);

    const QString station = h.dir.filePath("station"), driveC = station + "/C";
    QDir().mkpath(driveC + "/satfile/logs");
    TempStation::writeFile(station + "/varnola.conf",
                           QString("[drives]\nC=%1\n[io]\nhelper=%2\n[audio]\nbackend=simulated\n"
                                   "output1=%3/play.pcm\n")
                               .arg(driveC, h.socket, station)
                               .toUtf8());
    TempStation::writeSettings(
        driveC + "/satfile/MyComp.ini",
        {{Setting::RelayCardType, 2}, {Setting::WaveDriveNo, 3}, {Setting::ActivityLogOn, 1}});
    ScheduleFields f = StarterSchedule("Through The Helper", "1", "00:30");
    f.PlayTimes[size_t(4 * (now.date().dayOfWeek() % 7))] =
        now.time().addSecs(60).toString("HH:mm:ss");
    ScheduleFile schedules;
    ASSERT_TRUE(schedules.open(driveC + "/satfile/SatList.dat", nullptr));
    ASSERT_TRUE(schedules.write(1, ScheduleRecord::build(f)));
    schedules.close();
    const QString day = QLocale::c().dayName(now.date().dayOfWeek(), QLocale::ShortFormat);
    writeWave(driveC + "/satfile/SF" + day.toUpper() + "001.WAV", std::vector<short>(44100, 1000),
              2, 44100);
    ASSERT_EQ(QProcess::execute("chown", {"-R", user + ":" + QString::number(group), station}), 0);

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VARNOLA_CONFIG", station + "/varnola.conf");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", station);
    env.insert("XDG_RUNTIME_DIR", station);
    console.setProcessEnvironment(env);
    if (root)
        console.start("setpriv", {"--reuid=" + user, "--regid=" + QString::number(group),
                                  "--clear-groups", "--", VARNOLA_BINARY});
    else
        console.start(VARNOLA_BINARY, {});
    const auto stop = qScopeGuard([&] {
        if (console.processId() > 0)
            ::kill(pid_t(console.processId()), SIGTERM);
        console.waitForFinished(10000);
    });
    const auto played = [&] {
        QFile f(driveC + "/satfile/logs/AL" + now.date().toString("yyMMdd") + ".log");
        return f.open(QIODevice::ReadOnly) && f.readAll().contains("Play Through The Helper");
    };
    const auto relay = [&] { return int(uint8_t(h.ports().at(644))); };

    // Once started, the console polls the Play contact through the helper.
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(driveC + "/satfile/Exportinfo.dat"); }))
        << console.readAllStandardError().toStdString();
    h.setPort(645, 64);
    ASSERT_TRUE(waitUntil(played)) << console.readAllStandardError().toStdString();
    h.setPort(645, 0);
    bool pulsed = false;
    EXPECT_TRUE(waitUntil([&] { return (pulsed = pulsed || relay() == 1) && relay() == 0; }));
    EXPECT_FALSE(h.log().contains("refused")) << h.log().toStdString();
}

} // namespace
