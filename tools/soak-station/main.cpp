// The real-time soak's helper (scripts/soak-realtime.sh, make soak).
#include "soak.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

const char* const Usage = R"(Usage: soak-station COMMAND ARGS...

  lay-out FOLDER COM1-DEVICE END-EPOCH [LONGEST-TAKE-SECONDS]
      lays out a station in FOLDER whose two channels record back to back
      until END-EPOCH (seconds since the epoch), with input FIFOs, and writes
      plan.txt (the takes) and events.txt (the harness's timetable)
  feed FIFO STATS-FILE
      fills FIFO in real time as a sound card would, until SIGTERM, keeping
      its counts in STATS-FILE
  relays PORT-FILE LOG
      logs each change of the relay port, until SIGTERM
  report FOLDER [RSS-TOLERANCE-KB]
      reports on the run laid out in FOLDER, into FOLDER/report.txt too;
      exits 1 when a property fails
)";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    const char* command = argc > 1 ? argv[1] : "";
    if (std::strcmp(command, "lay-out") == 0)
        return layOut(args);
    if (std::strcmp(command, "feed") == 0)
        return feed(args);
    if (std::strcmp(command, "relays") == 0)
        return watchRelays(args);
    if (std::strcmp(command, "report") == 0)
        return report(args);
    std::fputs(Usage, std::strcmp(command, "--help") == 0 ? stdout : stderr);
    return std::strcmp(command, "--help") == 0 ? 0 : 2;
}
