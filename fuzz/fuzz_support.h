#pragma once

#include "platform/drive_paths.h"
#include "platform/station_config.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every target needs: the input as bytes, a folder for the files the
// parsers insist on reading, and a station whose drives live in that folder.
namespace fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One folder for the whole run: a fresh one per input would cost more than
// most parses.
inline const QString& scratchDir() {
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

inline QString writeScratch(const QString& name, const QByteArray& content) {
    const QString path = scratchDir() + "/" + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

// Drives C and H under the scratch folder, as a station's configuration
// would map them.
inline const DrivePaths& stationPaths() {
    static const DrivePaths paths = [] {
        StationConfig c;
        c.drivesRoot = scratchDir() + "/drives";
        c.drives.insert('C', scratchDir() + "/drives/C");
        c.drives.insert('H', scratchDir() + "/drives/H");
        QDir().mkpath(c.drives['C']);
        QDir().mkpath(c.drives['H']);
        return DrivePaths(c);
    }();
    return paths;
}

// Timers and queued events need an application object, even if its loop
// never runs.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A broken promise of the code under test: stop as a crash would, so the
// fuzzer keeps the input.
inline void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

} // namespace fuzz
