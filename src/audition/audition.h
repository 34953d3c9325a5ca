#pragma once

#include "station/console_display.h"
#include "station/recording_files.h"
#include "station/schedule_record.h"
#include "station/station.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Station;
struct StationState;
class WavePlayer;

inline constexpr const char* WaveAlreadyPlayingText =
    "A wave file is already playing.  Please try again after it is finished.";
inline constexpr const char* WaveDamagedText = "Wave file does not exist or has been damaged";

// One sound card cannot carry the audition and a programme at once; on two
// cards both may play.
bool AuditionMayPlay(const StationState& s);
bool ProgrammeMayPlay(const StationState& s);

// Seconds from the start of the recording; 0 = not set.
struct Marks {
    float eom = 0;
    float endOfFile = 0;
    bool operator==(const Marks&) const = default;
};

// The Trim button: while playing the end of file moves to the position;
// while idle both marks go back to the whole recording. The EOM point never
// lies after the end of file.
Marks TrimMarks(Marks current, bool playing, qint64 positionMs, qint64 lengthMs);

// "Stereo16 Bit 44100", "Mono 8 Bit 22050": channels, bits, sample rate.
QString ModeText(int channels, int bitsPerSample, int sampleRate);

// What the audition window shows, as plain data; the window renders it.
struct AuditionDisplay {
    using Rgb = ConsoleDisplay::Rgb;
    static constexpr Rgb PauseNormal{255, 255, 192};
    static constexpr Rgb PauseHeld{255, 255, 0};
    static constexpr Rgb PlayPaused{0, 128, 0};
    static constexpr Rgb PlayPlaying{128, 255, 128};
    static constexpr Rgb EomReached{0, 255, 255};

    QString lblWave, lblMode, lblTime, lblDown, lblNumber;
    // Nothing: the button's own colour.
    std::optional<Rgb> cmdPlayColor;
    Rgb cmdPauseColor = PauseNormal;
    std::optional<Rgb> cmdEOMColor;
    qint64 sliderMaximum = 0;
    qint64 sliderPosition = 0;
    int levelLeft = 0, levelRight = 0;
};

// The audition's rules and its player: choose a recording by day and slot,
// play, pause, resume, stop, and move its marks.
class Audition : public FileUser {
public:
    using PlayerFactory = std::function<std::unique_ptr<WavePlayer>(int device)>;

    // Without a factory, players come from the configured audio backend.
    Audition(Station& station, PlayerFactory makePlayer = {});
    ~Audition() override;
    Audition(const Audition&) = delete;
    Audition& operator=(const Audition&) = delete;

    // Called after every change the player makes on its own (its end).
    void setChangedHandler(std::function<void()> f) { changed_ = std::move(f); }

    // Schedules in use, in slot order.
    std::vector<std::pair<QString, ScheduleNo>> schedules() const;

    void Open();
    // weekday 0 = Sunday .. 6, -1 = none.
    void chooseDay(int weekday);
    // 0 = none.
    void chooseSchedule(ScheduleNo slot);

    void Play();
    void Pause();
    void StopAudPlay();
    void SetEom();
    void Trim();
    void seek(qint64 ms);
    void Timer1Tick();
    void Close();

    QStringList filesInUse() const override;

    bool paused() const { return paused_; }
    const Marks& marks() const { return marks_; }
    // The recording last loaded; empty before the first.
    const RecordingNames& loaded() const { return loaded_; }

    AuditionDisplay display;

private:
    bool load(const RecordingNames& names);
    // Forgets the recording last loaded, stopping it first.
    void unload();
    void becameIdle();
    bool playing() const;
    void save();

    Station& station_;
    PlayerFactory makePlayer_;
    std::unique_ptr<WavePlayer> player_;
    std::function<void()> changed_;
    int weekday_ = -1;
    ScheduleNo slot_ = 0;
    RecordingNames loaded_;
    qint64 lengthMs_ = 0;
    Marks marks_;
    bool paused_ = false;
};
