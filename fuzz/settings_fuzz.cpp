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
    Setting last{};
    readStartupSettings(file, s, [&](Setting record) {
        fuzz::check(record > last, "records are read in order");
        last = record;
    });
    waveDriveLetter(int16_t(s.WaveDriveNo));
    file.close();
    return 0;
}
