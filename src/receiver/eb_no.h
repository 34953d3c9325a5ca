#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

#include "station/tick_handoffs.h"

class Station;
class ReceiverLink;

// The Eb/No value of an "R C" answer: line 12 (between the 11th and 12th
// line feed), its last 20 characters, without the line ends and blanks
// around it, so one reading is always one log line.
QString ExtractEbNo(const QByteArray& answer);

// Asks the receiver for its carrier status and appends the Eb/No value to
// today's Eb/No log. The latch is set at once, so the ticks of the same
// second do not start a second poll while this one is on the wire.
// heard, when given, is told each reading as it is logged.
void PollEbNo(Station& station, ReceiverLink& link,
              std::function<void(const QString& EbNoText)> heard = {});

// The clock tick's Eb/No hand-off, on the receiver link.
class LinkEbNoPoller : public EbNoPoller {
public:
    LinkEbNoPoller(Station& station, ReceiverLink& link) : station_(station), link_(link) {}
    void PollEbNo() override {
        ::PollEbNo(station_, link_, [this](const QString& text) {
            for (const auto& listener : listeners_)
                listener(text);
        });
    }
    // Those who follow the signal: monitoring, the takes being recorded.
    void addListener(std::function<void(const QString& EbNoText)> listener) {
        listeners_.push_back(std::move(listener));
    }

private:
    Station& station_;
    ReceiverLink& link_;
    std::vector<std::function<void(const QString&)>> listeners_;
};
