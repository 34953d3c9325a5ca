#include "receiver/eb_no.h"

#include "platform/clock.h"
#include "receiver/receiver_link.h"
#include "station/log_files.h"
#include "station/station.h"

#include <QRegularExpression>
#include <cmath>

QString ExtractEbNo(const QByteArray& answer) {
    QByteArray line;
    int lineFeeds = 0;
    for (const char c : answer) {
        if (c == '\n')
            ++lineFeeds;
        if (lineFeeds == 11)
            line += c;
        else if (lineFeeds > 11)
            break;
    }
    QByteArray value = line.right(20);
    if (value.endsWith('\r'))
        value.chop(1);
    // Blanks and line ends both go, at either end.
    qsizetype from = 0, to = value.size();
    const auto trimmable = [](char c) { return c == ' ' || c == '\n' || c == '\r'; };
    while (from < to && trimmable(value.at(from)))
        ++from;
    while (to > from && trimmable(value.at(to - 1)))
        --to;
    return QString::fromLatin1(value.mid(from, to - from));
}

std::optional<double> EbNoValue(const QString& reading) {
    // The value ends the reading or comes before its unit; the twenty
    // characters kept may start inside the label.
    static const QRegularExpression number(R"([-+]?\d+(\.\d+)?)");
    std::optional<double> last;
    for (const QRegularExpressionMatch& m : number.globalMatch(reading))
        last = m.captured().toDouble();
    return last;
}

void PollEbNo(Station& station, ReceiverLink& link, std::function<void(double)> heard) {
    station.state.EbNoPollLatch = 1;
    // The reading waits until the whole second after start plus one, as the
    // station always has, on a clock that does not jump at midnight.
    const double clock = station.clock().secondsSinceMidnight();
    ReceiverExchange exchange;
    exchange.writes = {QByteArray("R C\r")};
    exchange.collect = true;
    exchange.endMarkFrom = 1;
    exchange.timeoutMs = int(std::lround((std::nearbyint(clock) + 1.0 - clock) * 1000.0));
    link.run(exchange, [&station, heard = std::move(heard)](const ReceiverResult& r) {
        if (!r.opened)
            LogError(station, "Eb/No poll: " + r.errorDescription);
        const QString reading = ExtractEbNo(r.answer);
        LogEbNo(station, reading);
        if (const auto value = EbNoValue(reading); value && heard)
            heard(*value);
    });
}
