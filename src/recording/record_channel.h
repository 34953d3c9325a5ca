#pragma once

#include "platform/audio.h"
#include "recording/wave_file.h"
#include "station/schedule_record.h"
#include "station/station.h"
#include "station/tick_handoffs.h"

#include <QString>
#include <functional>
#include <memory>

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
    // console then looks for the next programme two seconds later).
    RecordChannel(int number, Station& station, AudioDevices& devices, ReceiverLink* receiver,
                  RecordingHandOff* handOff, std::function<void()> recordingBegan);
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
    void Stop();
    void Dump();

    // A channel armed for a remotely started programme ("M" start mode)
    // waits for the Record contact, which starts the take.
    bool remoteStartArmed() const { return remoteStart_; }
    void StartFromRemote() {
        if (remoteStart_)
            Start();
    }

    // The input's buffer-filled event.
    void onBuffer(const QByteArray& buffer, int channels);

    bool recording() const { return writer_.isOpen(); }
    // Host paths of the take being written.
    QStringList filesInUse() const;
    const QString& cuedWaveFile() const { return cuedWaveFile_; }

    // Seconds since the start of the recording to the last buffer above the
    // threshold.
    double lastAudio() const { return lastAudio_; }

private:
    void Start();
    // Ends the take: input stopped, file closed, panel hidden, state idle.
    void endTake();
    void refuse(const QString& why);
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

    // What is being recorded.
    ScheduleNo recordedSlot_ = 0;
    int recordedWeekday_ = 0;
    QString recordedName_;
    QString recordedWaveFile_, recordedDataFile_;
    int recordedLength_ = 0; // seconds
    double lastAudio_ = 0;
    double lastGapLogged_ = -1;
    bool remoteStart_ = false;
};

// The clock tick's recording hand-offs and the console's buttons, on the two
// channels; the cue of a switch-only schedule; the input devices chosen in
// the settings at start-up.
class RecordingControl : public RecordChannelControl, public SwitchControl, public FileUser {
public:
    RecordingControl(Station& station, AudioDevices& devices, ReceiverLink* receiver,
                     RecordingHandOff* handOff);
    ~RecordingControl() override;

    QStringList filesInUse() const override;

    // recordingBegan(channel) enables that channel's pending-finder timer.
    void setRecordingBegan(std::function<void(int channel)> f) { recordingBegan_ = std::move(f); }

    RecordChannel& channel(int number) { return number == 1 ? one_ : two_; }

    void CueRecordChannel(int channel) override { this->channel(channel).Cue(); }
    void ArmRecordChannel(int channel) override { this->channel(channel).Arm(); }
    void StopRecordChannel(int channel) override { this->channel(channel).Stop(); }
    void DumpRecordChannel(int channel) override { this->channel(channel).Dump(); }
    void CueSwitchOnly() override;

    // Ends whatever is being recorded, properly, before the program ends.
    void shutDown();

private:
    Station& station_;
    ReceiverLink* receiver_;
    std::function<void(int)> recordingBegan_;
    RecordChannel one_, two_;
};

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
