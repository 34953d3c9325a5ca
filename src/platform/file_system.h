#pragma once

#include "platform/drive_paths.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

// The file operations the station needs, on station paths.
namespace files {

bool folderExists(const DrivePaths& paths, const QString& stationPath);
// Creates the folder and any missing parents; false with the reason in error.
bool createFolder(const DrivePaths& paths, const QString& stationPath, QString* error);
bool fileExists(const DrivePaths& paths, const QString& stationPath);

// Names of the files in the folder of a pattern such as "c:\satfile\logs\AL*.*",
// matched without regard to case, sorted by name (case-insensitively).
QStringList listFiles(const DrivePaths& paths, const QString& stationPattern);

// Deletes the files a pattern matches; returns how many went. Files that
// could not be deleted are named in failures. A file for which keep says
// true stays.
int deleteFiles(const DrivePaths& paths, const QString& stationPattern,
                QStringList* failures = nullptr,
                const std::function<bool(const QString& hostPath)>& keep = {});

// Sets a host file's modification time: the station's files carry the time
// of the station's clock, which a run ahead of time keeps apart from the
// host's. False when the file cannot be opened.
bool setModified(const QString& hostPath, const QDateTime& at);

// Windows wildcard match: '*' any run, '?' one character, and a pattern ending
// in ".*" also matches names without an extension. Case is ignored.
bool wildcardMatch(const QString& name, const QString& pattern);

} // namespace files
