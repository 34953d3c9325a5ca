#pragma once

#include "platform/record_file.h"

#include <QString>
#include <cstdint>
#include <functional>

struct StationState;

// MyComp.ini: despite the name, fixed 2-byte records, one 16-bit signed
// little-endian setting each. Opened, used and closed by each operation.
class SettingsFile {
public:
    static constexpr const char* StationPath = "c:\\satfile\\MyComp.ini";
    static constexpr int RecordLength = 2;

    bool open(const QString& hostPath, QString* error);
    void close() { file_.close(); }

    // Record n; 0 when the file holds no complete record n.
    int16_t read(int n) const;
    bool write(int n, int16_t value, QString* error = nullptr);

private:
    RecordFile file_;
};

// The start-up read: records 1..17 then 21 into their fields. afterRecord is
// called after each record is stored, so the audio devices can be handed
// their numbers right after records 1, 3 and 4.
void readStartupSettings(const SettingsFile& file, StationState& state,
                         const std::function<void(int record)>& afterRecord = {});

// The drive letter of the wave store: the character of code 64 + WaveDriveNo.
QString waveDriveLetter(int16_t waveDriveNo);
