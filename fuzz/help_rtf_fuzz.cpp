#include "fuzz_support.h"
#include "windows/rtf_reader.h"

// The help text: damaged RTF yields what could be read, never a crash.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const auto doc = readRtf(input);
    if (doc) {
        doc->plainText();
        for (const RtfParagraph& p : doc->paragraphs)
            for (const RtfRun& r : p.runs)
                fuzz::check(r.pointSize >= 0, "a font size is a size");
    }
    const auto fromFile = readRtfFile(fuzz::writeScratch("sathelp.rtf", input));
    fuzz::check(fromFile.has_value() == doc.has_value(), "the file reads as its bytes");
    return 0;
}
