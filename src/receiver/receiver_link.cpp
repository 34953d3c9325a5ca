#include "receiver/receiver_link.h"

#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/serial_port.h"
#include "platform/timers.h"
#include "station/station.h"

#include <algorithm>
#include <cmath>

namespace {
// A write that has not left the port by then is not going to.
constexpr int WriteTimeoutMs = 2000;
} // namespace

struct ReceiverLink::Pending {
    enum class Phase { Writing, Settling, Collecting };
    ReceiverExchange exchange;
    Done done;
    ReceiverResult result;
    Phase phase = Phase::Writing;
    bool queueing = false;
    qint64 deadline = 0; // monotonic ms
};

ReceiverLink::ReceiverLink(Station& station, std::unique_ptr<SerialPort> port)
    : station_(station), port_(std::move(port)), timer_(station.timers().create(20)) {
    timer_->setHandler([this] { onTimer(); });
    port_->setReadyRead([this] { onReadyRead(); });
    port_->setBytesWritten([this] { onBytesWritten(); });
}

ReceiverLink::~ReceiverLink() {
    if (port_)
        port_->close();
}

QString ReceiverLink::device() const {
    const int n = station_.state.CommPortNo;
    if (n < 1 || n > 4)
        return {};
    return station_.paths().config().serialPorts[size_t(n - 1)];
}

QString ReceiverLink::lineSettings() const {
    const int i = station_.state.BaudIndex;
    const QString speed = i >= 1 && i <= 2 ? station_.state.BaudRates[size_t(i)] : QString();
    return speed + ",N,8,1";
}

void ReceiverLink::run(const ReceiverExchange& exchange, Done done) {
    auto p = std::make_unique<Pending>();
    p->exchange = exchange;
    p->done = std::move(done);
    if (!exchange.collect) {
        // Commands go before the queries still waiting.
        auto at = queue_.begin();
        while (at != queue_.end() && !(*at)->exchange.collect)
            ++at;
        queue_.insert(at, std::move(p));
    } else {
        queue_.push_back(std::move(p));
    }
    if (!current_)
        startNext();
}

void ReceiverLink::startNext() {
    while (!current_ && !queue_.empty()) {
        current_ = std::move(queue_.front());
        queue_.pop_front();
        Pending& p = *current_;
        const QString dev = device();
        if (dev.isEmpty()) {
            p.result.errorNumber = 1;
            p.result.errorDescription = QString("No serial port %1").arg(station_.state.CommPortNo);
            finish();
            continue;
        }
        if (!port_->open(dev, lineSettings(), &p.result.errorNumber, &p.result.errorDescription)) {
            finish();
            continue;
        }
        p.result.opened = true;
        port_->readAll(); // nothing stale from an earlier exchange
        p.deadline = station_.clock().monotonicMs() + WriteTimeoutMs;
        // Completed writes are looked at once all are queued.
        p.queueing = true;
        for (const QByteArray& w : p.exchange.writes)
            port_->write(w);
        p.queueing = false;
        timer_->setEnabled(true);
        onBytesWritten();
    }
}

void ReceiverLink::onBytesWritten() {
    if (!current_ || current_->queueing || current_->phase != Pending::Phase::Writing ||
        port_->bytesToWrite() > 0)
        return;
    Pending& p = *current_;
    if (!p.exchange.collect) {
        p.result.complete = true;
        finish();
        return;
    }
    if (p.exchange.settleMs > 0) {
        p.phase = Pending::Phase::Settling;
        p.deadline = station_.clock().monotonicMs() + p.exchange.settleMs;
        return;
    }
    beginCollecting();
}

void ReceiverLink::beginCollecting() {
    Pending& p = *current_;
    p.phase = Pending::Phase::Collecting;
    p.deadline = station_.clock().monotonicMs() + p.exchange.timeoutMs;
    onReadyRead();
}

void ReceiverLink::onReadyRead() {
    if (!current_ || current_->phase != Pending::Phase::Collecting)
        return;
    Pending& p = *current_;
    QByteArray& answer = p.result.answer;
    const QByteArray data = port_->readAll();
    answer += data.left(std::max<qsizetype>(0, MaxAnswer - answer.size()));
    if (p.exchange.dropEarlyPrompt) {
        qsizetype mark;
        while ((mark = answer.indexOf('>')) >= 0 && mark < 4)
            answer.remove(0, mark + 1);
    }
    if (answer.indexOf('>', std::max(0, p.exchange.endMarkFrom - 1)) >= 0) {
        p.result.complete = true;
        finish();
    }
}

void ReceiverLink::onTimer() {
    if (!current_) {
        timer_->setEnabled(false);
        return;
    }
    Pending& p = *current_;
    // Data may have arrived without a notification yet; take it first.
    if (p.phase == Pending::Phase::Collecting)
        onReadyRead();
    if (!current_ || station_.clock().monotonicMs() < p.deadline)
        return;
    switch (p.phase) {
    case Pending::Phase::Writing:
        p.result.errorNumber = 12; // QSerialPort::TimeoutError
        p.result.errorDescription = "The command could not be sent to the receiver";
        finish();
        break;
    case Pending::Phase::Settling:
        beginCollecting();
        break;
    case Pending::Phase::Collecting:
        finish();
        break;
    }
}

void ReceiverLink::finish() {
    port_->close();
    std::unique_ptr<Pending> done = std::move(current_);
    timer_->setEnabled(false);
    if (done->done)
        done->done(done->result);
    if (!current_)
        startNext();
}

QString serialFailureText(const ReceiverResult& result) {
    return QString::number(result.errorNumber) + "  " + result.errorDescription +
           ".  Check serial port settings in SetUp/Communications.";
}

int windowAnswerTimeoutMs(double clock) {
    return int(std::lround((std::nearbyint(clock + 1.0) + 2.0 - clock) * 1000.0));
}
