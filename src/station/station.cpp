#include "station/station.h"

#include "station/export_record.h"
#include "station/log_files.h"
#include "station/source_codes.h"

#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "station/messages.h"
#include "station/settings_file.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr const char* DataFolder = "c:\\Satfile";
constexpr const char* LogFolder = "c:\\Satfile\\Logs";

QDate firstSundayFrom(int year, int month, int day) {
    QDate d(year, month, day);
    while (d.dayOfWeek() != Qt::Sunday)
        d = d.addDays(1);
    return d;
}

QString failure(const DrivePaths& paths, const QString& stationPath, const QString& what,
                const QString& reason) {
    return QString("Varnola cannot start: %1 %2 (%3): %4")
        .arg(what, stationPath, paths.resolve(stationPath), reason);
}

} // namespace

std::pair<QDate, QDate> ComputeTimeChangeDates(int year) {
    if (year == 2006)
        return {firstSundayFrom(year, 4, 1), firstSundayFrom(year, 10, 25)};
    return {firstSundayFrom(year, 3, 8), firstSundayFrom(year, 11, 1)};
}

Station::Station(Clock& clock, Timers& timers, const DrivePaths& paths, Messages& messages)
    : clock_(clock), timers_(timers), paths_(paths), messages_(messages) {}

// The hooks belong to parts built after the station and destroyed before it:
// they run from ShutDown(), never from here. Only the station's own files
// are closed.
Station::~Station() {
    state.SatListFile.close();
    state.ExportFile.close();
}

StartUpResult Station::StartUp() {
    StationState& s = state;
    std::tie(s.SpringChangeDate, s.FallChangeDate) = ComputeTimeChangeDates(clock_.today().year());

    for (const char* folder : {DataFolder, LogFolder}) {
        if (files::folderExists(paths_, folder))
            continue;
        QString reason;
        if (!files::createFolder(paths_, folder, &reason))
            return {false, failure(paths_, folder, "cannot create the folder", reason)};
    }

    // An empty code list, so the editor's first opening on a new station
    // does not report a missing file. A failure here costs nothing: the
    // editor says so when it reads the list.
    const QString sourceCodes = paths_.resolve(SourceCodesStationPath);
    if (!QFileInfo::exists(sourceCodes))
        QFile(sourceCodes).open(QIODevice::WriteOnly);

    QString reason;
    if (!s.SatListFile.open(paths_.resolve(ScheduleFile::StationPath), &reason))
        return {false, failure(paths_, ScheduleFile::StationPath, "cannot open", reason)};
    s.SatListFile.setExcessHandler([this](qint64 records) {
        LogError(*this, QString("%1 holds %2 records; only the first %3 are used, the rest is "
                                "ignored")
                            .arg(ScheduleFile::StationPath)
                            .arg(records)
                            .arg(ScheduleFile::MaxSchedules));
    });
    // Two consoles writing one schedule file would corrupt it.
    if (!s.SatListFile.file().tryLockExclusive()) {
        s.SatListFile.close();
        return {false, QString("Varnola is already running on the data folder %1 (%2).")
                           .arg(DataFolder, paths_.resolve(DataFolder))};
    }

    SettingsFile settings;
    if (!settings.open(paths_.resolve(SettingsFile::StationPath), &reason)) {
        s.SatListFile.close();
        return {false, failure(paths_, SettingsFile::StationPath, "cannot open", reason)};
    }
    readStartupSettings(settings, s, [this](Setting record) {
        if (!audioDevices_)
            return;
        if (record == Setting::PlayDevice)
            audioDevices_->usePlayDevice(state.PlayDevice);
        else if (record == Setting::RecDevice1)
            audioDevices_->useRecordDevice(1, state.RecDevice1);
        else if (record == Setting::RecDevice2)
            audioDevices_->useRecordDevice(2, state.RecDevice2);
    });
    settings.close();

    s.WaveDrive = waveDriveLetter(s.WaveDriveNo);

    // 0 hides, 1 shows; any other value leaves the buttons as designed.
    if (s.PlayButtonVisible == 0 || s.PlayButtonVisible == 1)
        display.cmdPlayVisible = s.PlayButtonVisible == 1;
    if (s.StopButtonVisible == 0 || s.StopButtonVisible == 1)
        display.cmdStopVisible = s.StopButtonVisible == 1;

    s.BaudRates = {QString(), "9600", "19200"};

    if (!s.ExportFile.open(paths_.resolve(ExportRecord::StationPath), ExportRecord::Length,
                           &reason)) {
        s.SatListFile.close();
        return {false, failure(paths_, ExportRecord::StationPath, "cannot open", reason)};
    }

    s.DayNames = {"Off",       "Sunday",   "Monday", "Tuesday",
                  "Wednesday", "Thursday", "Friday", "Saturday"};
    for (auto& hook : startUpHooks_)
        hook();
    return {};
}

bool Station::fileInUse(const QString& hostPath) const {
    // The same file may be spelled through another case or a link.
    const QString file = QFileInfo(hostPath).canonicalFilePath();
    for (const FileUser* user : fileUsers_)
        for (const QString& used : user->filesInUse())
            if (used == hostPath ||
                (!file.isEmpty() && QFileInfo(used).canonicalFilePath() == file))
                return true;
    return false;
}

bool Station::ConfirmExit() {
    return messages_.AskYesNo("Exit Varnola?", "Varnola");
}

void Station::ShutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    for (auto& hook : shutdownHooks_)
        hook();
    state.SatListFile.close();
    state.ExportFile.close();
}
