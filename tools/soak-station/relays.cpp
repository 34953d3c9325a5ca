// Watches the relay outputs in the port file and logs each change with its
// moment, so the report can count the end-of-message pulses, which last a
// second: a look every 50 ms sees every one.
#include "soak.h"

#include <QDateTime>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr off_t RelayPort = 888;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

} // namespace

int watchRelays(const QStringList& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: soak-station relays PORT-FILE LOG\n");
        return 2;
    }
    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    const int fd = ::open(args[0].toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    std::FILE* log = std::fopen(args[1].toLocal8Bit().constData(), "a");
    if (fd < 0 || !log) {
        std::fprintf(stderr, "soak-station: cannot watch %s into %s\n", qPrintable(args[0]),
                     qPrintable(args[1]));
        return 1;
    }
    int last = -1;
    while (!stopRequested) {
        unsigned char value = 0;
        if (::pread(fd, &value, 1, RelayPort) == 1 && value != last) {
            last = value;
            std::fprintf(log, "%lld %d\n", QDateTime::currentMSecsSinceEpoch(), last);
            std::fflush(log);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fclose(log);
    ::close(fd);
    return 0;
}
