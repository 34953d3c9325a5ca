// Lays out a demonstration station in a folder: its drives, settings, one
// schedule with an export rule, programme audio for the simulated input, a
// port file for the contacts and relays, and the configuration that joins
// them. The console run on it switches the simulated receiver, records,
// hands the take to the playout store and plays it back within minutes.
#include "platform/drive_paths.h"
#include "platform/record_file.h"
#include "station/export_record.h"
#include "station/schedule_file.h"
#include "station/settings_file.h"
#include "station/source_codes.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Rate = 44100;
constexpr int WinjockNumber = 8001;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "varnola-demo: %s\n", qPrintable(what));
    std::exit(1);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("cannot write " + path + ": " + f.errorString());
}

// Raw 16-bit stereo PCM: a short silence, so the take visibly waits for the
// programme; a tune; a silence longer than five seconds, which the error log
// reports as a gap; and more tune.
QByteArray programmeAudio() {
    static const double notes[] = {261.6, 329.6, 392.0, 523.3, 392.0, 329.6, 293.7, 349.2};
    const auto silence = [](double seconds) { return QByteArray(int(seconds * Rate) * 4, '\0'); };
    const auto tune = [](double seconds) {
        const int frames = int(seconds * Rate);
        QByteArray pcm(frames * 4, '\0');
        auto* out = reinterpret_cast<uchar*>(pcm.data());
        const int noteFrames = Rate / 2;
        for (int i = 0; i < frames; ++i) {
            const double f = notes[(i / noteFrames) % 8];
            const double t = double(i) / Rate;
            const double envelope = std::exp(-3.0 * double(i % noteFrames) / noteFrames);
            const double v =
                envelope * (std::sin(2 * M_PI * f * t) + 0.3 * std::sin(4 * M_PI * f * t));
            qToLittleEndian<qint16>(qint16(7000 * v), out + 4 * i);
            qToLittleEndian<qint16>(qint16(6000 * v), out + 4 * i + 2);
        }
        return pcm;
    };
    return silence(3) + tune(15) + silence(7) + tune(25);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || args.size() > 4) {
        std::fprintf(stderr,
                     "usage: varnola-demo FOLDER COM1-DEVICE [LEAD-SECONDS [LENGTH MM:SS]]\n");
        return 2;
    }
    const QDir folder(args[0]);
    const QString com1 = args[1];
    const int lead = args.value(2, "60").toInt();
    const QString length = args.value(3, "00:30");
    if (lead < 8 || !RecordLengthReadable(length))
        fail("the lead must be 8 seconds or more and the length MM:SS");

    StationConfig config;
    config.configPath = folder.filePath("varnola.conf");
    config.drivesRoot = folder.filePath("drives");
    for (QChar letter : {'C', 'H', 'P'})
        config.drives.insert(letter, folder.filePath(QString("drives/") + letter));
    config.serialPorts[0] = com1;
    config.ioPortsFile = folder.filePath("ports");
    config.audioBackend = "simulated";
    config.audioInputs[0] = folder.filePath("programme.pcm");
    config.audioOutputs[0] = folder.filePath("play.pcm");
    const DrivePaths paths(config);

    writeFile(config.configPath,
              QString("# A demonstration station; see the README for a real one.\n"
                      "[drives]\nC=%1\nH=%2\nP=%3\n[serial]\nCOM1=%4\n[io]\nports=%5\n"
                      "[audio]\nbackend=simulated\ninput1=%6\noutput1=%7\n")
                  .arg(config.drives['C'], config.drives['H'], config.drives['P'], com1,
                       config.ioPortsFile, config.audioInputs[0], config.audioOutputs[0])
                  .toUtf8());
    QByteArray ports(1024, '\0');
    ports[889] = char(127); // every contact open
    writeFile(config.ioPortsFile, ports);
    writeFile(config.audioInputs[0], programmeAudio());
    writeFile(config.audioOutputs[0], {});
    for (QChar store : {'H', 'P'}) {
        // Record 1 of the store's table: Winjock number 8001, named by weekday.
        writeFile(paths.resolve(QString(store) + ":\\programs\\Program.dat"),
                  "2" + QByteArray("Demonstration").leftJustified(25) + "00:30" + "0");
    }

    QDir().mkpath(paths.resolve("c:\\satfile\\logs"));
    QString error;
    SettingsFile settings;
    if (!settings.open(paths.resolve(SettingsFile::StationPath), &error))
        fail(error);
    // Play card 0, audition 1, inputs 0 and 1, threshold, a week of waves and
    // logs, Eb/No every minute, logging on, parallel-port contacts, wave
    // drive C, COM1 at 19200, both play buttons shown.
    const std::pair<Setting, int16_t> values[] = {
        {Setting::PlayDevice, 0},        {Setting::AuditionDevice, 1},
        {Setting::RecDevice1, 0},        {Setting::RecDevice2, 1},
        {Setting::RecordThreshold, 300}, {Setting::WaveKeepDays, 7},
        {Setting::ActivityLogKeep, 2},   {Setting::EbNoLogKeep, 2},
        {Setting::EbNoLogInterval, 5},   {Setting::ActivityLogOn, 1},
        {Setting::RelayCardType, 1},     {Setting::WaveDriveNo, 3},
        {Setting::CommPortNo, 1},        {Setting::BaudIndex, 2},
        {Setting::PlayButtonVisible, 1}, {Setting::StopButtonVisible, 1}};
    for (const auto& [n, v] : values)
        if (!settings.write(n, v, &error))
            fail(error);
    if (!writeSourceCodes(paths, {"AA1", "FN1", "SR1"}, &error))
        fail(error);

    const QDateTime recordAt = QDateTime::currentDateTime().addSecs(lead);
    const int day = recordAt.date().dayOfWeek() % 7 + 1; // 1 = Sunday
    ScheduleFields f = StarterSchedule("Demonstration Programme", "1", length);
    f.RecDays[size_t(day - 1)] = day;
    f.RecTimes[size_t(day - 1)] = recordAt.time().toString("HH:mm:ss");
    f.PlayTimes[size_t(4 * (day - 1))] = recordAt.addSecs(90).time().toString("HH:mm:ss");
    ScheduleFile schedules;
    if (!schedules.open(paths.resolve(ScheduleFile::StationPath), &error) ||
        !schedules.write(1, ScheduleRecord::build(f), &error))
        fail(error);

    ExportRecord rule;
    rule.ExportMode = ExportWinjock;
    rule.ExportDays.fill(1);
    rule.ExportFade = 1;
    rule.ExportLength = "30:00";
    rule.WinjockNumber = WinjockNumber;
    RecordFile rules;
    if (!rules.open(paths.resolve(ExportRecord::StationPath), ExportRecord::Length, &error) ||
        !WriteExportRecord(rules, 1, rule, &error))
        fail(error);

    std::printf("%s\n", qPrintable(recordAt.time().toString("HH:mm:ss")));
    return 0;
}
