#include "fuzz_support.h"
#include "station/recording_files.h"

#include <limits>

// A recording's marks file, against recordings of several lengths: whatever
// it holds, the marks used lie within the recording.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::writeScratch("marks.dat", fuzz::bytes(data, size));
    for (double length : {0.0, 1.0, 30.5, 3600.0, std::numeric_limits<double>::infinity()}) {
        const auto [eom, endOfFile] = readMarks(path, length);
        fuzz::check(eom >= 0 && eom <= length, "the end-of-message mark lies in the recording");
        fuzz::check(endOfFile >= 0 && endOfFile <= length, "the end mark lies in the recording");
    }
    return 0;
}
