#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the thread's event loop, so the
// station can close its files in order when a service manager stops it.
// One instance per process.
class SignalWatcher : public QObject {
public:
    explicit SignalWatcher(std::function<void(int signal)> onSignal);
    ~SignalWatcher() override;

private:
    void readSignal();

    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
