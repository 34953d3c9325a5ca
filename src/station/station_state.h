#pragma once

#include "platform/record_file.h"
#include "station/schedule_file.h"

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>

// One record channel's state. The station holds two, and every part finds a
// channel's by its number (Rec(1), Rec(2)).
struct RecordChannelState {
    // The next programme to record, as the finder chose it: its time, day,
    // schedule, row (its day in the schedule) and name.
    QString NextRecTime;
    int32_t NextRecDay = 0;
    ScheduleNo NextRecSlot = 0;
    int32_t NextRecEntry = 0;
    QString NextRecName;

    int32_t RecActive = 0;
    int32_t RecPending = 0; // 0 idle, 1 armed, 2 recording
    // Seconds after midnight with their fractions: rounded to whole seconds
    // they would cut a take short by up to half a second.
    double RecStopAt = 0;
    double RecPendingAt = 0;
    double RecStartTimer = 0;
};

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
    QString NextSwitchTime;
    int32_t NextSwitchDay = 0;
    ScheduleNo NextSwitchSlot = 0;
    QString NextSwitchName;

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

    // Recording: channel 1 and channel 2.
    std::array<RecordChannelState, 2> RecChannels;
    RecordChannelState& Rec(int channel) { return RecChannels.at(size_t(channel - 1)); }
    const RecordChannelState& Rec(int channel) const { return RecChannels.at(size_t(channel - 1)); }
    QString CueRecordStart;

    // Relay outputs: 0..7 the output byte's bits, 8..11 the second card port.
    std::array<int32_t, 13> RelayStates{};

    // State that outlives a call.
    QString ReceiverCommand;
};
