#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// One schedule as it is stored: exactly 331 single-byte characters.
//
//   pos len field
//     1   1 InUse           "1" = in use, anything else = free slot
//     2  25 SatName
//    27   5 SatLen          "MM:SS", blanks for a switch-only schedule
//    32   3 SatLang         source code
//    35   1 SatPort         "1".."4"
//    36   1 SatRoute        "1" left, "2" right, "S" stereo, "R" reverse
//    37   2 SatAtt          "0".."14", left-aligned
//    39   1 SatPlayStart    "M"/"T"
//    40   1 SatRecordStart  "M"/"T"
//    41   1 RecChan         "1", "2", or "3" = switch only
//    42 224 PlayTimes       28 x "HH:MM:SS"; entry k is slot k%4 of day k/4 (0 = Sunday)
//   266   7 RecDays         7 x one digit, "0" = Off, "1".."7" = Sunday..Saturday
//   273  56 RecTimes        7 x "HH:MM:SS"
//   329   3 (blanks)
using ScheduleNo = qint64;

// The parsed fields. Texts keep their stored widths (trimmed values are padded
// again with trailing blanks), as the readers of schedules expect.
struct ScheduleFields {
    QString InUse = " ";
    QString SatName;
    QString SatLen;
    QString SatLang;
    QString SatPort;
    QString SatRoute;
    QString SatAtt;
    QString SatPlayStart;
    QString SatRecordStart;
    QString RecChan;
    std::array<QString, 28> PlayTimes;
    std::array<int, 7> RecDays{};
    std::array<QString, 7> RecTimes;

    bool inUse() const { return InUse == "1"; }
};

class ScheduleRecord {
public:
    static constexpr int Length = 331;

    ScheduleRecord(); // 331 blanks
    explicit ScheduleRecord(const QByteArray& bytes);

    const QByteArray& bytes() const { return bytes_; }
    bool inUse() const { return bytes_.at(0) == '1'; }

    ScheduleFields parse() const;

    // The record channel character, without a whole parse.
    QString recChan() const { return QString(QChar::fromLatin1(bytes_.at(40))); }

    // A whole record for saving: 331 blanks, InUse "1", then each field
    // written over its full width (shorter values leave blanks, longer ones
    // are cut).
    static ScheduleRecord build(const ScheduleFields& fields);

    // What a delete writes: "0" and 330 blanks.
    static ScheduleRecord deleted();

private:
    QByteArray bytes_;
};

// Pads with trailing blanks or cuts to width.
QString fixedWidth(const QString& value, int width);

// A schedule as a station usually starts one: receiver port 1, stereo route,
// source AA1, no attenuation, played by hand, recorded on time. Channel "3"
// (switch only) has no length. No play or record times yet.
ScheduleFields StarterSchedule(const QString& name, const QString& chan = "1",
                               const QString& length = "00:30");

// The one reading of a record length "MM:SS", for the recorder and the
// conflict check alike: minutes from the first two characters and seconds
// from the last two, each a number as far as its digits go (blank is 0).
int RecordLengthSeconds(const QString& SatLen);
// Whether that reading takes the whole text: two digits, a colon, two
// digits. The editor refuses any other length.
bool RecordLengthReadable(const QString& SatLen);
