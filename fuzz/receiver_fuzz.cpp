#include "fuzz_support.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "receiver/eb_no.h"
#include "receiver/receiver_link.h"
#include "station/messages.h"
#include "station/station.h"

#include <memory>
#include <utility>

// The receiver's answers as the link collects them (in pieces, as a serial
// line delivers them) for the Eb/No poll, the relay window with its stale
// prompt, and a status window whose end mark counts from further in; then
// the Eb/No reading taken from each answer.
namespace {

// The line: opens, takes writes at once, and hands over what the driver
// gave it.
class FeedPort : public SerialPort {
public:
    bool open(const QString&, const QString&, int*, QString*) override { return open_ = true; }
    bool isOpen() const override { return open_; }
    bool write(const QByteArray&) override { return true; }
    qint64 bytesToWrite() const override { return 0; }
    QByteArray readAll() override { return std::exchange(arrived_, {}); }
    void close() override { open_ = false; }
    void deliver(const QByteArray& piece) {
        arrived_ += piece;
        notifyReadyRead();
    }

private:
    bool open_ = false;
    QByteArray arrived_;
};

class NoMessages : public Messages {
public:
    void ShowMessage(const QString&) override {}
    bool AskYesNo(const QString&, const QString&) override { return false; }
};

void collect(Station& station, const ReceiverExchange& exchange, const QByteArray& answer,
             qsizetype piece) {
    auto owned = std::make_unique<FeedPort>();
    FeedPort& port = *owned;
    ReceiverLink link(station, std::move(owned));
    bool done = false;
    link.run(exchange, [&](const ReceiverResult& r) {
        done = true;
        fuzz::check(r.answer.size() <= ReceiverLink::MaxAnswer, "an answer is bounded");
        if (r.complete)
            fuzz::check(r.answer.indexOf('>', std::max(0, exchange.endMarkFrom - 1)) >= 0,
                        "a complete answer holds its end mark");
        const QString ebNo = ExtractEbNo(r.answer);
        fuzz::check(ebNo.size() <= 20, "an Eb/No reading is one short field");
    });
    for (qsizetype at = 0; at < answer.size() && !done; at += piece)
        port.deliver(answer.mid(at, piece));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();
    static SystemClock clock;
    static QtTimers timers;
    static NoMessages messages;
    static Station station(clock, timers, fuzz::stationPaths(), messages);
    station.state.CommPortNo = 1;

    const QByteArray input = fuzz::bytes(data, size);
    ExtractEbNo(input);
    // The first byte sets the size of the pieces the line delivers.
    if (input.isEmpty())
        return 0;
    const qsizetype piece = 1 + uint8_t(input.at(0)) % 64;
    const QByteArray answer = input.mid(1);

    ReceiverExchange ebNo;
    ebNo.writes = {QByteArray("R C\r")};
    ebNo.collect = true;
    collect(station, ebNo, answer, piece);

    ReceiverExchange relays = ebNo;
    relays.writes = {QByteArray("R ER\r")};
    relays.dropEarlyPrompt = true;
    collect(station, relays, answer, piece);

    ReceiverExchange status = ebNo;
    status.writes = {QByteArray("R S\r")};
    status.endMarkFrom = 40;
    collect(station, status, answer, piece);
    return 0;
}
