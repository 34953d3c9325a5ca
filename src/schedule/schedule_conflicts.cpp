#include "schedule/schedule_conflicts.h"

#include "station/station_state.h"
#include "station/time_format.h"

namespace {

bool isBlank(const QString& time) {
    return time.trimmed().isEmpty();
}

struct Window {
    int start;
    int length;
    bool holds(int moment) const { return moment >= start && moment <= start + length; }
};

// Calls compare(B, B's number) for every other schedule in use, in number
// order, after reading A; nothing when A cannot be read.
template <typename Compare>
void eachOther(const StationState& s, ScheduleNo a, const Compare& compare) {
    const auto recordA = s.SatListFile.read(a);
    if (!recordA)
        return;
    const ScheduleFields A = recordA->parse();
    for (const ScheduleFile::Entry& e : s.SatListFile.scan())
        if (e.n != a)
            compare(A, e.fields);
}

} // namespace

QStringList PlayTimeConflicts(const StationState& s, ScheduleNo a) {
    QStringList lines;
    eachOther(s, a, [&](const ScheduleFields& A, const ScheduleFields& B) {
        const QString nameA = A.SatName.trimmed(), nameB = B.SatName.trimmed();
        for (size_t k = 0; k < A.PlayTimes.size(); ++k) {
            const QString &timeA = A.PlayTimes[k], &timeB = B.PlayTimes[k];
            if (isBlank(timeA) || isBlank(timeB))
                continue;
            const Window windowA{TimeTextSeconds(timeA), RecordLengthSeconds(A.SatLen)};
            const Window windowB{TimeTextSeconds(timeB), RecordLengthSeconds(B.SatLen)};
            const QString day = s.DayNames[k / 4 + 1];
            if (windowA.holds(windowB.start))
                lines << "Play " + nameB + " conflicts with " + nameA + " on " + day + " @ " +
                             timeB;
            if (windowB.holds(windowA.start))
                lines << "Play " + nameA + " conflicts with " + nameB + " on " + day + " @ " +
                             timeA;
        }
    });
    return lines;
}

QStringList RecordTimeConflicts(const StationState& s, ScheduleNo a) {
    QStringList lines;
    eachOther(s, a, [&](const ScheduleFields& A, const ScheduleFields& B) {
        if (A.RecChan != B.RecChan && A.SatPort != B.SatPort)
            return;
        const QString nameA = A.SatName.trimmed(), nameB = B.SatName.trimmed();
        for (size_t r = 0; r < A.RecDays.size(); ++r) {
            if (A.RecDays[r] == 0 || A.RecDays[r] != B.RecDays[r])
                continue;
            const Window windowA{TimeTextSeconds(A.RecTimes[r]), RecordLengthSeconds(A.SatLen)};
            const Window windowB{TimeTextSeconds(B.RecTimes[r]), RecordLengthSeconds(B.SatLen)};
            const QString day = s.DayNames[r + 1];
            if (windowA.holds(windowB.start))
                lines << "Record " + nameA + " conflicts with " + nameB + " on " + day;
            if (windowB.holds(windowA.start))
                lines << "Record " + nameB + " conflicts with " + nameA + " on " + day;
        }
    });
    return lines;
}

QStringList ScheduleConflicts(const StationState& s, ScheduleNo a) {
    return PlayTimeConflicts(s, a) + RecordTimeConflicts(s, a);
}
