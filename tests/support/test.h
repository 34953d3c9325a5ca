#pragma once

// The one header every test includes: GoogleTest, Qt's test helpers, readable
// Qt values in failure messages, and the one bounded wait.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << "\" (" << b.size() << " bytes)";
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i)
        *os << (i ? ", " : "") << '"' << l[i].toStdString() << '"';
    *os << '}';
}
inline void PrintTo(const QDate& d, std::ostream* os) {
    *os << d.toString(Qt::ISODate).toStdString();
}
inline void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << d.toString(Qt::ISODateWithMs).toStdString();
}

// Runs the event loop until the condition holds. The bound is generous on
// purpose: it is there to end a test that would hang, not to time anything,
// so a loaded machine passes the same as an idle one.
template <class Condition>
bool waitUntil(Condition&& condition, int boundMs = 20000) {
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}
