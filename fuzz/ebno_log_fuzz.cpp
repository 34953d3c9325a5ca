#include "fuzz_support.h"
#include "logs/log_viewer.h"
#include "receiver/eb_no.h"

#include <cmath>

// A day's Eb/No log as the chart reads it: whatever the lines hold, each
// reading has a time of day and a finite figure, and no more readings come
// out than lines went in.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList lines = QString::fromLatin1(fuzz::bytes(data, size)).split('\n');
    const QList<EbNoReading> readings = ebNoReadings(lines);
    fuzz::check(readings.size() <= lines.size(), "at most one reading a line");
    for (const EbNoReading& r : readings)
        fuzz::check(r.time.isValid() && std::isfinite(r.dB), "a reading is a time and a figure");
    for (const QString& line : lines)
        if (const auto value = EbNoValue(line))
            fuzz::check(std::isfinite(*value), "a logged value is a finite figure");
    return 0;
}
