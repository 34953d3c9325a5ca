#include "fuzz_support.h"
#include "platform/record_file.h"
#include "station/export_record.h"

// Exportinfo.dat: one rule alone, and the file with its records read by
// schedule number as the hand-off reads them.
namespace {

void use(const ExportRecord& r) {
    // What was read must be written back the same way, or an edit of one
    // field would change others.
    fuzz::check(ExportRecord::parse(r.bytes()).bytes() == r.bytes(), "a rule survives a save");
    ExportLengthMs(r.ExportLength);
    TypedNumber(r.ExportLength);
    for (int day = 0; day < 7; ++day)
        r.exportsOn(day);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    use(ExportRecord::parse(input));

    RecordFile file;
    QString error;
    if (!file.open(fuzz::writeScratch("Exportinfo.dat", input), ExportRecord::Length, &error))
        fuzz::check(false, "the rule file opens");
    for (ScheduleNo n = 0; n <= file.recordCount() + 1 && n < 8; ++n)
        use(ReadExportRecord(file, n));
    file.close();
    return 0;
}
