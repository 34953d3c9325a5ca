#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "station/tick_handoffs.h"

class Station;
class ReceiverLink;

// The Eb/No value of an "R C" answer: line 12 (between the 11th and 12th
// line feed), its last 20 characters, without the line ends and blanks
// around it, so one reading is always one log line.
QString ExtractEbNo(const QByteArray& answer);

// The number of a reading ("12.3", "12.3 dB", "o (dB):   12.3"), its last;
// nothing when it holds none (no carrier, no answer).
std::optional<double> EbNoValue(const QString& reading);

// Asks the receiver for its carrier status and appends the Eb/No value to
// today's Eb/No log; heard, when given, gets each reading that is a number.
// The latch is set at once, so the ticks of the same second do not start a
// second poll while this one is on the wire.
void PollEbNo(Station& station, ReceiverLink& link, std::function<void(double)> heard = {});

// The clock tick's Eb/No hand-off, on the receiver link.
class LinkEbNoPoller : public EbNoPoller {
public:
    LinkEbNoPoller(Station& station, ReceiverLink& link) : station_(station), link_(link) {}
    void PollEbNo() override { ::PollEbNo(station_, link_, readingHeard); }

    // Hears every reading, for the parts that keep figures of their own.
    std::function<void(double)> readingHeard;

private:
    Station& station_;
    ReceiverLink& link_;
};
