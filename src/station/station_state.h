#pragma once

#include "platform/record_file.h"
#include "station/schedule_file.h"

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>

// The one state shared by every part of the station, touched only on the UI
// thread. Widths follow the stored formats: 16-bit settings records keep their
// 16-bit fields, and the wider fields take the records sign-extended.
struct StationState {
    // Open for the whole run.
    ScheduleFile SatListFile;
    RecordFile ExportFile;

    // Settings (MyComp.ini).
    int16_t PlayDevice = 0;
    int16_t AuditionDevice = 0;
    int16_t RecDevice1 = 0;
    int16_t RecDevice2 = 0;
    int16_t RecordThreshold = 0;
    int16_t WaveKeepDays = 0;
    int16_t ActivityLogKeep = 0;
    int16_t EbNoLogKeep = 0;
    int32_t EbNoLogInterval = 0;
    int32_t ActivityLogOn = 0;
    int32_t RelayCardType = 0;
    int16_t WaveDriveNo = 0;
    int32_t CommPortNo = 0;
    int32_t BaudIndex = 0;
    int16_t PlayButtonVisible = 0;
    int16_t StopButtonVisible = 0;
    int16_t ResetExpansionRelays = 0;
    int16_t TimeChangeAdjust = 0;

    // Derived and fixed tables.
    QString WaveDrive;
    std::array<QString, 3> BaudRates; // 1..2
    std::array<QString, 8> DayNames;  // 0 = "Off", 1 = Sunday .. 7 = Saturday
    QDate SpringChangeDate;
    QDate FallChangeDate;

    // Next events.
    QString NextRec1Time, NextRec2Time, NextSwitchTime;
    int32_t NextRec1Day = 0, NextRec2Day = 0, NextSwitchDay = 0;
    ScheduleNo NextRec1Slot = 0, NextRec2Slot = 0, NextSwitchSlot = 0;
    int32_t NextRec1Entry = 0, NextRec2Entry = 0;
    QString NextRec1Name, NextRec2Name, NextSwitchName;

    // Playback and the tick.
    int32_t Playing = 0;
    double PlayEndAt = 0;
    bool EomSent = false;
    int32_t PlayListMode = 0;
    int32_t MidnightListLatch = 0;
    int32_t EbNoPollLatch = 0;
    int32_t LogPurgeLatch = 0;
    int32_t AuditionPlaying = 0;
    ScheduleNo PlayingSlot = 0;
    QString PlayingEntryText;
    QString PlayWavePath, PlayInfoPath;
    double EomTime = 0, EndOfFileTime = 0;

    // Recording.
    int32_t Rec1Active = 0, Rec2Active = 0;
    int32_t Rec1Pending = 0, Rec2Pending = 0; // 0 idle, 1 armed, 2 recording
    // Seconds after midnight with their fractions: rounded to whole seconds
    // they would cut a take short by up to half a second.
    double Rec1StopAt = 0, Rec2StopAt = 0;
    double Rec1PendingAt = 0, Rec2PendingAt = 0;
    double Rec1StartTimer = 0, Rec2StartTimer = 0;
    QString CueRecordStart;

    // Relay outputs: 0..7 the output byte's bits, 8..11 the second card port.
    std::array<int32_t, 13> RelayStates{};

    // State that outlives a call.
    QString ReceiverCommand;
    QString ReceiverQuery;
    QString LogKind;
};
