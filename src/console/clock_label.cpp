#include "console/clock_label.h"

#include <QLocale>

QString ClockLabelText(const QDateTime& now) {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDate d = now.date();
    return english.dayName(d.dayOfWeek(), QLocale::LongFormat) + "  " + d.toString("MM/dd/yyyy") +
           "  Day " + QString::number(d.dayOfYear()) + "  " + now.time().toString("HH:mm:ss");
}
