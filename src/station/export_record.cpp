#include "station/export_record.h"

#include "platform/record_file.h"

#include <QStringList>
#include <QtEndian>
#include <cmath>
#include <limits>

namespace {

constexpr int DaysAt = 2;
constexpr int PathsAt = 16;
constexpr int FadeAt = 226;
constexpr int LengthAt = 228;
constexpr int NumberAt = 233;

int16_t int16At(const QByteArray& b, int at) {
    return qFromLittleEndian<qint16>(b.constData() + at);
}

void putInt16(QByteArray& b, int at, int16_t value) {
    qToLittleEndian<qint16>(value, b.data() + at);
}

// A stored text without its padding: blanks when written, zero bytes when the
// record never was.
QString textAt(const QByteArray& b, int at, int width) {
    QByteArray t = b.mid(at, width);
    while (!t.isEmpty() && (t.back() == ' ' || t.back() == '\0'))
        t.chop(1);
    return QString::fromLatin1(t);
}

void putText(QByteArray& b, int at, int width, const QString& text) {
    const QByteArray t = text.toLatin1().left(width).leftJustified(width, ' ');
    b.replace(at, width, t);
}

} // namespace

ExportRecord ExportRecord::parse(const QByteArray& bytes) {
    QByteArray b = bytes.left(Length);
    b.append(QByteArray(Length - b.size(), '\0'));
    ExportRecord r;
    r.ExportMode = int16At(b, 0);
    for (int d = 0; d < 7; ++d) {
        r.ExportDays[size_t(d)] = int16At(b, DaysAt + 2 * d);
        r.ExportPaths[size_t(d)] = textAt(b, PathsAt + PathLength * d, PathLength);
    }
    r.ExportFade = int16At(b, FadeAt);
    r.ExportLength = textAt(b, LengthAt, LengthTextLength);
    r.WinjockNumber = int16At(b, NumberAt);
    return r;
}

QByteArray ExportRecord::bytes() const {
    QByteArray b(Length, '\0');
    putInt16(b, 0, ExportMode);
    for (int d = 0; d < 7; ++d) {
        putInt16(b, DaysAt + 2 * d, ExportDays[size_t(d)]);
        putText(b, PathsAt + PathLength * d, PathLength, ExportPaths[size_t(d)]);
    }
    putInt16(b, FadeAt, ExportFade);
    putText(b, LengthAt, LengthTextLength, ExportLength);
    putInt16(b, NumberAt, WinjockNumber);
    return b;
}

ExportRecord ReadExportRecord(const RecordFile& file, ScheduleNo n) {
    return ExportRecord::parse(file.read(n).value_or(QByteArray()));
}

bool WriteExportRecord(RecordFile& file, ScheduleNo n, const ExportRecord& record, QString* error) {
    return file.write(n, record.bytes(), error);
}

bool WriteExportMode(RecordFile& file, ScheduleNo n, int16_t mode, QString* error) {
    QByteArray b = file.read(n).value_or(QByteArray(ExportRecord::Length, '\0'));
    putInt16(b, 0, mode);
    return file.write(n, b, error);
}

int16_t TypedNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t.at(end) == '+' || t.at(end) == '-'))
        ++end;
    const qsizetype digitsFrom = end;
    while (end < t.size() && t.at(end).isDigit())
        ++end;
    if (end < t.size() && t.at(end) == '.')
        for (++end; end < t.size() && t.at(end).isDigit();)
            ++end;
    bool ok = false;
    const double value = t.left(end).toDouble(&ok);
    if (!ok || end == digitsFrom)
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int16_t>::min() ||
        rounded > std::numeric_limits<int16_t>::max())
        return 0;
    return int16_t(rounded);
}

std::optional<qint64> ExportLengthMs(const QString& ExportLength) {
    const QStringList parts = ExportLength.trimmed().split(':');
    const qint64 ms =
        (qint64(TypedNumber(parts.value(0))) * 60 + TypedNumber(parts.value(1))) * 1000;
    if (ms <= 0)
        return std::nullopt;
    return ms;
}
