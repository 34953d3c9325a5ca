#pragma once

#include "station/sorted_list.h"

#include <QString>
#include <cstdint>

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
    QString lblNextToRecord = "Next to Record Channel 1:  ";
    QString lblRecTime;
    QString lblNextRecordTwo = "Next to Record Channel 2:  ";
    QString lblRecTimeTwo;
    QString lblNextSwitch = "Next to Switch:  ";
    QString lblSwitchTimer;
    QString lblRecordNameOne;
    QString lblRecordTimerOne;
    QString lblRecordNameTwo;
    QString lblRecordTimerTwo;

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

    // A record channel's meters and heading show from its cue to its end.
    bool Rec1PanelVisible = false;
    bool Rec2PanelVisible = false;

    // Peak levels of the meters, 0..32767.
    int PlayLevelLeft = 0, PlayLevelRight = 0;
    int Rec1LevelLeft = 0, Rec1LevelRight = 0;
    int Rec2LevelLeft = 0, Rec2LevelRight = 0;

    // Remote-control contacts: PLAY, RECORD, and the Alarm / Time Set notice.
    QString lblPlayRelay, lblRecordRelay, lblPort;
    bool lblPortVisible = false;

    // Export progress, 0..100; each gauge shows while its channel copies.
    int Gauge = 0, Gauge2 = 0;
    bool GaugeVisible = false, Gauge2Visible = false;
};
