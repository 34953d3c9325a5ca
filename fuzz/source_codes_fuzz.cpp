#include "fuzz_support.h"
#include "station/source_codes.h"

// Source.dat: the text alone, the file as the windows read it, and the
// sorted list the operator keeps.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const QStringList codes = parseSourceCodes(input);
    for (const QString& code : codes) {
        fuzz::check(!code.isEmpty(), "an empty field is no code");
        fuzz::check(!code.contains(',') && !code.contains('\n') && !code.contains('\r'),
                    "a code ends at a separator");
        fuzz::check(code == code.trimmed(), "blanks around a code are dropped");
        typedSourceCode(code);
    }
    const DrivePaths& paths = fuzz::stationPaths();
    fuzz::writeScratch("drives/C/satfile/Source.dat", input);
    fuzz::check(readSourceCodes(paths) == codes, "the file reads as its text");
    QString error;
    fuzz::check(writeSourceCodes(paths, codes, &error), "the codes are saved");
    fuzz::check(readSourceCodes(paths) == codes, "the saved codes read back as they were");
    SourceCodeList list(paths);
    list.load();
    fuzz::check(list.codes().count() == codes.size(), "the list holds every code");
    return 0;
}
