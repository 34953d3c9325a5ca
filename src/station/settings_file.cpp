#include "station/settings_file.h"

#include "station/station_state.h"

bool SettingsFile::open(const QString& hostPath, QString* error) {
    return file_.open(hostPath, RecordLength, error);
}

int16_t SettingsFile::read(Setting n) const {
    const auto bytes = file_.read(int(n));
    if (!bytes)
        return 0;
    const auto lo = uint8_t(bytes->at(0));
    const auto hi = uint8_t(bytes->at(1));
    return int16_t(uint16_t(lo | (hi << 8)));
}

bool SettingsFile::write(Setting n, int16_t value, QString* error) {
    const auto u = uint16_t(value);
    QByteArray bytes;
    bytes.append(char(u & 0xFF));
    bytes.append(char(u >> 8));
    return file_.write(int(n), bytes, error);
}

void readStartupSettings(const SettingsFile& file, StationState& s,
                         const std::function<void(Setting record)>& afterRecord) {
    // int16_t -> int32_t assignment sign-extends, as the wider fields need.
    forEachSetting(s, [&](Setting record, auto& field) {
        field = file.read(record);
        if (afterRecord)
            afterRecord(record);
    });
}

QString waveDriveLetter(int16_t waveDriveNo) {
    return QString(QChar(char16_t(64 + waveDriveNo)));
}
