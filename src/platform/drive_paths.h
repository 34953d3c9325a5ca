#pragma once

#include "platform/station_config.h"

#include <QString>
#include <QStringList>

// Maps the station's own paths ("c:\satfile\SatList.dat", "H:\programs\x.wav")
// to host paths. Each component is matched against what exists without regard
// to letter case, as the station's file system would; a component that does
// not exist yet keeps the spelling given, so creating it uses that spelling.
class DrivePaths {
public:
    explicit DrivePaths(StationConfig config);

    const StationConfig& config() const { return config_; }

    // Host folder of a drive letter (configured, else under the drives root).
    QString driveFolder(QChar letter) const;

    // Host path of a station path. A path without a drive letter is taken as
    // a host path and returned cleaned but otherwise unchanged.
    QString resolve(const QString& stationPath) const;

    // Letters the operator may choose: the configured ones plus the folders
    // found under the drives root; A and B are floppy letters and never offered.
    QStringList availableDrives() const;

private:
    StationConfig config_;
};

// Resolves one path below an existing host folder, component by component,
// without regard to case.
QString resolveCaseInsensitive(const QString& base, const QStringList& components);
