#pragma once

#include "station/schedule_record.h"

#include <QStringList>

struct StationState;

// After a schedule (A) is saved, the other schedules in use whose windows
// overlap A's. A window runs from an entry's start to the start plus the
// schedule's length, both ends included. The lines come in the order the
// operator reads them: by the other schedule's number, then by slot or row,
// and for each pair first the test of the other's start in A's window, then
// of A's start in the other's.

// Play times: the same day and column of both schedules, whatever their
// channel or port.
QStringList PlayTimeConflicts(const StationState& s, ScheduleNo a);

// Record times: the same row with the same day, when the two share a record
// channel or a receiver port.
QStringList RecordTimeConflicts(const StationState& s, ScheduleNo a);

// Both checks, play findings first.
QStringList ScheduleConflicts(const StationState& s, ScheduleNo a);
