#include "station/settings_file.h"

#include "station/station_state.h"

bool SettingsFile::open(const QString& hostPath, QString* error) {
    return file_.open(hostPath, RecordLength, error);
}

int16_t SettingsFile::read(int n) const {
    const auto bytes = file_.read(n);
    if (!bytes)
        return 0;
    const auto lo = uint8_t(bytes->at(0));
    const auto hi = uint8_t(bytes->at(1));
    return int16_t(uint16_t(lo | (hi << 8)));
}

bool SettingsFile::write(int n, int16_t value, QString* error) {
    const auto u = uint16_t(value);
    QByteArray bytes;
    bytes.append(char(u & 0xFF));
    bytes.append(char(u >> 8));
    return file_.write(n, bytes, error);
}

void readStartupSettings(const SettingsFile& file, StationState& s,
                         const std::function<void(int record)>& afterRecord) {
    // int16_t -> int32_t assignment sign-extends, as the wider fields need.
    const auto store = [&](int record, auto& field) {
        field = file.read(record);
        if (afterRecord)
            afterRecord(record);
    };
    store(1, s.PlayDevice);
    store(2, s.AuditionDevice);
    store(3, s.RecDevice1);
    store(4, s.RecDevice2);
    store(5, s.RecordThreshold);
    store(6, s.WaveKeepDays);
    store(7, s.ActivityLogKeep);
    store(8, s.EbNoLogKeep);
    store(9, s.EbNoLogInterval);
    store(10, s.ActivityLogOn);
    store(11, s.RelayCardType);
    store(12, s.WaveDriveNo);
    store(13, s.CommPortNo);
    store(14, s.BaudIndex);
    store(15, s.PlayButtonVisible);
    store(16, s.StopButtonVisible);
    store(17, s.ResetExpansionRelays);
    store(21, s.TimeChangeAdjust);
}

QString waveDriveLetter(int16_t waveDriveNo) {
    return QString(QChar(char16_t(64 + waveDriveNo)));
}
