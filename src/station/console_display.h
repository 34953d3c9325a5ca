#pragma once

#include "station/sorted_list.h"

#include <QString>
#include <array>
#include <cstdint>

// What the console shows of one record channel.
struct RecordChannelDisplay {
    // The next programme and the countdown to it.
    QString lblNextToRecord{};
    QString lblRecTime{};
    // From the cue to the end of the take: the panel with its meters (peak
    // levels, 0..32767), the programme's name and the time recorded.
    bool PanelVisible = false;
    QString lblRecordName{};
    QString lblRecordTimer{};
    int LevelLeft = 0, LevelRight = 0;
    // Export progress, 0..100, shown while the channel's take is copied.
    int Gauge = 0;
    bool GaugeVisible = false;
};

// What the console shows, as plain data. Core code writes it; the main
// window renders it after each event, and tests assert on it.
struct ConsoleDisplay {
    struct Rgb {
        int r = 0, g = 0, b = 0;
        bool operator==(const Rgb&) const = default;
    };

    QString lblClock;
    // What the station lacks to do its work, and where to set it; empty when
    // it is set up.
    QString lblSetUp;
    QString lblNextSwitch = "Next to Switch:  ";
    QString lblSwitchTimer;
    // Channel 1 and channel 2.
    std::array<RecordChannelDisplay, 2> RecChannels{
        {{.lblNextToRecord = "Next to Record Channel 1:  "},
         {.lblNextToRecord = "Next to Record Channel 2:  "}}};
    RecordChannelDisplay& Rec(int channel) { return RecChannels.at(size_t(channel - 1)); }
    const RecordChannelDisplay& Rec(int channel) const {
        return RecChannels.at(size_t(channel - 1));
    }

    // Playlist area: the list and its heading Label1 show together.
    SortedList PlayList;
    bool PlayListVisible = false;
    QString lblPlayDay;
    // While a programme plays: Label2, lblPlayTime and the play meters.
    bool PlayingVisible = false;
    QString lblPlayTime;
    // The buttons are hidden as designed until the settings and a filled
    // playlist show them.
    bool cmdPlayVisible = false;
    bool cmdStopVisible = false;
    Rgb cmdPlayColor{0, 128, 0};
    Rgb cmdStopColor{255, 255, 255};

    // Peak levels of the meters, 0..32767.
    int PlayLevelLeft = 0, PlayLevelRight = 0;

    // Remote-control contacts: PLAY, RECORD, and the Alarm / Time Set notice.
    QString lblPlayRelay, lblRecordRelay, lblPort;
    bool lblPortVisible = false;
};
