#pragma once

#include <QElapsedTimer>

// Tells the service manager that the console has started and that its clock
// tick still runs, so a console whose tick has stopped is restarted. Built
// without libsystemd, or started by anything but systemd with a watchdog, it
// does nothing.
class ServiceNotifier {
public:
    ServiceNotifier();

    void ready();
    // Called from every tick; costs a clock reading except when a ping is due.
    void tick();

private:
    // Zero when no watchdog is asked for.
    qint64 pingEveryMs_ = 0;
    QElapsedTimer sincePing_;
};
