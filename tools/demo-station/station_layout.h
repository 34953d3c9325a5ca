#pragma once

// A station laid out in a folder for the console to run on without
// hardware: drives C, H and P, the receiver simulator as COM1, a port file
// for the contacts and relays, simulated audio, settings and source codes.
// The demonstration and the soak each add their own schedules and audio.
#include "platform/drive_paths.h"
#include "platform/record_file.h"
#include "station/schedule_file.h"
#include "station/schedule_record.h"

#include <QDateTime>
#include <QDir>
#include <array>

// Says what went wrong, under the program's name, and exits 1: a half laid
// out station is of no use to anyone.
[[noreturn]] void layoutFail(const QString& what);
void writeLayoutFile(const QString& path, const QByteArray& bytes);

class StationLayout {
public:
    // Audio paths left empty stay out of the configuration (silence, or no
    // output).
    StationLayout(const QDir& folder, const QString& com1, const std::array<QString, 2>& inputs,
                  const std::array<QString, 2>& outputs);

    const StationConfig& config() const { return config_; }
    const DrivePaths& paths() const { return paths_; }

    // The configuration file, the port file with every contact open, empty
    // output files, the settings (Eb/No every minute) and the source codes.
    void writeStation() const;

    // Both playout stores' programme tables: entry k (Winjock number 8000 +
    // k + 1) holds names[k], each named by weekday.
    void writeProgrammeTables(const QStringList& names, const QString& length) const;

    // Schedule n, and its export rule handing each take to drives H and P
    // as Winjock number winjockNumber.
    void addSchedule(ScheduleNo n, const ScheduleFields& fields, int winjockNumber);

private:
    StationConfig config_;
    DrivePaths paths_;
    ScheduleFile schedules_;
    RecordFile exportRules_;
};

// A schedule recorded on time at recordAt on its channel, on that weekday
// only, and listed for play at playAt when that is valid and the same day.
ScheduleFields ScheduleOnce(const QString& name, const QString& channel, const QString& length,
                            const QDateTime& recordAt, const QDateTime& playAt);
