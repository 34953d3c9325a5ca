#include "recording/record_channel.h"

#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "receiver/receiver_commands.h"
#include "schedule/next_event_finder.h"
#include "station/log_files.h"
#include "station/messages.h"
#include "station/recording_files.h"
#include "station/schedule_record.h"
#include "station/station.h"
#include "station/time_format.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <cmath>

namespace {

// A cue prepares the occurrence it was made for; an arm long after it is
// not for that occurrence any more.
constexpr qint64 CueValidMs = 60000;

// How far short of its length a take may end and still be whole.
constexpr double ShortBySeconds = 0.5;

QString blanks(int n) {
    return QString(n, ' ');
}

} // namespace

namespace {

void send(Station& station, ReceiverLink* receiver, const QString& command,
          std::function<void(bool, const QString&)> then = {}) {
    station.state.ReceiverCommand = command;
    if (receiver)
        SendReceiverCommand(station, *receiver, std::move(then));
}

} // namespace

RecordChannel::RecordChannel(int number, Station& station, AudioDevices& devices,
                             ReceiverLink* receiver, RecordingHandOff* handOff,
                             std::function<void()> recordingBegan, TakeHistory* history)
    : number_(number), station_(station), devices_(devices), receiver_(receiver), handOff_(handOff),
      recordingBegan_(std::move(recordingBegan)), history_(history) {}

RecordChannel::~RecordChannel() {
    if (input_)
        input_->stop();
}

double RecordChannel::now() const {
    return station_.clock().secondsSinceMidnight();
}

double RecordChannel::sinceStart() const {
    return secondsBetween(state().RecStartTimer, now());
}

QStringList RecordChannel::filesInUse() const {
    if (!writer_.isOpen())
        return {};
    return {station_.paths().resolve(recordedWaveFile_),
            station_.paths().resolve(recordedDataFile_)};
}

bool RecordChannel::Cue() {
    StationState& s = station_.state;
    const ScheduleNo slot = state().NextRecSlot;
    const auto rec = slot > 0 ? s.SatListFile.read(slot) : std::nullopt;
    if (!rec || !rec->inUse()) {
        const QString why =
            slot > 0 ? QString("Record channel %1: schedule %2 is not in the schedule file; "
                               "nothing is cued")
                           .arg(number_)
                           .arg(slot)
                     : QString("Record channel %1: there is no programme to cue").arg(number_);
        LogError(station_, why);
        station_.messages().ShowMessage(why);
        return false;
    }
    const ScheduleFields f = rec->parse();
    cuedSlot_ = slot;
    cuedRoute_ = f.SatRoute;
    cuedName_ = f.SatName;
    cuedScheduled_ =
        occurrenceNear(state().NextRecTime, state().NextRecDay, station_.clock().now());

    const int cue = ++cueNumber_;
    cueOutcome_ = receiver_ ? "failed: no word from the serial line" : "not used";
    send(station_, receiver_, cueSetAudioCommand(f),
         [this, cue, alive = std::weak_ptr<bool>(alive_)](bool sent, const QString& why) {
             if (alive.expired())
                 return;
             const QString outcome = sent ? QStringLiteral("answered") : "failed: " + why;
             if (cue == cueNumber_)
                 cueOutcome_ = outcome;
             if (row_ && cue == rowCue_)
                 row_->cueOutcome = outcome;
         });
    LogActivity(station_, s.ReceiverCommand);
    if (s.ResetExpansionRelays == 1) {
        for (int relay : expansionRelaysOfPort(f.SatPort)) {
            send(station_, receiver_, "ER D " + QString::number(relay));
            LogActivity(station_, "Turn off Relay " + QString::number(relay));
        }
    }
    s.CueRecordStart = f.SatRecordStart;

    // Wave and marks files are named after the schedule's row (its day in
    // the weekly schedule), which the playlist and the export go by; the
    // occurrence's own day differs once a time change has moved it across
    // midnight.
    const int entry = state().NextRecEntry;
    cuedWeekday_ = entry >= 0 && entry <= 6 ? entry : 0;
    const QString dayName = s.DayNames[size_t(cuedWeekday_ + 1)];
    cuedWaveFile_ = recordingFile(s.WaveDrive, dayName, slot, "WAV");
    cuedDataFile_ = recordingFile(s.WaveDrive, dayName, slot, "DAT");
    cuedAt_ = station_.clock().monotonicMs();
    armRefused_ = false;

    // A channel still recording keeps its own stop time; the length waits
    // for the arm.
    if (state().RecActive == 0)
        state().RecStopAt = RecordLengthSeconds(f.SatLen);
    cuedLength_ = RecordLengthSeconds(f.SatLen);

    shown().PanelVisible = true;
    shown().lblRecordName = "Cue " + state().NextRecName;
    return true;
}

void RecordChannel::refuse(const QString& why) {
    if (!armRefused_) {
        LogError(station_, why);
        station_.messages().ShowMessage(why);
        TakeRecord row = dueRow();
        row.outcome = TakeOutcome::Refused;
        row.why = why;
        keepRow(row);
    }
    armRefused_ = true;
    // A refused arm records nothing: the panel must not go on saying "Cue".
    showIdle();
}

void RecordChannel::showIdle() {
    shown().PanelVisible = false;
    shown().LevelLeft = 0;
    shown().LevelRight = 0;
    shown().lblRecordName = blanks(40);
    shown().lblRecordTimer = blanks(12);
}

void RecordChannel::Arm() {
    StationState& s = station_.state;
    if (state().RecPending != 0 || armRefused_)
        return;
    const QString channel = QString("Record channel %1").arg(number_);
    if (cuedAt_ < 0 || cuedSlot_ != state().NextRecSlot ||
        station_.clock().monotonicMs() - cuedAt_ > CueValidMs) {
        refuse(channel + ": " + state().NextRecName.trimmed() +
               " was not cued in time and is not recorded");
        return;
    }
    if (s.WaveDrive.size() != 1 || !s.WaveDrive.at(0).isLetter()) {
        refuse(channel + ": no drive is chosen for the wave files (SetUp, My Computer)");
        return;
    }
    channels_ = (cuedRoute_ == "1" || cuedRoute_ == "2") ? 1 : 2;
    retired_.reset();
    input_ = devices_.createInput(device_);
    input_->setBufferHandler([this](const QByteArray& b, int ch) { onBuffer(b, ch); });
    QString error;
    if (!input_->start(channels_, &error)) {
        retired_ = std::move(input_);
        refuse(
            QString("%1: audio input %2 cannot be used: %3").arg(channel).arg(device_).arg(error));
        return;
    }
    inputStartedAt_ = station_.clock().now();
    framesHeard_ = 0;
    row_ = dueRow();
    rowCue_ = cueNumber_;
    shown().lblRecordName = "Waiting for Audio";
    state().RecPending = 1;
    remoteStart_ = s.CueRecordStart == "M";
    state().RecPendingAt = now() + cuedLength_;
    state().RecStopAt = cuedLength_;
}

void RecordChannel::onBuffer(const QByteArray& buffer, int channels) {
    StationState& s = station_.state;
    const Peaks peaks = bufferPeaks(buffer, channels);
    shown().LevelLeft = std::abs(peaks.left);
    shown().LevelRight = std::abs(peaks.right);
    const bool audio = (std::abs(peaks.left) | std::abs(peaks.right)) > s.RecordThreshold;
    // Where this buffer began in the input's stream: the first audio is
    // timed by it, not by the tick that happens to see it.
    const qint64 position = framesHeard_;
    framesHeard_ += buffer.size() / (2 * channels);

    if (audio && state().RecPending == 1)
        Start(position);
    if (state().RecPending != 2 || !writer_.isOpen())
        return;
    if (gaps_.heard(sinceStart(), audio))
        LogError(station_,
                 fixedWidth(recordedName_, 25) + " Audio " + FormatElapsed(int(gaps_.lastAudio())));
    // The take is the scheduled length from the first audio; a buffer that
    // straddles the end is cut there, whenever the tick gets to the stop.
    const qint64 bytesPerFrame = 2 * channels;
    const qint64 room =
        (qint64(recordedLength_) * AudioSampleRate - writer_.framesWritten()) * bytesPerFrame;
    if (room <= 0)
        return;
    const QByteArray taken = buffer.left(qsizetype(std::min<qint64>(room, buffer.size())));
    QString error;
    if (!writer_.write(taken, &error)) {
        const QString why = QString("Record channel %1: writing %2 failed: %3")
                                .arg(number_)
                                .arg(recordedWaveFile_, error);
        LogError(station_, why);
        Stop(why);
        return;
    }
    loudness_->add(taken);
    peak_ = std::max({peak_, std::abs(peaks.left), std::abs(peaks.right)});
}

void RecordChannel::Start(qint64 position) {
    recordedSlot_ = cuedSlot_;
    recordedWeekday_ = cuedWeekday_;
    recordedName_ = cuedName_;
    recordedWaveFile_ = cuedWaveFile_;
    recordedDataFile_ = cuedDataFile_;
    recordedLength_ = cuedLength_;
    const QString host = station_.paths().resolve(recordedWaveFile_);
    QDir().mkpath(QFileInfo(host).path());
    QString error;
    if (!writer_.open(host, channels_, AudioSampleRate, &error)) {
        const QString why = QString("Record channel %1: cannot create %2 (%3): %4")
                                .arg(number_)
                                .arg(recordedWaveFile_, host, error);
        LogError(station_, why);
        station_.messages().ShowMessage(why);
        closeRow(TakeOutcome::Refused, why);
        Dump();
        return;
    }
    state().RecStartTimer = now();
    state().RecStopAt = now() + cuedLength_;
    state().RecPending = 2;
    state().RecActive = 1;
    gaps_ = {};
    peak_ = 0;
    ebNo_ = {};
    loudness_ = std::make_unique<LoudnessMeter>(channels_);
    if (row_) {
        row_->firstAudio =
            inputStartedAt_.addMSecs(std::llround(double(position) * 1000.0 / AudioSampleRate));
        row_->firstAudioOffset = row_->scheduled.msecsTo(row_->firstAudio) / 1000.0;
        row_->waveFile = recordedWaveFile_;
    }
    shown().lblRecordName = "Recording " + recordedName_;
    LogActivity(station_, "Record " + recordedName_);
    if (recordingBegan_)
        recordingBegan_();
}

void RecordChannel::endTake() {
    if (input_) {
        input_->stop();
        retired_ = std::move(input_);
    }
    writer_.close();
    state().RecActive = 0;
    state().RecPending = 0;
    remoteStart_ = false;
    showIdle();
}

TakeRecord RecordChannel::dueRow(ScheduleNo slot, const QDateTime& at) const {
    const StationState& s = station_.state;
    TakeRecord row;
    row.slot = slot > 0 ? slot : state().NextRecSlot;
    row.channel = number_;
    if (row.slot == state().NextRecSlot)
        row.name = state().NextRecName.trimmed();
    if (const auto rec = row.slot > 0 ? s.SatListFile.read(row.slot) : std::nullopt) {
        const ScheduleFields f = rec->parse();
        row.name = f.SatName.trimmed();
        row.lengthScheduled = RecordLengthSeconds(f.SatLen);
    }
    // The cue of this occurrence knows it best; a programme that was never
    // cued is placed by the finder's time.
    const bool cued = cuedAt_ >= 0 && cuedSlot_ == row.slot &&
                      station_.clock().monotonicMs() - cuedAt_ <= CueValidMs;
    row.cueOutcome = cued ? cueOutcome_ : QStringLiteral("not used");
    row.scheduled =
        at.isValid() ? at
        : cued       ? cuedScheduled_
               : occurrenceNear(state().NextRecTime, state().NextRecDay, station_.clock().now());
    return row;
}

qint64 RecordChannel::keepRow(TakeRecord row) {
    if (!history_)
        return 0;
    history_->write(row);
    return row.id;
}

qint64 RecordChannel::closeRow(TakeOutcome outcome, const QString& why) {
    if (!row_)
        return 0;
    TakeRecord row = std::move(*row_);
    row_.reset();
    if (row.firstAudio.isValid()) {
        gaps_.end(sinceStart());
        row.lengthRecorded = double(writer_.framesWritten()) / AudioSampleRate;
        row.gaps = gaps_.count();
        row.longestGap = gaps_.longest();
        row.peakDbfs = peakDbfs(peak_);
        row.loudnessLufs = loudness_ ? loudness_->integrated() : NAN;
        row.ebNoMin = ebNo_.min();
        row.ebNoMean = ebNo_.mean();
    }
    row.outcome = outcome;
    row.why = why;
    return keepRow(std::move(row));
}

void RecordChannel::Stop(const QString& why) {
    StationState& s = station_.state;
    if (state().RecActive != 1) {
        // Nothing is being written: an armed channel just stops waiting.
        if (state().RecPending == 1) {
            closeRow(TakeOutcome::Dumped, why);
            endTake();
        }
        return;
    }
    // The tick stops a take a buffer or so after its length has run, by its
    // clock; a take that falls short by more than that was cut off.
    const bool whole =
        writer_.framesWritten() >= (recordedLength_ - ShortBySeconds) * AudioSampleRate;
    const qint64 id =
        closeRow(whole ? TakeOutcome::Recorded : TakeOutcome::Short, whole ? QString() : why);
    endTake();

    // The marks file: end-of-message and end-of-file both at the last audio.
    const double lastAudio = gaps_.lastAudio();
    QString error;
    const QString marksHost = station_.paths().resolve(recordedDataFile_);
    if (!writeMarks(marksHost, lastAudio, lastAudio, &error))
        LogError(station_,
                 QString("Cannot write %1 (%2): %3").arg(recordedDataFile_, marksHost, error));
    // The purge judges a take's age by its files' time, on the station's
    // clock (a run ahead of time keeps its own).
    for (const QString& f : {station_.paths().resolve(recordedWaveFile_), marksHost})
        files::setModified(f, station_.clock().now());

    const auto rec = s.SatListFile.read(recordedSlot_);
    LogActivity(station_, "Stop   " + (rec ? rec->parse().SatName : recordedName_));

    if (handOff_)
        handOff_->RecordingFinished({number_, recordedSlot_, recordedWeekday_, recordedWaveFile_,
                                     recordedDataFile_, lastAudio, id});
}

void RecordChannel::Dump() {
    closeRow(TakeOutcome::Dumped, "no audio above the threshold");
    endTake();
    LogActivity(station_, "Dump " + state().NextRecName);
    FindNextRecord(station_, number_);
}

void RecordChannel::Missed(ScheduleNo slot, const QDateTime& at, const QString& why) {
    TakeRecord row = dueRow(slot, at);
    row.outcome = TakeOutcome::Missed;
    row.why = why;
    keepRow(std::move(row));
}

void RecordChannel::heardEbNo(double value) {
    if (row_ && state().RecActive == 1)
        ebNo_.add(value);
}

RecordingControl::RecordingControl(Station& station, AudioDevices& devices, ReceiverLink* receiver,
                                   RecordingHandOff* handOff, TakeHistory* history)
    : station_(station), receiver_(receiver),
      one_(1, station, devices, receiver, handOff, began(1), history),
      two_(2, station, devices, receiver, handOff, began(2), history) {
    station_.addFileUser(this);
}

std::function<void()> RecordingControl::began(int channel) {
    return [this, channel] {
        if (recordingBegan_)
            recordingBegan_(channel);
    };
}

RecordingControl::~RecordingControl() {
    station_.removeFileUser(this);
}

QStringList RecordingControl::filesInUse() const {
    return one_.filesInUse() + two_.filesInUse();
}

void RecordingControl::CueSwitchOnly() {
    StationState& s = station_.state;
    const auto rec = s.SatListFile.read(s.NextSwitchSlot);
    if (!rec || !rec->inUse()) {
        LogError(station_,
                 QString("Switch: schedule %1 is not in the schedule file").arg(s.NextSwitchSlot));
        return;
    }
    send(station_, receiver_, switchSetAudioCommand(rec->parse()));
    LogActivity(station_, s.ReceiverCommand + " Switch Only");
}

void RecordingControl::shutDown() {
    for (RecordChannel* c : {&one_, &two_})
        c->Stop("the program ended");
}

void KeepTakesMissedWhileAway(Station& station, TakeHistory& history, const QDateTime& now) {
    const QDateTime last = history.lastRunning();
    if (!last.isValid() || last >= now)
        return;
    const QDateTime from = std::max(last, now.addDays(-7));
    QSet<QString> kept;
    for (const TakeRecord& r : history.since(from.addDays(-1)))
        kept.insert(QString::number(r.slot) + r.scheduled.toString(Qt::ISODate));
    for (const auto& [slot, f] : station.state.SatListFile.scan()) {
        if (f.SatRecordStart != "T" || (f.RecChan != "1" && f.RecChan != "2"))
            continue;
        for (size_t row = 0; row < f.RecTimes.size(); ++row) {
            if (!isTimeText(f.RecTimes[row]))
                continue;
            for (QDate day = from.date(); day <= now.date(); day = day.addDays(1)) {
                const QDateTime at(day, QTime::fromMSecsSinceStartOfDay(
                                            TimeTextSeconds(f.RecTimes[row]) % DaySeconds * 1000));
                if (StationWeekday(day) != f.RecDays[row] || at <= from || at >= now ||
                    kept.contains(QString::number(slot) + at.toString(Qt::ISODate)))
                    continue;
                TakeRecord r;
                r.slot = slot;
                r.name = f.SatName.trimmed();
                r.channel = f.RecChan.toInt();
                r.scheduled = at;
                r.cueOutcome = "not used";
                r.lengthScheduled = RecordLengthSeconds(f.SatLen);
                r.outcome = TakeOutcome::Missed;
                r.why = "the console was not running";
                history.write(r);
            }
        }
    }
}
