#pragma once

#include "platform/wave_player.h"
#include "station/station.h"
#include "station/tick_handoffs.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Station;

// The day's playlist and the programme player: the list is built from the
// schedules' play times, Play plays its first entry, and the end of play
// pulses the end-of-message relay and takes the entry off the list.
class Playback : public PlayListControl, public FileUser {
public:
    using PlayerFactory = std::function<std::unique_ptr<WavePlayer>(int device)>;

    // startEomPulse sets relay 0, writes the relays and starts the timer
    // that ends the pulse a second later.
    Playback(Station& station, PlayerFactory makePlayer, std::function<void()> startEomPulse);
    ~Playback() override;

    // The programme player's sound card, from the settings at start-up.
    void usePlayDevice(int device);

    void BuildPlayList() override;
    void PlayProgramme();
    // cmdStop: the player's stopped event does the rest.
    void StopPlayer();
    // The Delete key on the selected entry.
    void DeleteSelected();
    // SetUp, "&Load Play List": all of today's plays, passed ones included.
    void LoadPlayList();

    WavePlayer* player() { return player_.get(); }

    QStringList filesInUse() const override;

private:
    void EndOfPlay();
    void showEmptyList(const QString& text);

    Station& station_;
    PlayerFactory makePlayer_;
    std::function<void()> startEomPulse_;
    std::unique_ptr<WavePlayer> player_;
    // A card chosen while a programme played, for the next start.
    std::optional<int> nextDevice_;
    // Whether the list still holds the entry on air (not after the nightly
    // rebuild, which lists tomorrow).
    bool playingListed_ = false;
};
