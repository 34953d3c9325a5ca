#include "platform/clock.h"

#include <cerrno>
#include <cstring>
#include <ctime>

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool SystemClock::setTimeOfDay(const QTime& time, QString* error) {
    const QDateTime target(QDate::currentDate(), time);
    const qint64 ms = target.toMSecsSinceEpoch();
    timespec ts{};
    ts.tv_sec = time_t(ms / 1000);
    ts.tv_nsec = long(ms % 1000) * 1000000;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}
