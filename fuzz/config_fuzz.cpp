#include "fuzz_support.h"
#include "platform/station_config.h"

// The host configuration file, and the drive mapping built from it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const StationConfig c =
        StationConfig::fromFile(fuzz::writeScratch("varnola.conf", fuzz::bytes(data, size)));
    for (auto it = c.drives.cbegin(); it != c.drives.cend(); ++it)
        fuzz::check(it.key().isUpper() && !it.value().isEmpty(),
                    "a drive is a letter and a folder");
    const DrivePaths paths(c);
    for (QChar letter : {QChar('C'), QChar('H'), QChar('Z')})
        paths.driveFolder(letter);
    return 0;
}
