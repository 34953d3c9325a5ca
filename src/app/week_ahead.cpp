#include "app/week_ahead.h"

#include "app/dry_run_parts.h"
#include "app/station_assembly.h"
#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "platform/virtual_time.h"
#include "station/time_format.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

QString WeekAheadEvent::line() const {
    return at.toString("yyyy-MM-dd HH:mm:ss") + " " + kind + " " + channel + " " + details;
}

std::vector<const WeekAheadEvent*> FilterWeekAhead(const std::vector<WeekAheadEvent>& events,
                                                   const QString& kind, const QString& channel) {
    std::vector<const WeekAheadEvent*> shown;
    for (const WeekAheadEvent& e : events)
        if ((kind.isEmpty() || e.kind == kind) && (channel.isEmpty() || e.channel == channel))
            shown.push_back(&e);
    return shown;
}

namespace {

constexpr qint64 TickMs = 50;
// Quiet seconds are ticked once, at this point of the second: each countdown
// value is then seen exactly once, in the tick that would first see it.
constexpr qint64 QuietTickMs = 550;

// A private copy of the station's drives: the data files copied, the
// recordings and logs present by name only, so the purge shows what it
// would delete without anything real being touched.
void copyDrives(const DrivePaths& real, const QString& root, StationConfig& copy) {
    QStringList letters = real.availableDrives();
    if (!letters.contains("C"))
        letters << "C";
    for (const QString& letter : letters) {
        const QChar l = letter.at(0);
        const QString to = root + "/" + letter;
        copy.drives.insert(l, to);
        const QString from = real.driveFolder(l);
        QDirIterator it(from, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo f(it.nextFileInfo());
            const QString relative = QDir(from).relativeFilePath(f.filePath());
            const QString top = relative.section('/', 0, 0).toLower();
            const bool inSatfile = top == "satfile";
            if (!inSatfile && top != "programs")
                continue;
            const QString target = to + "/" + relative;
            QDir().mkpath(QFileInfo(target).path());
            // The take history is the dry run's own, begun empty: the
            // station's may be written while it is read.
            const bool dataFile =
                inSatfile ? relative.count('/') == 1 &&
                                !f.fileName().startsWith("SF", Qt::CaseInsensitive) &&
                                !f.fileName().startsWith("history.db", Qt::CaseInsensitive)
                          : f.suffix().compare("dat", Qt::CaseInsensitive) == 0;
            if (dataFile && f.size() < 16 * 1024 * 1024)
                QFile::copy(f.filePath(), target);
            else if (inSatfile) {
                // An empty stand-in with the recording's time: the purge goes
                // by both its name and its time.
                QFile(target).open(QIODevice::WriteOnly);
                files::setModified(target, f.lastModified());
            }
        }
        QDir().mkpath(to);
    }
}

class DryRun : public RecordChannelControl,
               public SwitchControl,
               public PlayListControl,
               public TimeChangeControl {
    QTemporaryDir dir;
    StationConfig copy;
    VirtualTime time;
    std::vector<WeekAheadEvent> events;
    // The take running on each channel and the recordings in the store.
    std::array<QString, 2> taking;

public:
    DryRun(const StationConfig& config, const QDateTime& from)
        : time(from), messages([this](const QString& text) { add("message", "-", text); }),
          audio(time) {
        copy.drivesRoot = dir.filePath("drives");
        copyDrives(DrivePaths(config), copy.drivesRoot, copy);
        copy.audioBackend = "simulated";
        paths = std::make_unique<DrivePaths>(copy);
        station = std::make_unique<Station>(time, time, *paths, messages);
        station->logLineHeard = [this](const QString& prefix, const QString& text) {
            heard(prefix, text);
        };
        parts = std::make_unique<StationAssembly>(
            *station,
            StationHardware{audio, ports,
                            std::make_unique<DryRunSerialPort>([this](const QByteArray& bytes) {
                                add("receiver", "-", escaped(bytes));
                            }),
                            makeDryRunPlayer});
        TickHandoffs& h = parts->dispatcher.handoffs();
        real = h;
        h.recording = this;
        h.switching = this;
        h.playList = this;
        h.timeChange = this;
    }

    ~DryRun() override { station->logLineHeard = nullptr; }

    WeekAhead run(int days, const std::atomic<bool>* cancel) {
        WeekAhead result;
        const StartUpResult started = parts->dispatcher.Form_Load();
        if (!started.ok) {
            result.ok = false;
            result.error = started.message;
            return result;
        }
        // Nobody reads the private copy's logs: every line is heard as it is
        // said, and writing them would cost more than the rest of the run.
        station->state.ActivityLogOn = 0;
        // The tick is called here, at the moments it could act.
        parts->dispatcher.tmrClock->setEnabled(false);
        waveFiles = listWaveFiles();
        const qint64 start = time.now().toMSecsSinceEpoch();
        const qint64 end = start + qint64(days) * DaySeconds * 1000;
        for (qint64 at = start + TickMs; at <= end; at = nextTick(start, at)) {
            if (cancel && cancel->load()) {
                result.ok = false;
                result.error = "The dry run was cancelled.";
                return result;
            }
            time.advance(at - time.now().toMSecsSinceEpoch());
            parts->dispatcher.ClockTick();
            // Copies to the playout store run on threads in real time.
            for (int channel : {1, 2})
                if (parts->exportHandOff.busy(channel))
                    parts->exportHandOff.waitForCopy(channel, 60000);
        }
        std::stable_sort(
            events.begin(), events.end(),
            [](const WeekAheadEvent& a, const WeekAheadEvent& b) { return a.at < b.at; });
        result.events = std::move(events);
        return result;
    }

    void CueRecordChannel(int channel) override {
        real.recording->CueRecordChannel(channel);
        const RecordChannelState& c = station->state.Rec(channel);
        add("cue", QString::number(channel), described(c.NextRecSlot, c.NextRecName));
    }
    void ArmRecordChannel(int channel) override {
        const RecordChannelState& c = station->state.Rec(channel);
        const int before = c.RecPending;
        real.recording->ArmRecordChannel(channel);
        if (before == 0 && c.RecPending == 1)
            add("arm", QString::number(channel),
                described(c.NextRecSlot, c.NextRecName) + ", dumped at " + moment(c.RecPendingAt) +
                    " if no audio comes");
    }
    void StopRecordChannel(int channel) override {
        const RecordChannelState& c = station->state.Rec(channel);
        const bool active = c.RecActive == 1;
        const double began = c.RecStartTimer;
        const QStringList written = parts->recording.channel(channel).filesInUse();
        real.recording->StopRecordChannel(channel);
        if (!active)
            return;
        add("stop", QString::number(channel),
            taking[size_t(channel - 1)] + " after " +
                FormatElapsed(int(std::nearbyint(secondsBetween(began, clock())))).trimmed());
        taking[size_t(channel - 1)].clear();
        waveFiles.insert(written.begin(), written.end());
    }
    void DumpRecordChannel(int channel) override {
        const RecordChannelState& c = station->state.Rec(channel);
        const QString name = described(c.NextRecSlot, c.NextRecName);
        real.recording->DumpRecordChannel(channel);
        add("dump", QString::number(channel), name);
    }
    void MissedRecordChannel(int channel, int slot, const QDateTime& at,
                             const QString& why) override {
        real.recording->MissedRecordChannel(channel, slot, at, why);
    }
    void CueSwitchOnly() override {
        const StationState& s = station->state;
        const QString name = described(s.NextSwitchSlot, s.NextSwitchName);
        real.switching->CueSwitchOnly();
        add("switch", "3", name);
    }
    void BuildPlayList() override {
        real.playList->BuildPlayList();
        const StationState& s = station->state;
        const QDate day = time.now().date().addDays(s.MidnightListLatch == 1 ? 1 : 0);
        const auto& entries = station->display.PlayList.items();
        add(s.MidnightListLatch == 1 ? "rebuild" : "playlist", "-",
            QString("playlist for %1: %2 entries")
                .arg(day.toString("ddd yyyy-MM-dd"))
                .arg(entries.size()));
        for (const auto& entry : entries) {
            const QTime at = QTime::fromString(entry.text.left(8), "HH:mm:ss");
            events.push_back({QDateTime(day, at.isValid() ? at : QTime(0, 0)), "playlist", "-",
                              described(entry.number, entry.text.mid(10))});
        }
    }
    void AdjustForTimeChange() override {
        const std::vector<QByteArray> before = station->state.SatListFile.records();
        real.timeChange->AdjustForTimeChange();
        const std::vector<QByteArray> after = station->state.SatListFile.records();
        for (size_t n = 0; n < before.size() && n < after.size(); ++n) {
            if (before[n] == after[n])
                continue;
            const ScheduleFields was = ScheduleRecord(before[n]).parse();
            const ScheduleFields is = ScheduleRecord(after[n]).parse();
            for (size_t r = 0; r < 7; ++r)
                if (was.RecDays[r] != is.RecDays[r] || was.RecTimes[r] != is.RecTimes[r])
                    add("shift", is.RecChan.trimmed(),
                        QString("%1 row %2: %3 %4 -> %5 %6")
                            .arg(described(ScheduleNo(n + 1), is.SatName))
                            .arg(r + 1)
                            .arg(dayName(was.RecDays[r]), was.RecTimes[r], dayName(is.RecDays[r]),
                                 is.RecTimes[r]));
        }
    }

private:
    void heard(const QString& prefix, const QString& text) {
        if (prefix == "ER") {
            const bool conflict =
                text.contains(" is not done: ") || text.contains(" was passed over ") ||
                text.contains(" was not recorded") || text.contains(" was not cued in time");
            add(conflict ? "conflict" : "error", "-", text);
        } else if (text.startsWith("Record ")) {
            for (int channel : {1, 2}) {
                QString& name = taking[size_t(channel - 1)];
                if (station->state.Rec(channel).RecActive == 1 && name.isEmpty()) {
                    name = text.mid(7).trimmed();
                    add("record", QString::number(channel), name);
                    break;
                }
            }
        } else if (text.startsWith("Export->")) {
            add("handoff", "-", text.mid(8));
        } else if (text.startsWith("Updated Schedules")) {
            add("timechange", "-", text);
        } else if (text.startsWith("Deleted ") || text.startsWith("Kept ")) {
            add("purge", "-", text);
            if (text.endsWith(" Sound Files")) {
                const std::set<QString> now = listWaveFiles();
                for (const QString& f : waveFiles)
                    if (!now.contains(f))
                        add("purge", "-",
                            "would delete " + station->state.WaveDrive + ":\\satfile\\" +
                                QFileInfo(f).fileName());
                waveFiles = now;
            }
        }
    }

    // The recordings in the wave store, by host path.
    std::set<QString> listWaveFiles() const {
        std::set<QString> files;
        const QString drive = station->state.WaveDrive;
        if (drive.size() != 1)
            return files;
        const QDir folder(paths->resolve(drive + ":\\satfile"));
        for (const QString& f : folder.entryList({"SF*"}, QDir::Files))
            files.insert(folder.filePath(f));
        return files;
    }

    QString described(ScheduleNo slot, const QString& name) const {
        return QString("%1 (schedule %2)").arg(name.trimmed()).arg(slot);
    }
    QString dayName(int day) const {
        return day >= 0 && day <= 7 ? station->state.DayNames[size_t(day)].left(3) : QString("?");
    }
    double clock() const { return time.now().time().msecsSinceStartOfDay() / 1000.0; }
    static QString moment(double secondsOfDay) {
        return QTime(0, 0).addSecs(int(secondsOfDay) % DaySeconds).toString("HH:mm:ss");
    }
    static QString escaped(const QByteArray& bytes) {
        QString out;
        for (const char c : bytes)
            out += c == '\r' ? QString("\\r") : QString(QChar::fromLatin1(c));
        return '"' + out + '"';
    }

    // When the tick next needs to run: every 50 ms where a stop, a dump or
    // the end of a play falls within the coming second; otherwise once a
    // second while an event, a daily moment or an Eb/No poll is near; and
    // not at all in the quiet stretches between.
    qint64 nextTick(qint64 start, qint64 at) const {
        const StationState& s = station->state;
        const double now = clock();
        bool busy = s.Playing == 1;
        for (const RecordChannelState& c : s.RecChannels)
            busy = busy || (c.RecActive == 1 && now >= c.RecStopAt - 1.2) ||
                   (c.RecPending == 1 && c.RecActive == 0 && now >= c.RecPendingAt - 1.2);
        if (busy)
            return at + TickMs;
        const qint64 midnight = at / 1000 - qint64(now);
        qint64 near = std::numeric_limits<qint64>::max();
        const auto soon = [&](qint64 second) { near = std::min(near, second); };
        const auto event = [&](const QString& timeText, int day) {
            if (timeText.size() < 3 || timeText.at(2) != ':')
                return;
            const int days = (day - StationWeekday(time.now().date()) + 7) % 7;
            qint64 due = midnight + qint64(days) * DaySeconds + TimeTextSeconds(timeText);
            if (due < at / 1000 - 3)
                due += WeekSeconds;
            soon(due - 10);
        };
        event(s.NextSwitchTime, s.NextSwitchDay);
        for (const RecordChannelState& c : s.RecChannels) {
            event(c.NextRecTime, c.NextRecDay);
            if (c.RecActive == 1)
                soon(midnight + qint64(c.RecStopAt) - 2);
            else if (c.RecPending == 1)
                soon(midnight + qint64(c.RecPendingAt) - 2);
        }
        // A stretch of each day (or of each minute) in which the tick acts:
        // the purge after midnight, the time change's arming before 02:00,
        // the playlist rebuild before midnight, and the Eb/No poll.
        const auto within = [&](qint64 period, qint64 begin, qint64 end) {
            const qint64 into = qint64(now) % period;
            soon(at / 1000 - into + (into < begin ? begin : into < end ? into : period + begin));
        };
        within(DaySeconds, 15, 35);
        within(DaySeconds, 7185, 7200);
        within(DaySeconds, DaySeconds - 15, DaySeconds);
        if (s.EbNoLogInterval >= 1 && s.EbNoLogInterval <= 5)
            within(60, 9, 15);
        const qint64 from = std::max(at / 1000, near);
        // The first quiet-tick moment of that second on the tick's own grid.
        const qint64 phase = (start + QuietTickMs) % 1000;
        qint64 next = from * 1000 + phase;
        if (next <= at)
            next += 1000;
        return next;
    }

    std::set<QString> waveFiles;
    DryRunMessages messages;
    DryRunAudio audio;
    DryRunPorts ports;
    // The station's own hand-offs, which the run's watch passes each call on to.
    TickHandoffs real;

    void add(const QString& kind, const QString& channel, const QString& details) {
        events.push_back({time.now(), kind, channel, details});
    }

    // On the private copy of the drives.
    std::unique_ptr<DrivePaths> paths;
    std::unique_ptr<Station> station;
    std::unique_ptr<StationAssembly> parts;
};

} // namespace

WeekAhead RunWeekAhead(const StationConfig& config, const QDateTime& from, int days,
                       const std::atomic<bool>* cancel) {
    const QDateTime second = QDateTime::fromMSecsSinceEpoch(from.toMSecsSinceEpoch() / 1000 * 1000,
                                                            QTimeZone::systemTimeZone());
    DryRun dry(config, second);
    return dry.run(days, cancel);
}
