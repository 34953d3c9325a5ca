#include "console/time_format.h"

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

QString FormatElapsed(int Secs) {
    if (Secs < 0)
        return "-" + FormatElapsed(-Secs).trimmed();
    while (Secs >= 86400)
        Secs -= 86400;
    const int h = Secs / 3600, m = (Secs % 3600) / 60, s = Secs % 60;
    const QString hours = h == 0 ? QString() : (h < 10 ? " " : "") + QString::number(h) + ":";
    return hours + twoDigits(m) + ":" + twoDigits(s);
}

QString FormatCountdown(int Secs) {
    if (Secs < 0) {
        const int a = -Secs;
        return "   -" + twoDigits((a % 3600) / 60) + ":" + twoDigits(a % 60);
    }
    const int h = Secs / 3600, m = (Secs % 3600) / 60, s = Secs % 60;
    const QString hours = h < 1 ? QString(4, ' ') : QString::number(h).rightJustified(3, ' ') + ":";
    return hours + twoDigits(m) + ":" + twoDigits(s);
}

int TimeTextSeconds(const QString& timeText) {
    return leadingNumber(timeText.mid(0, 2)) * 3600 + leadingNumber(timeText.mid(3, 2)) * 60 +
           leadingNumber(timeText.mid(6, 2));
}

int StationWeekday(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}
