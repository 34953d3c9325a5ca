#pragma once

#include "station/schedule_record.h"
#include "station/tick_handoffs.h"

#include <QDate>

class Station;

// The record row times of one schedule moved by an hour: -1 at the change to
// daylight-saving time, +1 at the change back. Only each row's hour and day
// digit change; a row that crosses midnight moves to the day before or
// after. A row without a time comes back Off.
ScheduleRecord ShiftRecordTimes(const ScheduleRecord& record, int shiftHours);

// For stations whose clock does not observe daylight-saving time: on the two
// change dates, just before 02:00, every schedule's record times move by an
// hour so programmes are still caught when the network's clock has moved.
// The console's tmrTimeChange calls it.
class ScheduleTimeChange : public TimeChangeControl {
public:
    explicit ScheduleTimeChange(Station& station) : station_(station) {}

    void AdjustForTimeChange() override;

private:
    void adjustAll(int shiftHours, const QString& what);
    void reportLostToday(const ScheduleFields& before, const ScheduleFields& after,
                         const QString& what);

    Station& station_;
    // The dates already adjusted in this run: a clock set back over the
    // arming seconds must not move the schedules twice.
    QDate springDone_, fallDone_;
};
