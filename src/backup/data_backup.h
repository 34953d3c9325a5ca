#pragma once

#include <QString>
#include <functional>

class AudioDeviceChoice;
class DrivePaths;
class Station;

// Copies of the four data files in a folder the operator picks. The folder is
// held as a path ending in exactly one "\": a station path ("D:\backup\") or,
// off the mapped drives, a host path ("/media/usb\").

// The folder path with one "\" at its end.
QString backupFolderPath(const QString& folder);

// The station path of a host folder picked in a folder chooser: on a mapped
// drive its drive path, elsewhere the host path itself; with one "\" at the end.
QString backupFolderOfHost(const DrivePaths& paths, const QString& hostFolder);

// Host path of a file in a backup folder, its name matched without regard to case.
QString backupFileHost(const DrivePaths& paths, const QString& folder, const QString& name);

// Saves all four files into the folder. Each backup file is replaced as a
// whole, so it is an exact copy of the station's file. progress is called
// after each file. A missing Source.dat shows its warning and the save goes
// on. A failure shows "number description" in the error window and stops;
// false then.
bool SaveDataFiles(Station& station, const QString& folder,
                   const std::function<void()>& progress = {});

// Loads from the folder into the station. Each leaves the station's file as
// it was when the backup cannot be read; failures as for the save.
bool LoadSchedules(Station& station, const QString& folder);
bool LoadExportRules(Station& station, const QString& folder);
bool LoadSourceCodes(Station& station, const QString& folder);
// The settings up to the port and baud rate into memory and into the settings
// file; the later records of the station's file stay. The devices go to the audio components at
// once, as start-up hands them over (devices may be null).
bool LoadSetup(Station& station, const QString& folder, AudioDeviceChoice* devices);

extern const char* const SourceWarning;
