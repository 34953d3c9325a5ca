#pragma once

#include <QString>
#include <QStringList>

// The About window's "System Info" button opens whichever system-information
// viewer the host has installed; there is none of our own.

// Viewer programs in order of preference.
QStringList systemInfoViewers();

// The directories of $PATH, in order; empty entries are dropped rather than
// taken as the current directory.
QStringList systemSearchPath();

// Full path of the first preferred viewer found as an executable file in one
// of the directories, or empty when there is none.
QString findSystemInfoViewer(const QStringList& searchPath);

// Starts the viewer without waiting for it or tying its life to ours.
bool startSystemInfoViewer(const QString& program);
