#include "export/hand_off.h"

#include "export/playout_store.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "station/export_record.h"
#include "station/log_files.h"
#include "station/station.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cmath>

namespace {

constexpr int ExportTimerMs = 100;
constexpr QChar WinjockDrive('H');
constexpr QChar SecondDrive('P');

bool hasDriveLetter(const QString& path) {
    return path.size() >= 2 && path.at(0).isLetter() && path.at(1) == ':';
}

// Why a file cannot be put at a station path, or nothing: a missing drive or
// folder is reported, never created, since the store is not ours to lay out.
QString missingFolder(const DrivePaths& paths, const QString& stationPath) {
    const QString drive = paths.driveFolder(stationPath.at(0));
    if (!QFileInfo(drive).isDir())
        return QString("drive %1: is not available (%2)")
            .arg(stationPath.at(0).toUpper())
            .arg(drive);
    const QString folder = QFileInfo(paths.resolve(stationPath)).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QString("the folder %1 does not exist (%2)")
            .arg(stationPath.left(stationPath.lastIndexOf('\\') + 1), folder);
    return {};
}

QString onDrive(QString stationPath, QChar drive) {
    if (!stationPath.isEmpty())
        stationPath[0] = drive;
    return stationPath;
}

} // namespace

std::optional<int> ExportGaugeValue(qint64 position, qint64 total) {
    if (total <= 0)
        return std::nullopt;
    const double percent = std::nearbyint(double(position) * 100.0 / double(total));
    return int(std::clamp(percent, 0.0, 100.0));
}

ExportHandOff::ExportHandOff(Station& station, TakeHistory* history)
    : station_(station),
      history_(history), channels_{{{1, station.timers().create(ExportTimerMs), {}, {}, {}},
                                    {2, station.timers().create(ExportTimerMs), {}, {}, {}}}} {
    for (Channel& ch : channels_) {
        ch.timer->setEnabled(false);
        ch.timer->setHandler([this, &ch] { tick(ch); });
    }
    station_.addFileUser(this);
}

ExportHandOff::~ExportHandOff() {
    shutDown();
    station_.removeFileUser(this);
}

QStringList ExportHandOff::filesInUse() const {
    QStringList files;
    for (const Channel& ch : channels_) {
        if (ch.copy)
            files << station_.paths().resolve(ch.running.source);
        for (const Job& job : ch.waiting)
            files << station_.paths().resolve(job.source);
    }
    return files;
}

void ExportHandOff::RecordingFinished(const FinishedRecording& recording) {
    Channel& ch = channel(recording.channel);
    const bool idle = !ch.copy && ch.waiting.empty();
    for (Job& job : jobsFor(recording))
        ch.waiting.push_back(std::move(job));
    if (idle)
        startNext(ch);
}

std::vector<ExportHandOff::Job> ExportHandOff::jobsFor(const FinishedRecording& r) {
    const StationState& s = station_.state;
    const ExportRecord rule = ReadExportRecord(s.ExportFile, r.slot);
    if (rule.ExportMode == ExportInactive || r.weekday < 0 || r.weekday > 6 ||
        !rule.exportsOn(r.weekday))
        return {};
    const auto refuse = [&](const QString& why) {
        LogError(station_, QString("Export of %1 (schedule %2): %3; not exported")
                               .arg(r.waveFile)
                               .arg(r.slot)
                               .arg(why));
        report(r.takeId, "export rule", why);
        return std::vector<Job>{};
    };

    Job first;
    first.source = r.waveFile;
    const qint64 lastAudioMs = qint64(std::nearbyint(r.lastAudio * 1000.0));
    first.lengthMs = std::min(ExportLengthMs(rule.ExportLength).value_or(lastAudioMs), lastAudioMs);
    first.fade = rule.ExportFade == 1;
    first.takeId = r.takeId;

    if (rule.ExportMode == ExportUserDefined) {
        const QString path = rule.ExportPaths[size_t(r.weekday)].trimmed();
        if (!hasDriveLetter(path))
            return refuse(QString("the destination for %1, \"%2\", names no drive")
                              .arg(s.DayNames[size_t(r.weekday + 1)], path));
        first.destination = path + ".wav";
    } else if (rule.ExportMode == ExportWinjock) {
        QString problem;
        const auto kind =
            ReadNamingKind(station_.paths(), WinjockDrive, rule.WinjockNumber, &problem);
        if (!kind)
            return refuse(problem);
        const auto naming = namingOf(*kind, r.weekday, station_.clock().today(), s.DayNames);
        const QString name = QString::number(rule.WinjockNumber) + naming->suffix;
        first.destination = ProgramsFolder(WinjockDrive) + "SF" + name + ".wav";
        first.companion = ProgramsFolder(WinjockDrive) + "DF" + name + ".dat";
        first.companionBytes = CompanionDataRecord(first.lengthMs, first.fade, naming->label);
    } else {
        return refuse(QString("naming mode %1 is not known").arg(rule.ExportMode));
    }

    Job second = first;
    second.destination = onDrive(first.destination, SecondDrive);
    second.companion = onDrive(first.companion, SecondDrive);
    // The second store labels its companion file by its own programme table;
    // its file names stay those of the first. Without a usable record there
    // the first store's kind stands.
    if (rule.ExportMode == ExportWinjock) {
        if (const auto kind =
                ReadNamingKind(station_.paths(), SecondDrive, rule.WinjockNumber, nullptr)) {
            if (const auto naming =
                    namingOf(*kind, r.weekday, station_.clock().today(), s.DayNames))
                second.companionBytes =
                    CompanionDataRecord(second.lengthMs, second.fade, naming->label);
        }
    }
    return {first, second};
}

void ExportHandOff::startNext(Channel& ch) {
    while (!ch.waiting.empty()) {
        Job job = std::move(ch.waiting.front());
        ch.waiting.pop_front();
        const DrivePaths& paths = station_.paths();
        const QString problem = missingFolder(paths, job.destination);
        if (!problem.isEmpty()) {
            LogError(station_, "Export->" + job.destination + " not copied: " + problem);
            report(job.takeId, job.destination, problem);
            removeStale(job);
            continue;
        }
        CopyOrder order{paths.resolve(job.source),
                        paths.resolve(job.destination),
                        job.lengthMs,
                        job.fade,
                        job.companion.isEmpty() ? QString() : paths.resolve(job.companion),
                        job.companionBytes};
        ch.copy = std::make_unique<ExportCopy>(std::move(order), [this, c = &ch] {
            QMetaObject::invokeMethod(
                &wake_, [this, c] { tick(*c); }, Qt::QueuedConnection);
        });
        ch.running = std::move(job);
        station_.display.Rec(ch.number).Gauge = 0;
        station_.display.Rec(ch.number).GaugeVisible = true;
        ch.timer->setEnabled(true);
        LogActivity(station_, "Export->" + ch.running.destination);
        return;
    }
}

void ExportHandOff::tick(Channel& ch) {
    if (!ch.copy) {
        ch.timer->setEnabled(false);
        return;
    }
    if (const auto value = ExportGaugeValue(ch.copy->position(), ch.copy->total()))
        station_.display.Rec(ch.number).Gauge = *value;
    if (ch.copy->finished())
        finish(ch);
}

void ExportHandOff::finish(Channel& ch) {
    const CopyResult result = ch.copy->result();
    ch.copy.reset();
    station_.display.Rec(ch.number).GaugeVisible = false;
    ch.timer->setEnabled(false);
    if (!result.ok) {
        LogError(station_, "Export->" + ch.running.destination + " failed: " + result.error);
        removeStale(ch.running);
    }
    report(ch.running.takeId, ch.running.destination,
           result.ok                ? QString()
           : result.error.isEmpty() ? QStringLiteral("the copy failed")
                                    : result.error);
    startNext(ch);
}

void ExportHandOff::removeStale(const Job& job) {
    // Last week's programme under this week's name would go to air as this
    // week's: a destination not replaced is removed.
    for (const QString& stationPath : {job.destination, job.companion}) {
        if (stationPath.isEmpty())
            continue;
        QFile file(station_.paths().resolve(stationPath));
        if (!QFileInfo(file).isFile())
            continue;
        if (file.remove())
            LogError(station_, "Removed " + stationPath + ", left from an earlier export");
        else
            LogError(station_, "Cannot remove " + stationPath +
                                   ", left from an earlier export: " + file.errorString());
    }
}

void ExportHandOff::report(qint64 takeId, const QString& destination, const QString& why) {
    if (history_)
        history_->setHandOff(takeId, {destination, why.isEmpty() ? "verified" : "failed", why});
}

bool ExportHandOff::busy(int number) const {
    const Channel& ch = channel(number);
    return ch.copy || !ch.waiting.empty();
}

bool ExportHandOff::waitForCopy(int number, int ms) {
    const Channel& ch = channel(number);
    return !ch.copy || ch.copy->waitFor(ms);
}

void ExportHandOff::shutDown() {
    for (Channel& ch : channels_) {
        std::deque<Job> waiting;
        waiting.swap(ch.waiting);
        for (const Job& job : waiting) {
            LogError(station_, "Export->" + job.destination + " not copied: the program is ending");
            report(job.takeId, job.destination, "the program is ending");
            removeStale(job);
        }
        if (ch.copy && ch.copy->finished()) {
            finish(ch);
        } else if (ch.copy) {
            LogError(station_,
                     "Export->" + ch.running.destination + " stopped: the program is ending");
            report(ch.running.takeId, ch.running.destination, "the program is ending");
            ch.copy.reset();
            removeStale(ch.running);
        }
        ch.timer->setEnabled(false);
        station_.display.Rec(ch.number).GaugeVisible = false;
    }
}
