#include "platform/service_notifier.h"

#ifdef VARNOLA_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

#include <algorithm>

ServiceNotifier::ServiceNotifier() {
#ifdef VARNOLA_HAVE_SYSTEMD
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0 && usec > 0) {
        // A third of the watchdog's time leaves room for a slow tick, and a
        // floor keeps a short WatchdogSec from turning into a ping per tick.
        pingEveryMs_ = std::max<qint64>(qint64(usec / 3000), 1000);
        sincePing_.start();
    }
#endif
}

void ServiceNotifier::ready() {
#ifdef VARNOLA_HAVE_SYSTEMD
    sd_notify(0, "READY=1");
#endif
}

void ServiceNotifier::tick() {
    if (pingEveryMs_ == 0 || sincePing_.elapsed() < pingEveryMs_)
        return;
    sincePing_.restart();
#ifdef VARNOLA_HAVE_SYSTEMD
    sd_notify(0, "WATCHDOG=1");
#endif
}
