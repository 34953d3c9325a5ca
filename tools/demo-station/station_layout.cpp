#include "station_layout.h"

#include "station/export_record.h"
#include "station/settings_file.h"
#include "station/source_codes.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

StationConfig configFor(const QDir& folder, const QString& com1,
                        const std::array<QString, 2>& inputs,
                        const std::array<QString, 2>& outputs) {
    StationConfig config;
    config.configPath = folder.filePath("varnola.conf");
    config.drivesRoot = folder.filePath("drives");
    for (QChar letter : {'C', 'H', 'P'})
        config.drives.insert(letter, folder.filePath(QString("drives/") + letter));
    config.serialPorts[0] = com1;
    config.ioPortsFile = folder.filePath("ports");
    config.audioBackend = "simulated";
    config.audioInputs = inputs;
    config.audioOutputs = outputs;
    return config;
}

} // namespace

void layoutFail(const QString& what) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(what));
    std::exit(1);
}

void writeLayoutFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        layoutFail("cannot write " + path + ": " + f.errorString());
}

StationLayout::StationLayout(const QDir& folder, const QString& com1,
                             const std::array<QString, 2>& inputs,
                             const std::array<QString, 2>& outputs)
    : config_(configFor(folder, com1, inputs, outputs)), paths_(config_) {}

void StationLayout::writeStation() const {
    const StationConfig& c = config_;
    QString audio = "[audio]\nbackend=simulated\n";
    for (int i = 0; i < 2; ++i) {
        if (!c.audioInputs[size_t(i)].isEmpty())
            audio += QString("input%1=%2\n").arg(i + 1).arg(c.audioInputs[size_t(i)]);
    }
    for (int i = 0; i < 2; ++i) {
        if (!c.audioOutputs[size_t(i)].isEmpty())
            audio += QString("output%1=%2\n").arg(i + 1).arg(c.audioOutputs[size_t(i)]);
    }
    writeLayoutFile(c.configPath,
                    QString("# Laid out by %1; see the README for a real station.\n"
                            "[drives]\nC=%2\nH=%3\nP=%4\n[serial]\nCOM1=%5\n[io]\nports=%6\n")
                            .arg(QCoreApplication::applicationName(), c.drives['C'], c.drives['H'],
                                 c.drives['P'], c.serialPorts[0], c.ioPortsFile)
                            .toUtf8() +
                        audio.toUtf8());
    QByteArray ports(1024, '\0');
    ports[889] = char(127); // every contact open
    writeLayoutFile(c.ioPortsFile, ports);
    for (const QString& output : c.audioOutputs) {
        if (!output.isEmpty())
            writeLayoutFile(output, {});
    }

    QDir().mkpath(paths_.resolve("c:\\satfile\\logs"));
    QString error;
    SettingsFile settings;
    if (!settings.open(paths_.resolve(SettingsFile::StationPath), &error))
        layoutFail(error);
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
            layoutFail(error);
    if (!writeSourceCodes(paths_, {"AA1", "FN1", "SR1"}, &error))
        layoutFail(error);
}

void StationLayout::writeProgrammeTables(const QStringList& names, const QString& length) const {
    QByteArray table;
    for (const QString& name : names)
        table += "2" + name.toLatin1().leftJustified(25, ' ', true) + length.toLatin1() + "0";
    for (QChar store : {'H', 'P'})
        writeLayoutFile(paths_.resolve(QString(store) + ":\\programs\\Program.dat"), table);
}

void StationLayout::addSchedule(ScheduleNo n, const ScheduleFields& fields, int winjockNumber) {
    QString error;
    if (!schedules_.isOpen() && !schedules_.open(paths_.resolve(ScheduleFile::StationPath), &error))
        layoutFail(error);
    if (!schedules_.write(n, ScheduleRecord::build(fields), &error))
        layoutFail(error);

    ExportRecord rule;
    rule.ExportMode = ExportWinjock;
    rule.ExportDays.fill(1);
    rule.ExportFade = 1;
    rule.ExportLength = "30:00";
    rule.WinjockNumber = int16_t(winjockNumber);
    if (!exportRules_.isOpen() &&
        !exportRules_.open(paths_.resolve(ExportRecord::StationPath), ExportRecord::Length, &error))
        layoutFail(error);
    if (!WriteExportRecord(exportRules_, n, rule, &error))
        layoutFail(error);
}

ScheduleFields ScheduleOnce(const QString& name, const QString& channel, const QString& length,
                            const QDateTime& recordAt, const QDateTime& playAt) {
    const int day = recordAt.date().dayOfWeek() % 7 + 1; // 1 = Sunday
    ScheduleFields f = StarterSchedule(name, channel, length);
    f.RecDays[size_t(day - 1)] = day;
    f.RecTimes[size_t(day - 1)] = recordAt.time().toString("HH:mm:ss");
    if (playAt.isValid() && playAt.date() == recordAt.date())
        f.PlayTimes[size_t(4 * (day - 1))] = playAt.time().toString("HH:mm:ss");
    return f;
}
