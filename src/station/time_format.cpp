#include "station/time_format.h"

#include <QDate>
#include <algorithm>
#include <charconv>

namespace {

QString twoDigits(int v) {
    return QString::number(v).rightJustified(2, '0');
}

// A leading run of digits as a number; anything else reads as 0. Views, not
// copies: the tick reads three time texts twenty times a second.
int leadingNumber(QStringView text) {
    int value = 0;
    for (QChar c : text.trimmed()) {
        if (c >= u'0' && c <= u'9')
            value = value * 10 + (c.unicode() - u'0');
        else if (c.isDigit())
            value = value * 10 + c.digitValue();
        else
            break;
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

// Three countdowns are formatted every tick: one string made once, without
// the formatting machinery.
QString FormatCountdown(int Secs) {
    char text[24];
    char* p = text;
    const auto two = [&p](qint64 v) {
        *p++ = char('0' + v / 10);
        *p++ = char('0' + v % 10);
    };
    const qint64 a = Secs < 0 ? -qint64(Secs) : Secs;
    if (Secs < 0 || Secs < 3600) {
        p = std::copy_n(Secs < 0 ? "   -" : "    ", 4, p);
    } else {
        char hours[12];
        const auto end = std::to_chars(hours, hours + sizeof hours, a / 3600).ptr;
        p = std::fill_n(p, std::max<std::ptrdiff_t>(0, 3 - (end - hours)), ' ');
        p = std::copy(hours, end, p);
        *p++ = ':';
    }
    two(a % 3600 / 60);
    *p++ = ':';
    two(a % 60);
    return QString::fromLatin1(text, p - text);
}

int TimeTextSeconds(const QString& timeText) {
    const QStringView t(timeText);
    const auto part = [&](qsizetype from) {
        return from < t.size() ? t.sliced(from, std::min<qsizetype>(2, t.size() - from))
                               : QStringView();
    };
    return leadingNumber(part(0)) * 3600 + leadingNumber(part(3)) * 60 + leadingNumber(part(6));
}

double secondsBetween(double earlier, double later) {
    const double t = later - earlier;
    return t < 0 ? t + DaySeconds : t;
}

bool isTimeText(const QString& t) {
    return t.size() >= 3 && t.at(2) == ':';
}

int StationWeekday(const QDate& date) {
    return date.dayOfWeek() % 7 + 1;
}

QDateTime occurrenceNear(const QString& timeText, int day, const QDateTime& now) {
    const QDate today = now.date();
    const int secs = std::clamp(TimeTextSeconds(timeText), 0, DaySeconds - 1);
    const QDateTime at(today.addDays((day - StationWeekday(today) + 7) % 7),
                       QTime::fromMSecsSinceStartOfDay(secs * 1000));
    // Half a week either way: an event seconds ago is this week's, not next.
    return now.secsTo(at) > WeekSeconds / 2 ? at.addDays(-7) : at;
}
