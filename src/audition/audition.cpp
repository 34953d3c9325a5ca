#include "audition/audition.h"

#include "platform/drive_paths.h"
#include "platform/wave_player.h"
#include "station/messages.h"
#include "station/recording_files.h"
#include "station/station.h"
#include "station/time_format.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

float seconds(qint64 ms) {
    return float(double(ms) / 1000.0);
}

int roundedSeconds(double ms) {
    return int(std::nearbyint(ms / 1000.0));
}

} // namespace

bool AuditionMayPlay(const StationState& s) {
    return s.AuditionDevice != s.PlayDevice || s.Playing == 0;
}

bool ProgrammeMayPlay(const StationState& s) {
    return s.PlayDevice != s.AuditionDevice || s.AuditionPlaying != 1;
}

Marks TrimMarks(Marks current, bool playing, qint64 positionMs, qint64 lengthMs) {
    if (playing) {
        current.endOfFile = seconds(positionMs);
    } else {
        current.endOfFile = seconds(lengthMs);
        current.eom = current.endOfFile;
    }
    current.eom = std::min(current.eom, current.endOfFile);
    return current;
}

QString ModeText(int channels, int bitsPerSample, int sampleRate) {
    return QString(channels == 2 ? "Stereo" : "Mono ") + QString::number(bitsPerSample) + " Bit " +
           QString::number(sampleRate);
}

Audition::Audition(Station& station, PlayerFactory makePlayer)
    : station_(station), makePlayer_(std::move(makePlayer)) {
    if (!makePlayer_)
        makePlayer_ = [&station](int device) {
            return makeWavePlayer(station.paths().config(), device);
        };
    station_.addFileUser(this);
}

Audition::~Audition() {
    Close();
    station_.removeFileUser(this);
}

QStringList Audition::filesInUse() const {
    if (!player_)
        return {};
    return {station_.paths().resolve(loaded_.wave), station_.paths().resolve(loaded_.marks)};
}

std::vector<std::pair<QString, ScheduleNo>> Audition::schedules() const {
    std::vector<std::pair<QString, ScheduleNo>> list;
    for (const auto& e : station_.state.SatListFile.scan())
        list.emplace_back(e.fields.SatName, e.n);
    return list;
}

void Audition::Open() {
    paused_ = false;
    display.cmdPauseColor = AuditionDisplay::PauseNormal;
}

void Audition::chooseDay(int weekday) {
    weekday_ = weekday;
    display.lblWave.clear();
}

void Audition::chooseSchedule(ScheduleNo slot) {
    slot_ = slot;
    display.lblWave.clear();
    display.lblNumber = slot > 0 ? QString::number(slot) : QString();
}

bool Audition::playing() const {
    return station_.state.AuditionPlaying == 1 && player_;
}

void Audition::Play() {
    StationState& s = station_.state;
    if (!AuditionMayPlay(s)) {
        station_.messages().ShowMessage(WaveAlreadyPlayingText);
        return;
    }
    if (slot_ < 1) {
        display.lblWave = "Select a Program";
        return;
    }
    if (weekday_ < 0 || weekday_ > 6) {
        display.lblWave = "  Select a Day";
        return;
    }
    const RecordingNames names =
        recordingFileNames(s.WaveDrive, s.DayNames[size_t(weekday_ + 1)], slot_);
    const QFileInfo wave(names.wave.isEmpty() ? QString() : station_.paths().resolve(names.wave));
    if (names.wave.isEmpty() || !wave.isFile() || wave.size() == 0) {
        // The operator asked for this recording: nothing of the one heard
        // before may stay on show, play on, or take a Trim meant for this one.
        unload();
        display.lblWave = "  Not Available";
        return;
    }
    // Resuming another recording than the one chosen would leave the marks
    // of one recording to be written with the times of the other.
    if (paused_ && playing() && names == loaded_) {
        player_->resume();
        paused_ = false;
        display.cmdPauseColor = AuditionDisplay::PauseNormal;
    } else if (!load(names)) {
        station_.messages().ShowMessage(WaveDamagedText);
        return;
    }
    display.cmdPlayColor = AuditionDisplay::PlayPlaying;
    s.AuditionPlaying = 1;
}

bool Audition::load(const RecordingNames& names) {
    if (station_.state.AuditionPlaying == 1)
        StopAudPlay();
    player_.reset();
    loaded_ = {};
    std::unique_ptr<WavePlayer> player = makePlayer_(station_.state.AuditionDevice);
    QString error;
    if (!player || !player->load(station_.paths().resolve(names.wave), &error))
        return false;
    const qint64 length = player->durationMs();
    const float lengthSecs = seconds(length);
    const auto [eom, endOfFile] = readMarks(station_.paths().resolve(names.marks), lengthSecs);
    Marks m{float(eom), float(endOfFile)};
    if (m.eom == 0)
        m.eom = lengthSecs;
    if (m.endOfFile != 0)
        player->setEndPositionMs(qint64(std::nearbyint(double(m.endOfFile) * 1000.0)));
    player->setStoppedHandler([this] {
        // The end of the recording frees the sound card as Stop does.
        becameIdle();
        if (changed_)
            changed_();
    });
    player->setLevelHandler([this](int left, int right) {
        display.levelLeft = left;
        display.levelRight = right;
    });
    if (!player->start(&error))
        return false;

    player_ = std::move(player);
    loaded_ = names;
    lengthMs_ = length;
    marks_ = m;
    paused_ = false;
    display.sliderMaximum = length;
    display.sliderPosition = 0;
    display.cmdPauseColor = AuditionDisplay::PauseNormal;
    display.cmdEOMColor.reset();
    display.lblMode =
        ModeText(player_->channels(), player_->bitsPerSample(), player_->sampleRate());
    return true;
}

void Audition::unload() {
    if (player_)
        StopAudPlay();
    player_.reset();
    loaded_ = {};
    lengthMs_ = 0;
    marks_ = {};
    display.lblMode.clear();
    display.sliderMaximum = 0;
    display.sliderPosition = 0;
}

void Audition::Pause() {
    if (!playing() || paused_)
        return;
    player_->pause();
    paused_ = true;
    display.cmdPauseColor = AuditionDisplay::PauseHeld;
    display.cmdPlayColor = AuditionDisplay::PlayPaused;
}

void Audition::StopAudPlay() {
    if (player_)
        player_->stop();
    becameIdle();
}

void Audition::becameIdle() {
    // A stop while paused ends the pause too, or the next Play would resume
    // a stopped player and nothing would be heard.
    paused_ = false;
    display.cmdPlayColor.reset();
    display.cmdPauseColor = AuditionDisplay::PauseNormal;
    display.cmdEOMColor.reset();
    display.lblTime.clear();
    display.lblDown.clear();
    display.levelLeft = display.levelRight = 0;
    station_.state.AuditionPlaying = 0;
}

void Audition::save() {
    // The EOM button rewrites the end of file with the value it was read as.
    QString error;
    if (!writeMarks(station_.paths().resolve(loaded_.marks), marks_.eom, marks_.endOfFile, &error))
        station_.messages().ShowMessage(QString("Cannot write %1: %2").arg(loaded_.marks, error));
}

void Audition::SetEom() {
    if (!playing())
        return;
    float eom = seconds(player_->positionMs());
    // An EOM point after the end of file would never be reached.
    if (marks_.endOfFile != 0)
        eom = std::min(eom, marks_.endOfFile);
    marks_.eom = eom;
    save();
}

void Audition::Trim() {
    if (loaded_.marks.isEmpty() || !player_)
        return;
    const bool wasPlaying = playing();
    marks_ = TrimMarks(marks_, wasPlaying, player_->positionMs(), lengthMs_);
    if (wasPlaying)
        StopAudPlay();
    save();
}

void Audition::seek(qint64 ms) {
    if (player_)
        player_->setPositionMs(ms);
}

void Audition::Timer1Tick() {
    if (station_.state.AuditionPlaying != 1 || !player_)
        return;
    const qint64 position = player_->positionMs();
    display.lblTime = FormatElapsed(roundedSeconds(double(position)));
    const int toEom = roundedSeconds(double(marks_.eom) * 1000.0 - double(position));
    if (toEom < 1) {
        display.cmdEOMColor = AuditionDisplay::EomReached;
    } else {
        // Back before the EOM point (the slider moved back): normal again.
        display.cmdEOMColor.reset();
        display.lblDown = FormatElapsed(toEom);
    }
    display.sliderPosition = position;
}

void Audition::Close() {
    // The player dies with the window; the card must be free when it does.
    StopAudPlay();
}
