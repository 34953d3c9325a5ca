#include "schedule/time_change.h"

#include "platform/clock.h"
#include "schedule/schedule_editor.h"
#include "station/log_files.h"
#include "station/messages.h"
#include "station/station.h"
#include "station/time_format.h"

namespace {

constexpr int RecDaysIndex = 265, RecTimesIndex = 272, TimeLength = 8;

} // namespace

ScheduleRecord ShiftRecordTimes(const ScheduleRecord& record, int shiftHours) {
    QByteArray bytes = record.bytes();
    const ScheduleFields f = record.parse();
    for (int r = 0; r < 7; ++r) {
        QByteArray day = " ", hour = "  ";
        const QString h = f.RecTimes[size_t(r)].left(2).trimmed();
        if (!h.isEmpty()) {
            // "8:" is hour 8, as every reader of times takes it.
            const int H = StoredNumber(h) + shiftHours;
            int d = f.RecDays[size_t(r)];
            // Off rows stay Off, and a stray 8 or 9 names no day to move from.
            const bool weekday = d >= 1 && d <= 7;
            if (H < 0) {
                hour = "23";
                if (weekday)
                    d = d == 1 ? 7 : d - 1;
            } else if (H > 23 && shiftHours > 0) {
                hour = "00";
                if (weekday)
                    d = d == 7 ? 1 : d + 1;
            } else {
                hour = QByteArray::number(H).rightJustified(2, '0');
            }
            day = QByteArray::number(d);
        }
        bytes[RecDaysIndex + r] = day[0];
        bytes.replace(RecTimesIndex + TimeLength * r, 2, hour);
    }
    return ScheduleRecord(bytes);
}

void ScheduleTimeChange::AdjustForTimeChange() {
    StationState& s = station_.state;
    // The switch may have been turned off since the tick armed the timer.
    if (s.TimeChangeAdjust != 1)
        return;
    const QDate today = station_.clock().today();
    // Once tried, a date is done: trying again would move the schedules that
    // did move a second time.
    if (today == s.SpringChangeDate && springDone_ != today) {
        springDone_ = today;
        adjustAll(-1, "DST");
    }
    if (today == s.FallChangeDate && fallDone_ != today) {
        fallDone_ = today;
        adjustAll(+1, "Standard Time");
    }
}

// Moved back an hour, a programme due within the hour after the adjustment
// lands on a time the clock has already passed: it will not happen today,
// and nobody is awake to notice unless the error log says so.
void ScheduleTimeChange::reportLostToday(const ScheduleFields& before, const ScheduleFields& after,
                                         const QString& what) {
    const QDateTime now = station_.clock().now();
    const int today = StationWeekday(now.date());
    const int nowSecs = now.time().msecsSinceStartOfDay() / 1000;
    for (size_t r = 0; r < 7; ++r) {
        if (before.RecDays[r] != today || TimeTextSeconds(before.RecTimes[r]) < nowSecs)
            continue;
        if (after.RecDays[r] != today || TimeTextSeconds(after.RecTimes[r]) >= nowSecs)
            continue;
        LogError(station_,
                 QString("%1 due at %2 moved to %3 for %4, a time already past: it is "
                         "lost today")
                     .arg(before.SatName.trimmed(), before.RecTimes[r], after.RecTimes[r], what));
    }
}

void ScheduleTimeChange::adjustAll(int shiftHours, const QString& what) {
    StationState& s = station_.state;
    ScheduleFile& file = s.SatListFile;
    QStringList failures;
    ScheduleNo n = 0;
    for (const QByteArray& bytes : file.records()) {
        ++n;
        const ScheduleRecord record(bytes);
        if (!record.inUse())
            continue;
        QString reason;
        const ScheduleRecord moved = ShiftRecordTimes(record, shiftHours);
        if (!file.write(n, moved, &reason)) {
            failures << QString("Schedule %1 not updated for %2: %3").arg(n).arg(what, reason);
            continue;
        }
        reportLostToday(record.parse(), moved.parse(), what);
    }
    if (failures.isEmpty()) {
        LogActivity(station_, "Updated Schedules for " + what);
        return;
    }
    // Nobody watches at two in the morning: the error log keeps the failure
    // and the error window shows it when someone comes.
    for (const QString& line : failures)
        LogError(station_, line);
    station_.messages().ShowMessage(failures.join("\n"));
}
