#include "station/schedule_record.h"

namespace {

struct Field {
    int pos; // 1-based
    int len;
};

constexpr Field InUseF{1, 1}, NameF{2, 25}, LenF{27, 5}, LangF{32, 3}, PortF{35, 1}, RouteF{36, 1},
    AttF{37, 2}, PlayStartF{39, 1}, RecordStartF{40, 1}, ChanF{41, 1};
constexpr int PlayTimesPos = 42, RecDaysPos = 266, RecTimesPos = 273, TimeLen = 8;

QString take(const QByteArray& b, int pos, int len) {
    return QString::fromLatin1(b.constData() + pos - 1, len);
}

// The field with its leading blanks dropped and blanks added at the end to
// keep its width, in one allocation: every finder run parses hundreds.
QString takeLeftAligned(const QByteArray& b, int pos, int len) {
    const char* p = b.constData() + pos - 1;
    int skip = 0;
    while (skip < len && p[skip] == ' ')
        ++skip;
    QString out(len, ' ');
    QChar* d = out.data();
    for (int i = skip; i < len; ++i)
        d[i - skip] = QLatin1Char(p[i]);
    return out;
}

void put(QByteArray& b, int pos, int len, const QString& value) {
    const QByteArray v = fixedWidth(value, len).toLatin1();
    b.replace(pos - 1, len, v);
}

} // namespace

QString fixedWidth(const QString& value, int width) {
    if (value.size() >= width)
        return value.left(width);
    return value + QString(width - value.size(), ' ');
}

ScheduleRecord::ScheduleRecord() : bytes_(Length, ' ') {}

ScheduleRecord::ScheduleRecord(const QByteArray& bytes) : bytes_(bytes.left(Length)) {
    if (bytes_.size() < Length)
        bytes_.append(QByteArray(Length - bytes_.size(), ' '));
}

ScheduleFields ScheduleRecord::parse() const {
    ScheduleFields f;
    f.InUse = take(bytes_, InUseF.pos, InUseF.len);
    f.SatName = takeLeftAligned(bytes_, NameF.pos, NameF.len);
    // Trailing blanks trimmed and padded back: the stored text as it stands.
    f.SatLen = take(bytes_, LenF.pos, LenF.len);
    f.SatLang = take(bytes_, LangF.pos, LangF.len);
    f.SatPort = take(bytes_, PortF.pos, PortF.len);
    f.SatRoute = take(bytes_, RouteF.pos, RouteF.len);
    f.SatAtt = take(bytes_, AttF.pos, AttF.len);
    f.SatPlayStart = take(bytes_, PlayStartF.pos, PlayStartF.len);
    f.SatRecordStart = take(bytes_, RecordStartF.pos, RecordStartF.len);
    f.RecChan = take(bytes_, ChanF.pos, ChanF.len);
    for (int k = 0; k < 28; ++k)
        f.PlayTimes[k] = takeLeftAligned(bytes_, PlayTimesPos + TimeLen * k, TimeLen);
    for (int r = 0; r < 7; ++r) {
        const char c = bytes_.at(RecDaysPos - 1 + r);
        f.RecDays[r] = (c >= '0' && c <= '9') ? c - '0' : 0;
    }
    for (int r = 0; r < 7; ++r)
        f.RecTimes[r] = takeLeftAligned(bytes_, RecTimesPos + TimeLen * r, TimeLen);
    return f;
}

ScheduleRecord ScheduleRecord::build(const ScheduleFields& f) {
    ScheduleRecord rec;
    QByteArray& b = rec.bytes_;
    put(b, InUseF.pos, InUseF.len, "1");
    put(b, NameF.pos, NameF.len, f.SatName);
    put(b, LenF.pos, LenF.len, f.SatLen);
    put(b, LangF.pos, LangF.len, f.SatLang);
    put(b, PortF.pos, PortF.len, f.SatPort);
    put(b, RouteF.pos, RouteF.len, f.SatRoute);
    put(b, AttF.pos, AttF.len, f.SatAtt);
    put(b, PlayStartF.pos, PlayStartF.len, f.SatPlayStart);
    put(b, RecordStartF.pos, RecordStartF.len, f.SatRecordStart);
    put(b, ChanF.pos, ChanF.len, f.RecChan);
    for (int k = 0; k < 28; ++k)
        put(b, PlayTimesPos + TimeLen * k, TimeLen, f.PlayTimes[k]);
    for (int r = 0; r < 7; ++r) {
        const int d = f.RecDays[r];
        put(b, RecDaysPos + r, 1, (d >= 0 && d <= 9) ? QString::number(d) : QString("0"));
    }
    for (int r = 0; r < 7; ++r)
        put(b, RecTimesPos + TimeLen * r, TimeLen, f.RecTimes[r]);
    return rec;
}

ScheduleRecord ScheduleRecord::deleted() {
    ScheduleRecord rec;
    rec.bytes_[0] = '0';
    return rec;
}

namespace {
int leadingDigits(QStringView text) {
    int value = 0;
    for (QChar c : text) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}
} // namespace

int RecordLengthSeconds(const QString& SatLen) {
    const QString len = SatLen.trimmed();
    return leadingDigits(QStringView(len).left(2)) * 60 + leadingDigits(QStringView(len).right(2));
}

bool RecordLengthReadable(const QString& SatLen) {
    const QString len = SatLen.trimmed();
    if (len.size() != 5 || len.at(2) != ':')
        return false;
    for (int i : {0, 1, 3, 4})
        if (!len.at(i).isDigit())
            return false;
    return true;
}

ScheduleFields StarterSchedule(const QString& name, const QString& chan, const QString& length) {
    ScheduleFields f;
    f.SatName = name;
    f.SatLen = chan == "3" ? QString() : length;
    f.SatLang = "AA1";
    f.SatPort = "1";
    f.SatRoute = "S";
    f.SatAtt = "0";
    f.SatPlayStart = "M";
    f.SatRecordStart = "T";
    f.RecChan = chan;
    return f;
}
