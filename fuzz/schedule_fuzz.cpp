#include "fuzz_support.h"
#include "schedule/schedule_conflicts.h"
#include "station/schedule_file.h"
#include "station/schedule_record.h"
#include "station/station_state.h"
#include "station/time_format.h"

// The schedule file as the finders and the editor read it: every record the
// scan finds in use, a few direct reads, and the conflict check, which
// reads the times of every schedule against one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const ScheduleFields first = ScheduleRecord(input).parse();
    RecordLengthSeconds(first.SatLen);
    RecordLengthReadable(first.SatLen);

    StationState s;
    QString error;
    if (!s.SatListFile.open(fuzz::writeScratch("SatList.dat", input), &error))
        fuzz::check(false, "the schedule file opens");
    const auto entries = s.SatListFile.scan();
    int checked = 0;
    for (const ScheduleFile::Entry& e : entries) {
        for (const QString& t : e.fields.PlayTimes)
            TimeTextSeconds(t);
        for (const QString& t : e.fields.RecTimes)
            TimeTextSeconds(t);
        if (checked++ < 3)
            ScheduleConflicts(s, e.n);
    }
    for (ScheduleNo n : {ScheduleNo(0), ScheduleNo(1), ScheduleNo(2), ScheduleNo(-1)})
        if (const auto rec = s.SatListFile.read(n))
            rec->parse();
    fuzz::check(s.SatListFile.freeSlot() >= 1, "a free slot is a record number");
    s.SatListFile.close();
    return 0;
}
