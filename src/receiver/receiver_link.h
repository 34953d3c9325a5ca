#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

class Station;
class SerialPort;
class Timer;

// What one exchange with the receiver does: open the port, write the
// commands (each already ended by its carriage return), optionally wait and
// collect the answer up to the end mark or a time-out, close the port.
struct ReceiverExchange {
    QList<QByteArray> writes;
    bool collect = false;
    // 1-based position from which a ">" counts as the end of the answer.
    int endMarkFrom = 1;
    // A ">" before position 5 is the prompt left over from a command sent
    // just before the query: drop it and what precedes it.
    bool dropEarlyPrompt = false;
    // Wait this long after writing before the answer is read.
    int settleMs = 0;
    // How long the answer may take, from the start of collecting.
    int timeoutMs = 0;
};

struct ReceiverResult {
    bool opened = false;
    int errorNumber = 0;
    QString errorDescription;
    QByteArray answer;
    // The end mark arrived (false: the time-out ended the collection).
    bool complete = false;
};

// The one owner of the receiver's serial port. Exchanges run one at a time
// on the UI thread without blocking it; the rest wait in a queue, commands
// ahead of queries, so a cue is not held up behind a status window.
class ReceiverLink {
public:
    // Longest answer kept; a receiver that babbles cannot grow memory.
    static constexpr qsizetype MaxAnswer = 64 * 1024;

    ReceiverLink(Station& station, std::unique_ptr<SerialPort> port);
    ~ReceiverLink();

    using Done = std::function<void(const ReceiverResult&)>;
    void run(const ReceiverExchange& exchange, Done done = {});

    bool busy() const { return current_ != nullptr; }
    int queued() const { return int(queue_.size()); }

    // The device of the configured COM port and the line settings string of
    // the configured speed; empty when the settings name none.
    QString device() const;
    QString lineSettings() const;

private:
    struct Pending;
    void startNext();
    void onReadyRead();
    void onBytesWritten();
    void onTimer();
    void beginCollecting();
    void finish();

    Station& station_;
    std::unique_ptr<SerialPort> port_;
    std::unique_ptr<Timer> timer_;
    std::deque<std::unique_ptr<Pending>> queue_;
    std::unique_ptr<Pending> current_;
};

// How long a status window waits for its answer: until two seconds after
// the whole second that follows now (about three seconds).
int windowAnswerTimeoutMs(double secondsSinceMidnight);

// The operator's text for a port that could not be used.
QString serialFailureText(const ReceiverResult& result);
