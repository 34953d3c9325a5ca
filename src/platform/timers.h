#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QTimer;

// An interval timer with an enabled flag: while enabled it calls its handler
// every interval. Enabling a timer that is already enabled changes nothing,
// so a handler that is started "only if not enabled" runs once.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void fire() {
        if (handler_)
            handler_();
    }

private:
    std::function<void()> handler_;
};

class Timers {
public:
    virtual ~Timers() = default;
    virtual std::unique_ptr<Timer> create(int intervalMs) = 0;
};

// Timers on the Qt event loop of the thread that creates them.
class QtTimers : public Timers {
public:
    std::unique_ptr<Timer> create(int intervalMs) override;
};
