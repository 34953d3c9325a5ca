#pragma once

#include <QDateTime>
#include <QString>

// "Saturday  12/05/2026  Day 339  07:05:12": English names whatever the host
// locale, 24-hour time.
QString ClockLabelText(const QDateTime& now);
