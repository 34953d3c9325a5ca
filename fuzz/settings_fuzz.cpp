#include "fuzz_support.h"
#include "station/settings_file.h"
#include "station/station_state.h"

// MyComp.ini as start-up reads it, records past the end included.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingsFile file;
    QString error;
    if (!file.open(fuzz::writeScratch("MyComp.ini", fuzz::bytes(data, size)), &error))
        fuzz::check(false, "the settings file opens");
    StationState s;
    int last = 0;
    readStartupSettings(file, s, [&](int record) {
        fuzz::check(record > last, "records are read in order");
        last = record;
    });
    waveDriveLetter(int16_t(s.WaveDriveNo));
    for (int n : {0, -1, 22, 40000})
        file.read(n);
    file.close();
    return 0;
}
