#pragma once

#include "fakes/temp_station.h"
#include "station/schedule_file.h"
#include "support/test.h"

#include <utility>
#include <vector>

// The week most tests run in starts on Monday 2 March 2026, day 61 of the
// year; Monday's play slots are entries 4..7.
inline const QDate Monday(2026, 3, 2);

// A schedule's fields with every setting filled: channel "1", "2" or "3"
// (switch only, no length), port 1, stereo, AA1; no play or record times.
inline ScheduleFields scheduleFields(const QString& name, const QString& chan = "1",
                                     const QString& length = "00:30") {
    return StarterSchedule(name, chan, length);
}

// The station's schedule file opened before start-up, its folder made.
inline void openSchedules(ScheduleFile& file, const TempStation& t) {
    QDir().mkpath(t.host("c:\\satfile"));
    ASSERT_TRUE(file.open(t.host(ScheduleFile::StationPath), nullptr));
}

inline void put(ScheduleFile& file, ScheduleNo n, const ScheduleFields& f) {
    ASSERT_TRUE(file.write(n, ScheduleRecord::build(f)));
}

// Writes a schedule in use at slot n with record rows as (weekday 1..7,
// "HH:MM:SS").
inline void putSchedule(ScheduleFile& file, ScheduleNo n, const QString& name, const QString& chan,
                        const std::vector<std::pair<int, QString>>& rows,
                        const QString& length = "00:30") {
    ScheduleFields f = scheduleFields(name, chan, length);
    for (size_t r = 0; r < rows.size() && r < 7; ++r) {
        f.RecDays[r] = rows[r].first;
        f.RecTimes[r] = rows[r].second;
    }
    put(file, n, f);
}

// A schedule recorded on one weekday (1..7), in that weekday's own row, as the
// editor writes it: its recordings are named after that day.
inline void putOnDay(ScheduleFile& file, ScheduleNo n, const QString& name, const QString& chan,
                     int day, const QString& time, const QString& length = "00:30") {
    ScheduleFields f = scheduleFields(name, chan, length);
    f.RecDays[size_t(day - 1)] = day;
    f.RecTimes[size_t(day - 1)] = time;
    put(file, n, f);
}
