#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

// The station's view of time. Everything that looks at the time of day goes
// through this, so a test can run a week of ticks in a few seconds.
class Clock {
public:
    virtual ~Clock() = default;

    // Local date and time now.
    virtual QDateTime now() const = 0;

    // A steady millisecond count for measuring intervals; unaffected by the
    // time of day being set or wrapping at midnight.
    virtual qint64 monotonicMs() const = 0;

    // Sets the time of day, keeping the date. Needs privilege on a real
    // machine; false with a reason in error when refused.
    virtual bool setTimeOfDay(const QTime& time, QString* error) = 0;

    // Seconds after midnight with fractions, 0 <= value < 86400.
    double secondsSinceMidnight() const { return now().time().msecsSinceStartOfDay() / 1000.0; }
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    bool setTimeOfDay(const QTime& time, QString* error) override;
};
