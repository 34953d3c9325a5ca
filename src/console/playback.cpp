#include "console/playback.h"

#include "audition/audition.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/record_file.h"
#include "station/log_files.h"
#include "station/messages.h"
#include "station/recording_files.h"
#include "station/station.h"
#include "station/time_format.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <cstring>

Playback::Playback(Station& station, PlayerFactory makePlayer, std::function<void()> startEomPulse)
    : station_(station), makePlayer_(std::move(makePlayer)),
      startEomPulse_(std::move(startEomPulse)) {
    usePlayDevice(0);
    station_.addFileUser(this);
}

Playback::~Playback() {
    station_.removeFileUser(this);
}

QStringList Playback::filesInUse() const {
    const StationState& s = station_.state;
    if (s.Playing != 1)
        return {};
    return {station_.paths().resolve(s.PlayWavePath), station_.paths().resolve(s.PlayInfoPath)};
}

void Playback::usePlayDevice(int device) {
    // The programme on air finishes on the card it started on; replacing its
    // player now would lose its stopped event and leave the console playing
    // nothing. The new card takes over at the next start.
    if (player_ && station_.state.Playing == 1) {
        nextDevice_ = device;
        return;
    }
    nextDevice_.reset();
    player_ = makePlayer_(device);
    player_->setStoppedHandler([this] { EndOfPlay(); });
    player_->setLevelHandler([this](int l, int r) {
        station_.display.PlayLevelLeft = l;
        station_.display.PlayLevelRight = r;
    });
}

void Playback::showEmptyList(const QString& text) {
    ConsoleDisplay& d = station_.display;
    d.PlayListVisible = false;
    d.lblPlayDay = text;
    d.cmdPlayVisible = false;
    d.cmdStopVisible = false;
}

void Playback::BuildPlayList() {
    StationState& s = station_.state;
    ConsoleDisplay& d = station_.display;
    const QDateTime now = station_.clock().now();
    int k = StationWeekday(now.date()) - 1;
    if (s.MidnightListLatch == 1)
        k = (k + 1) % 7;
    const QString nowText = now.time().toString("HH:mm:ss");
    if (s.MidnightListLatch == 1)
        playingListed_ = false;
    for (const ScheduleFile::Entry& e : s.SatListFile.scan()) {
        for (int j = 0; j < 4; ++j) {
            const QString& t = e.fields.PlayTimes[size_t(4 * k + j)];
            if (t.trimmed().isEmpty())
                continue;
            if (s.PlayListMode == 0 || (s.PlayListMode == 1 && t > nowText))
                d.PlayList.add(t + "  " + e.fields.SatName, int32_t(e.n));
        }
    }
    // The programme on air stays listed after a rebuild during the day.
    if (s.PlayListMode == 1 && s.Playing != 0 &&
        (d.PlayList.isEmpty() || d.PlayList.at(0).text != s.PlayingEntryText))
        d.PlayList.add(s.PlayingEntryText, int32_t(s.PlayingSlot));
    if (d.PlayList.isEmpty()) {
        showEmptyList("  No Schedules to Play");
        return;
    }
    d.lblPlayDay.clear();
    d.PlayListVisible = true;
    d.cmdPlayVisible = s.PlayButtonVisible == 1;
    d.cmdStopVisible = s.StopButtonVisible == 1;
}

void Playback::LoadPlayList() {
    station_.display.PlayList.clear();
    station_.state.PlayListMode = 0;
    BuildPlayList();
}

void Playback::PlayProgramme() {
    StationState& s = station_.state;
    ConsoleDisplay& d = station_.display;
    if (s.Playing == 1)
        return;
    if (!ProgrammeMayPlay(s)) {
        station_.messages().ShowMessage(WaveAlreadyPlayingText);
        return;
    }
    s.EomSent = false;
    if (d.PlayList.isEmpty())
        return;
    if (nextDevice_)
        usePlayDevice(*nextDevice_);
    s.PlayingSlot = d.PlayList.at(0).number;
    s.PlayingEntryText = d.PlayList.at(0).text;
    const auto rec = s.SatListFile.read(s.PlayingSlot);
    const QString day = s.DayNames[size_t(StationWeekday(station_.clock().today()))];
    s.PlayWavePath = recordingFile(s.WaveDrive, day, s.PlayingSlot, "WAV");
    s.PlayInfoPath = recordingFile(s.WaveDrive, day, s.PlayingSlot, "DAT");
    const QString wave = station_.paths().resolve(s.PlayWavePath);

    const auto dropFirst = [&] {
        d.PlayList.removeAt(0);
        if (d.PlayList.isEmpty()) {
            showEmptyList("  No Schedules to Play");
            d.cmdPlayColor = {0, 128, 0};
        } else {
            d.PlayList.selected = 0;
        }
    };
    if (QFileInfo(wave).size() < 100) {
        QFile::remove(wave);
        dropFirst();
        return;
    }
    d.PlayingVisible = true;
    QString error;
    if (!player_->load(wave, &error)) {
        // A damaged recording would otherwise stay first and be tried again
        // at every press of Play (or every tick the Play contact is closed).
        LogError(station_, "Cannot play " + s.PlayWavePath + ": " + error);
        d.PlayingVisible = false;
        dropFirst();
        return;
    }
    std::tie(s.EomTime, s.EndOfFileTime) =
        readMarks(station_.paths().resolve(s.PlayInfoPath), player_->durationMs() / 1000.0);
    player_->setEndPositionMs(s.EndOfFileTime != 0 ? std::lround(s.EndOfFileTime * 1000) : 0);
    const double toEom = s.EomTime == 0 ? player_->durationMs() / 1000.0 : s.EomTime;
    s.PlayEndAt = toEom + station_.clock().secondsSinceMidnight();
    if (!player_->start(&error)) {
        LogError(station_, "Cannot play " + s.PlayWavePath + ": " + error);
        d.PlayingVisible = false;
        return;
    }
    if (s.PlayButtonVisible == 1)
        d.cmdPlayColor = {128, 255, 128};
    d.cmdStopColor = {192, 192, 192};
    s.Playing = 1;
    playingListed_ = true;
    LogActivity(station_, "Play " + (rec ? rec->parse().SatName : QString()));
    d.PlayList.selected = 0;
}

void Playback::StopPlayer() {
    player_->stop();
}

void Playback::EndOfPlay() {
    StationState& s = station_.state;
    ConsoleDisplay& d = station_.display;
    s.Playing = 0;
    if (!s.EomSent && startEomPulse_)
        startEomPulse_();
    s.EomSent = true;
    d.cmdPlayColor = {0, 128, 0};
    d.cmdStopColor = {255, 255, 255};
    d.PlayingVisible = false;
    d.PlayLevelLeft = d.PlayLevelRight = 0;
    d.lblPlayTime = "     ";
    // The entry that played goes, wherever it stands now. After the nightly
    // rebuild it is not listed at all: the list is tomorrow's, and its first
    // entry (or one that reads the same) is tomorrow's programme.
    const std::vector<SortedList::Item>& items = d.PlayList.items();
    for (size_t i = 0; playingListed_ && i < items.size(); ++i) {
        if (items[i].text == s.PlayingEntryText && items[i].number == int32_t(s.PlayingSlot)) {
            d.PlayList.removeAt(int(i));
            break;
        }
    }
    playingListed_ = false;
    if (d.PlayList.isEmpty())
        showEmptyList("No Schedules to Play");
}

void Playback::DeleteSelected() {
    ConsoleDisplay& d = station_.display;
    if (d.PlayList.selected < 0)
        return;
    d.PlayList.removeAt(d.PlayList.selected);
    if (d.PlayList.isEmpty())
        showEmptyList("  No Schedules to Play");
}
