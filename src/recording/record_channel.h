#pragma once

#include "history/take_history.h"
#include "platform/audio.h"
#include "recording/take_measures.h"
#include "recording/wave_file.h"
#include "station/schedule_record.h"
#include "station/station.h"
#include "station/tick_handoffs.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Station;
class ReceiverLink;

// A recording that has ended, for the hand-off to the playout store.
struct FinishedRecording {
    int channel = 0;
    ScheduleNo slot = 0;
    int weekday = 0;  // 0 = Sunday
    QString waveFile; // station path
    QString dataFile;
    double lastAudio = 0;
    // Its row in the take history, for the hand-off's outcomes; 0 when the
    // history could not keep it.
    qint64 takeId = 0;
};

class RecordingHandOff {
public:
    virtual ~RecordingHandOff() = default;
    // Decides by the slot's export rule whether and where to copy it.
    virtual void RecordingFinished(const FinishedRecording& recording) = 0;
};

// One record channel: cue, arm, record from the first audio above the
// threshold for the scheduled length, stop or dump. The station has two,
// identical but for their number, which picks their state and controls.
class RecordChannel {
public:
    // number: 1 or 2. recordingBegan is called when recording starts (the
    // console then looks for the next programme two seconds later). Every
    // programme the channel was due to take is a row in history, when given.
    RecordChannel(int number, Station& station, AudioDevices& devices, ReceiverLink* receiver,
                  RecordingHandOff* handOff, std::function<void()> recordingBegan,
                  TakeHistory* history = nullptr);
    ~RecordChannel();

    void setInputDevice(int device) { device_ = device; }

    // False, with the reason said, when there is no programme to cue.
    bool Cue();
    void Arm();
    // The "Cue Rec" button: cue, then arm what was cued.
    void CueAndArm() {
        if (Cue())
            Arm();
    }
    // Stops the take; one that has not run its length is kept as short, for
    // the reason given.
    void Stop(const QString& why = QStringLiteral("stopped before its length"));
    void Dump();
    // A programme due at a moment was not taken (the tick says why): its row.
    void Missed(ScheduleNo slot, const QDateTime& at, const QString& why);
    // A reading of the receiver's Eb/No, kept for the take under way.
    void heardEbNo(double value);

    // A channel armed for a remotely started programme ("M" start mode)
    // waits for the Record contact, which starts the take.
    bool remoteStartArmed() const { return remoteStart_; }
    void StartFromRemote() {
        if (remoteStart_)
            Start(framesHeard_);
    }

    // The input's buffer-filled event.
    void onBuffer(const QByteArray& buffer, int channels);

    bool recording() const { return writer_.isOpen(); }
    // Host paths of the take being written.
    QStringList filesInUse() const;
    const QString& cuedWaveFile() const { return cuedWaveFile_; }

    // Seconds since the start of the recording to the last buffer above the
    // threshold.
    double lastAudio() const { return gaps_.lastAudio(); }

private:
    // position: the frame of the input's stream the take begins at.
    void Start(qint64 position);
    // Ends the take: input stopped, file closed, panel hidden, state idle.
    void endTake();
    void refuse(const QString& why);
    // The row of a programme due on the channel, as far as the cue and the
    // schedule tell it; by default the one the finder holds, at its moment.
    TakeRecord dueRow(ScheduleNo slot = 0, const QDateTime& at = {}) const;
    // Writes the row of the take that ended and returns its id.
    qint64 keepRow(TakeRecord row);
    // Ends the row of the take under way with the figures measured so far;
    // its id, 0 when there was none or it was not kept.
    qint64 closeRow(TakeOutcome outcome, const QString& why);
    // The panel as it is between takes.
    void showIdle();
    double now() const;
    double sinceStart() const;

    RecordChannelState& state() const { return station_.state.Rec(number_); }
    RecordChannelDisplay& shown() const { return station_.display.Rec(number_); }

    int number_;
    Station& station_;
    AudioDevices& devices_;
    ReceiverLink* receiver_;
    RecordingHandOff* handOff_;
    std::function<void()> recordingBegan_;
    TakeHistory* history_;
    std::unique_ptr<AudioInput> input_;
    // The input of the take that ended last. A take can end inside the
    // input's own buffer event (a file that cannot be written), so the object
    // is kept until the next arm rather than destroyed under its caller.
    std::unique_ptr<AudioInput> retired_;
    WaveWriter writer_;
    int device_ = 0;
    int channels_ = 2;

    // What the last cue prepared.
    ScheduleNo cuedSlot_ = 0;
    QString cuedRoute_;
    QString cuedName_;
    QString cuedWaveFile_, cuedDataFile_;
    int cuedWeekday_ = 0;
    int cuedLength_ = 0; // seconds
    qint64 cuedAt_ = -1; // monotonic ms
    bool armRefused_ = false;
    QDateTime cuedScheduled_;
    // The receiver's word on each cue comes later than the cue; the number
    // lets a late word find the take it belongs to.
    int cueNumber_ = 0;
    QString cueOutcome_;
    // The row of the take under way, from its arm to its end, and what is
    // measured for it.
    std::optional<TakeRecord> row_;
    int rowCue_ = 0;
    QDateTime inputStartedAt_;
    qint64 framesHeard_ = 0;
    int peak_ = 0;
    AudioGaps gaps_;
    std::unique_ptr<LoudnessMeter> loudness_;
    EbNoReadings ebNo_;
    // Answers from the receiver may outlive the channel.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    // What is being recorded.
    ScheduleNo recordedSlot_ = 0;
    int recordedWeekday_ = 0;
    QString recordedName_;
    QString recordedWaveFile_, recordedDataFile_;
    int recordedLength_ = 0; // seconds
    bool remoteStart_ = false;
};

// The clock tick's recording hand-offs and the console's buttons, on the two
// channels; the cue of a switch-only schedule; the input devices chosen in
// the settings at start-up.
class RecordingControl : public RecordChannelControl, public SwitchControl, public FileUser {
public:
    RecordingControl(Station& station, AudioDevices& devices, ReceiverLink* receiver,
                     RecordingHandOff* handOff, TakeHistory* history = nullptr);
    ~RecordingControl() override;

    QStringList filesInUse() const override;

    // recordingBegan(channel) enables that channel's pending-finder timer.
    void setRecordingBegan(std::function<void(int channel)> f) { recordingBegan_ = std::move(f); }

    RecordChannel& channel(int number) { return number == 1 ? one_ : two_; }

    void CueRecordChannel(int channel) override { this->channel(channel).Cue(); }
    void ArmRecordChannel(int channel) override { this->channel(channel).Arm(); }
    void StopRecordChannel(int channel) override { this->channel(channel).Stop(); }
    void DumpRecordChannel(int channel) override { this->channel(channel).Dump(); }
    void MissedRecordChannel(int channel, int slot, const QDateTime& at,
                             const QString& why) override {
        this->channel(channel).Missed(slot, at, why);
    }
    void CueSwitchOnly() override;

    // The Eb/No poll's readings, for the takes under way.
    void heardEbNo(double value) {
        one_.heardEbNo(value);
        two_.heardEbNo(value);
    }

    // Ends whatever is being recorded, properly, before the program ends.
    void shutDown();

private:
    // A channel's word that it began recording, passed on with its number.
    std::function<void()> began(int channel);

    Station& station_;
    ReceiverLink* receiver_;
    std::function<void(int)> recordingBegan_;
    RecordChannel one_, two_;
};

// The programmes recorded by time that came due after the console's last
// running mark and before now, while it was not running: a missed row each
// (a week at most), unless the history holds a row of theirs already.
void KeepTakesMissedWhileAway(Station& station, TakeHistory& history, const QDateTime& now);

// The sound cards chosen in the settings, handed over as start-up reads
// them: the record channels' inputs, and the programme player's output.
class RecordingDeviceChoice : public AudioDeviceChoice {
public:
    explicit RecordingDeviceChoice(RecordingControl& recording,
                                   std::function<void(int)> playDevice = {})
        : recording_(recording), playDevice_(std::move(playDevice)) {}
    void usePlayDevice(int device) override {
        if (playDevice_)
            playDevice_(device);
    }
    void useRecordDevice(int channel, int device) override {
        recording_.channel(channel).setInputDevice(device);
    }

private:
    RecordingControl& recording_;
    std::function<void(int)> playDevice_;
};
