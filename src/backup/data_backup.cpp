#include "backup/data_backup.h"

#include "platform/drive_paths.h"
#include "platform/record_file.h"
#include "station/export_record.h"
#include "station/messages.h"
#include "station/settings_file.h"
#include "station/source_codes.h"
#include "station/station.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <optional>

const char* const SourceWarning =
    "Warning!  File Source.dat was not found.  Source.dat contains the list of Program Source "
    "Codes such as AA1, FN1, SR1, etc.";

namespace {

const QRegularExpression& drivePath() {
    static const QRegularExpression re("^[A-Za-z]:");
    return re;
}

// The failure's number, one blank, its description.
struct Failure {
    int number = 0;
    QString description;
};

Failure systemFailure(const QString& path) {
    const int number = errno ? errno : EIO;
    return {number, QString::fromLocal8Bit(std::strerror(number)) + ": " + path};
}

Failure missing(const QString& path) {
    return {ENOENT, QString::fromLocal8Bit(std::strerror(ENOENT)) + ": " + path};
}

bool report(Station& station, const Failure& f) {
    station.messages().ShowMessage(QString("%1 %2").arg(f.number).arg(f.description));
    return false;
}

// The whole of a file (up to maxBytes), or the failure; a missing file is a
// failure. Messages name the file as the operator knows it (shown), with its
// drive letter, not by its place on the host.
std::optional<QByteArray> readWhole(const QString& hostPath, const QString& shown, Failure* failure,
                                    qint64 maxBytes = -1) {
    if (!QFileInfo(hostPath).isFile()) {
        *failure = missing(shown);
        return std::nullopt;
    }
    QFile file(hostPath);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = systemFailure(shown);
        return std::nullopt;
    }
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        *failure = {EIO, file.errorString() + ": " + shown};
        return std::nullopt;
    }
    return bytes;
}

// Replaces a file as a whole: the bytes go to a temporary file that is then
// renamed over it, so no earlier content survives and a failure leaves the
// old file as it was.
bool replaceWhole(const QString& hostPath, const QString& shown, const QByteArray& bytes,
                  Failure* failure) {
    QSaveFile file(hostPath);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        // The system's reason without the host path QSaveFile puts in it.
        const int number = errno ? errno : EIO;
        *failure = {number, QString::fromLocal8Bit(std::strerror(number)) + ": " + shown};
        return false;
    }
    return true;
}

QByteArray joinRecords(const std::vector<QByteArray>& records) {
    QByteArray bytes;
    for (const QByteArray& r : records)
        bytes += r;
    return bytes;
}

// A data file holds at most as many records as there are schedule slots.
constexpr qint64 MaxRecords = ScheduleFile::MaxSchedules;

bool saveRecords(const RecordFile& from, const QString& hostPath, const QString& shown,
                 Failure* failure) {
    return replaceWhole(hostPath, shown, joinRecords(from.readAll(MaxRecords)), failure);
}

bool told(Station& station, const QString& what) {
    station.messages().ShowMessage(what);
    return true;
}

// Every complete record of a backup file, written as the same record numbers
// of the station's open file. The backup is read whole first, so an
// unreadable backup leaves the station's file untouched.
bool loadRecords(Station& station, RecordFile& into, const QString& intoPath, const QString& folder,
                 const QString& name, const QString& what) {
    const QString path = backupFileHost(station.paths(), folder, name);
    Failure failure;
    const int length = into.recordLength();
    const auto bytes = readWhole(path, folder + name, &failure, MaxRecords * length);
    if (!bytes)
        return report(station, failure);
    const qint64 count = std::min<qint64>(bytes->size() / length, MaxRecords);
    for (qint64 n = 1; n <= count; ++n) {
        QString reason;
        errno = 0;
        if (!into.write(n, bytes->mid((n - 1) * length, length), &reason))
            return report(station, {errno ? errno : EIO, reason + ": " + intoPath});
    }
    return told(station, what + " loaded from " + folder + name);
}

} // namespace

QString backupFolderPath(const QString& folder) {
    QString path = folder;
    while (path.endsWith('\\') || (path.size() > 1 && path.endsWith('/')))
        path.chop(1);
    return path + "\\";
}

QString backupFolderOfHost(const DrivePaths& paths, const QString& hostFolder) {
    const QString clean = QDir::cleanPath(hostFolder);
    for (const QString& letter : paths.availableDrives()) {
        const QString root = QDir::cleanPath(paths.driveFolder(letter.at(0)));
        if (clean == root)
            return letter + ":\\";
        if (clean.startsWith(root + "/"))
            return backupFolderPath(letter + ":" + clean.mid(root.size()).replace('/', '\\'));
    }
    return backupFolderPath(clean);
}

QString backupFileHost(const DrivePaths& paths, const QString& folder, const QString& name) {
    const QString path = folder + name;
    if (drivePath().match(path).hasMatch())
        return paths.resolve(path);
    return QDir::cleanPath(
        resolveCaseInsensitive("/", path.split(QRegularExpression("[\\\\/]"), Qt::SkipEmptyParts)));
}

bool SaveDataFiles(Station& station, const QString& folder, const std::function<void()>& progress) {
    const DrivePaths& paths = station.paths();
    StationState& s = station.state;
    const auto step = [&] {
        if (progress)
            progress();
    };
    Failure failure;
    if (!saveRecords(s.SatListFile.file(), backupFileHost(paths, folder, "SatList.dat"),
                     folder + "SatList.dat", &failure))
        return report(station, failure);
    step();
    if (!saveRecords(s.ExportFile, backupFileHost(paths, folder, "ExportInfo.dat"),
                     folder + "ExportInfo.dat", &failure))
        return report(station, failure);
    step();

    const QString settingsPath = paths.resolve(SettingsFile::StationPath);
    RecordFile settings;
    QString reason;
    errno = 0;
    // Opening creates a missing settings file, as every settings read does.
    if (!settings.open(settingsPath, SettingsFile::RecordLength, &reason))
        return report(station, {errno ? errno : EIO, reason + ": " + SettingsFile::StationPath});
    const bool saved = saveRecords(settings, backupFileHost(paths, folder, "MyComp.ini"),
                                   folder + "MyComp.ini", &failure);
    settings.close();
    if (!saved)
        return report(station, failure);
    step();

    const QString sourcePath = paths.resolve(SourceCodesStationPath);
    const bool haveSource = QFileInfo(sourcePath).isFile();
    if (haveSource) {
        const auto text = readWhole(sourcePath, SourceCodesStationPath, &failure);
        if (!text)
            return report(station, failure);
        QByteArray copy;
        for (const QString& code : parseSourceCodes(*text))
            copy += code.toLatin1() + "\r\n";
        if (!replaceWhole(backupFileHost(paths, folder, "Source.dat"), folder + "Source.dat", copy,
                          &failure))
            return report(station, failure);
    }
    step();
    // The message window keeps only its last message: the warning goes with
    // the news that the rest was saved.
    if (!haveSource)
        return told(station,
                    QString(SourceWarning) + "\nThe other data files were saved in " + folder);
    return told(station, "Data files saved in " + folder);
}

bool LoadSchedules(Station& station, const QString& folder) {
    return loadRecords(station, station.state.SatListFile.file(), ScheduleFile::StationPath, folder,
                       "SatList.dat", "Schedules");
}

bool LoadExportRules(Station& station, const QString& folder) {
    return loadRecords(station, station.state.ExportFile, ExportRecord::StationPath, folder,
                       "ExportInfo.dat", "Export rules");
}

bool LoadSourceCodes(Station& station, const QString& folder) {
    Failure failure;
    const auto text = readWhole(backupFileHost(station.paths(), folder, "source.dat"),
                                folder + "source.dat", &failure);
    if (!text)
        return report(station, failure);
    QString reason;
    errno = 0;
    if (!writeSourceCodes(station.paths(), parseSourceCodes(*text), &reason))
        return report(station, {errno ? errno : EIO, reason + ": " + SourceCodesStationPath});
    return told(station, "Source codes loaded from " + folder + "source.dat");
}

bool LoadSetup(Station& station, const QString& folder, AudioDeviceChoice* devices) {
    const QString backupPath = backupFileHost(station.paths(), folder, "MyComp.ini");
    const QString backupShown = folder + "MyComp.ini";
    if (!QFileInfo(backupPath).isFile())
        return report(station, missing(backupShown));
    SettingsFile backup;
    QString reason;
    errno = 0;
    if (!backup.open(backupPath, &reason))
        return report(station, {errno ? errno : EIO, reason + ": " + backupShown});
    // A backup restores the records up to the port and baud rate; the console
    // buttons, the relay reset and the time change stay this computer's own.
    const auto restored = [](Setting n) { return n <= Setting::BaudIndex; };
    StationState& s = station.state;
    forEachSetting(s, [&](Setting n, auto& field) {
        if (restored(n))
            field = backup.read(n);
    });
    backup.close();
    s.WaveDrive = waveDriveLetter(s.WaveDriveNo);
    if (devices) {
        devices->usePlayDevice(s.PlayDevice);
        devices->useRecordDevice(1, s.RecDevice1);
        devices->useRecordDevice(2, s.RecDevice2);
    }

    const QString settingsPath = station.paths().resolve(SettingsFile::StationPath);
    SettingsFile settings;
    errno = 0;
    if (!settings.open(settingsPath, &reason))
        return report(station, {errno ? errno : EIO, reason + ": " + SettingsFile::StationPath});
    std::optional<Failure> failed;
    forEachSetting(s, [&](Setting n, auto field) {
        if (failed || !restored(n))
            return;
        errno = 0;
        if (!settings.write(n, int16_t(field), &reason))
            failed = Failure{errno ? errno : EIO, reason + ": " + SettingsFile::StationPath};
    });
    if (failed)
        return report(station, *failed);
    return told(station, "Setup loaded from " + backupShown);
}
