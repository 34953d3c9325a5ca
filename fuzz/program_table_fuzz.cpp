#include "export/playout_store.h"
#include "fuzz_support.h"

#include <QDate>

// The playout store's Program.dat as a Winjock export reads it: the naming
// kind of a few Winjock numbers, and the names made from it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DrivePaths& paths = fuzz::stationPaths();
    fuzz::writeScratch("drives/H/programs/Program.dat", fuzz::bytes(data, size));
    static const std::array<QString, 8> DayNames = {"Off",       "Sunday",   "Monday", "Tuesday",
                                                    "Wednesday", "Thursday", "Friday", "Saturday"};
    const qint64 records = qint64(size) / 32;
    for (qint64 number : {qint64(-32768), qint64(0), qint64(8000), qint64(8001), qint64(8002),
                          8000 + records, 8001 + records, qint64(32767)}) {
        QString problem;
        const auto kind = ReadNamingKind(paths, 'H', int(number), &problem);
        fuzz::check(kind.has_value() || !problem.isEmpty(), "a refusal says why");
        if (!kind)
            continue;
        for (int weekday = 0; weekday < 7; ++weekday) {
            const auto naming = namingOf(*kind, weekday, QDate(2024, 2, 29), DayNames);
            fuzz::check(naming.has_value(), "a kind read is a kind named");
            fuzz::check(naming->suffix.size() == 3, "the suffix has three characters");
            CompanionDataRecord(30000, true, naming->label);
        }
    }
    return 0;
}
