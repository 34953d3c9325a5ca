#pragma once

#include "platform/record_file.h"

#include <QString>
#include <cstdint>
#include <functional>

struct StationState;

// The records of MyComp.ini, named after the StationState fields they fill.
// Records 18 to 20 are unused gaps that every write leaves as it found them.
enum class Setting : int {
    PlayDevice = 1,
    AuditionDevice = 2,
    RecDevice1 = 3,
    RecDevice2 = 4,
    RecordThreshold = 5,
    WaveKeepDays = 6,
    ActivityLogKeep = 7,
    EbNoLogKeep = 8,
    EbNoLogInterval = 9,
    ActivityLogOn = 10,
    RelayCardType = 11,
    WaveDriveNo = 12,
    CommPortNo = 13,
    BaudIndex = 14,
    PlayButtonVisible = 15,
    StopButtonVisible = 16,
    ResetExpansionRelays = 17,
    TimeChangeAdjust = 21,
};

// Calls f(record, field) for every record in record order, field being the
// StationState member the record fills. The one place a record meets its
// field: start-up, the settings window and the backup all walk it.
template <class State, class F> void forEachSetting(State& s, F&& f) {
    f(Setting::PlayDevice, s.PlayDevice);
    f(Setting::AuditionDevice, s.AuditionDevice);
    f(Setting::RecDevice1, s.RecDevice1);
    f(Setting::RecDevice2, s.RecDevice2);
    f(Setting::RecordThreshold, s.RecordThreshold);
    f(Setting::WaveKeepDays, s.WaveKeepDays);
    f(Setting::ActivityLogKeep, s.ActivityLogKeep);
    f(Setting::EbNoLogKeep, s.EbNoLogKeep);
    f(Setting::EbNoLogInterval, s.EbNoLogInterval);
    f(Setting::ActivityLogOn, s.ActivityLogOn);
    f(Setting::RelayCardType, s.RelayCardType);
    f(Setting::WaveDriveNo, s.WaveDriveNo);
    f(Setting::CommPortNo, s.CommPortNo);
    f(Setting::BaudIndex, s.BaudIndex);
    f(Setting::PlayButtonVisible, s.PlayButtonVisible);
    f(Setting::StopButtonVisible, s.StopButtonVisible);
    f(Setting::ResetExpansionRelays, s.ResetExpansionRelays);
    f(Setting::TimeChangeAdjust, s.TimeChangeAdjust);
}

// MyComp.ini: despite the name, fixed 2-byte records, one 16-bit signed
// little-endian setting each. Opened, used and closed by each operation.
class SettingsFile {
public:
    static constexpr const char* StationPath = "c:\\satfile\\MyComp.ini";
    static constexpr int RecordLength = 2;

    bool open(const QString& hostPath, QString* error);
    void close() { file_.close(); }

    // 0 when the file holds no complete record for the setting.
    int16_t read(Setting n) const;
    bool write(Setting n, int16_t value, QString* error = nullptr);

private:
    RecordFile file_;
};

// The start-up read: every record into its field. afterRecord is called after
// each record is stored, so the audio devices can be handed their numbers as
// soon as their own records are in.
void readStartupSettings(const SettingsFile& file, StationState& state,
                         const std::function<void(Setting record)>& afterRecord = {});

// The drive letter of the wave store: the character of code 64 + WaveDriveNo.
QString waveDriveLetter(int16_t waveDriveNo);
