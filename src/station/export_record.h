#pragma once

#include "station/schedule_record.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class RecordFile;

// The naming modes of an export rule, in the order of the window's options.
enum ExportNaming : int16_t { ExportInactive = 0, ExportUserDefined = 1, ExportWinjock = 2 };

// One schedule's export rule: record n of Exportinfo.dat belongs to schedule n.
//
//   offset size field
//        0    2 ExportMode      0 Inactive, 1 User Defined, 2 Winjock
//        2   14 ExportDays      7 x int16, Sunday first, 1 = export that day's recording
//       16  210 ExportPaths     7 x 30 characters, Sunday first
//      226    2 ExportFade      1 = fade the end
//      228    5 ExportLength    "MM:SS" as typed
//      233    2 WinjockNumber
//
// Integers are 16-bit signed little-endian, texts single-byte and blank padded.
// A record never written is all zero bytes: mode 0, no days, empty texts.
struct ExportRecord {
    static constexpr const char* StationPath = "c:\\satfile\\Exportinfo.dat";
    static constexpr int Length = 235;
    static constexpr int PathLength = 30;
    static constexpr int LengthTextLength = 5;

    int16_t ExportMode = ExportInactive;
    std::array<int16_t, 7> ExportDays{};
    // Without their padding (trailing blanks and zero bytes).
    std::array<QString, 7> ExportPaths;
    int16_t ExportFade = 0;
    QString ExportLength;
    int16_t WinjockNumber = 0;

    // Bytes shorter than a record read as if the rest were zero.
    static ExportRecord parse(const QByteArray& bytes);
    // Texts cut or padded with blanks to their widths.
    QByteArray bytes() const;

    bool exportsOn(int weekday) const { return ExportDays.at(size_t(weekday)) == 1; }
};

// Record n of the open rule file; a record past the end reads as never written.
ExportRecord ReadExportRecord(const RecordFile& file, ScheduleNo n);
bool WriteExportRecord(RecordFile& file, ScheduleNo n, const ExportRecord& record, QString* error);
// Changes only the mode of record n, leaving every other byte as stored.
bool WriteExportMode(RecordFile& file, ScheduleNo n, int16_t mode, QString* error);

// The numeric value at the start of a text, as the rule file stores typed
// numbers: leading blanks skipped, an optional sign, digits and a decimal
// fraction, rounded half to even; 0 when the text does not start with a
// number, and 0 when the value does not fit 16 bits.
int16_t TypedNumber(const QString& text);

// The copy length an export rule sets, in milliseconds: minutes before the
// colon and seconds after it ("30:00", "5:30"). Nothing when the text is
// blank or sets no time above zero: the whole recording then goes out.
std::optional<qint64> ExportLengthMs(const QString& ExportLength);
