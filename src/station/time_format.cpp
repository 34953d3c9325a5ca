#include "station/time_format.h"

#include <QDate>

namespace {

QString twoDigits(int v) {
    return QString::number(v).rightJustified(2, '0');
}

// A leading run of digits as a number; anything else reads as 0.
int leadingNumber(const QString& text) {
    int value = 0;
    for (QChar c : text.trimmed()) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

} // namespace

// Both formatters take any int: the magnitude is worked in 64 bits, so the
// most negative value has one too.
QString FormatElapsed(int Secs) {
    qint64 a = Secs;
    const QString sign = a < 0 ? "-" : "";
    a = (a < 0 ? -a : a) % DaySeconds;
    const int h = int(a / 3600), m = int(a % 3600 / 60), s = int(a % 60);
    // A negative time shows its magnitude after the sign, without the blank
    // that pads a one-digit hour.
    const QString hours =
        h == 0 ? QString() : (h < 10 && sign.isEmpty() ? " " : "") + QString::number(h) + ":";
    return sign + hours + twoDigits(m) + ":" + twoDigits(s);
}

QString FormatCountdown(int Secs) {
    if (Secs < 0) {
        const qint64 a = -qint64(Secs);
        return "   -" + twoDigits(int(a % 3600 / 60)) + ":" + twoDigits(int(a % 60));
    }
    const int h = Secs / 3600, m = (Secs % 3600) / 60, s = Secs % 60;
    const QString hours = h < 1 ? QString(4, ' ') : QString::number(h).rightJustified(3, ' ') + ":";
    return hours + twoDigits(m) + ":" + twoDigits(s);
}

int TimeTextSeconds(const QString& timeText) {
    return leadingNumber(timeText.mid(0, 2)) * 3600 + leadingNumber(timeText.mid(3, 2)) * 60 +
           leadingNumber(timeText.mid(6, 2));
}

double secondsBetween(double earlier, double later) {
    const double t = later - earlier;
    return t < 0 ? t + DaySeconds : t;
}

int StationWeekday(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}
