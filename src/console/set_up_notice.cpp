#include "console/set_up_notice.h"

#include "platform/io_ports.h"
#include "platform/station_config.h"
#include "station/station_state.h"
#include "station/time_format.h"

#include <QStringList>

QString SetUpNotice(const StationState& s, const StationConfig& config) {
    // The finders have found what the schedules will do; only that matters.
    const bool records = isTimeText(s.Rec(1).NextRecTime) || isTimeText(s.Rec(2).NextRecTime);
    const bool switches = records || isTimeText(s.NextSwitchTime);
    QStringList missing;
    if (records && !(s.WaveDrive.size() == 1 && s.WaveDrive.at(0).isLetter()))
        missing << QString::fromUtf8("no wave drive (SetUp \u2192 My Computer)");
    if (switches && (s.CommPortNo < 1 || s.CommPortNo > 4))
        missing << QString::fromUtf8("no serial port (SetUp \u2192 Communications)");
    if (s.RelayCardType == 1 || s.RelayCardType == 2) {
        const QString ports =
            portRangeProblem(config, s.RelayCardType == 1 ? ParallelPorts : RelayCardPorts);
        if (!ports.isEmpty())
            missing << ports;
    }
    if (s.ActivityLogOn != 1)
        missing << QString::fromUtf8("the activity log is off (SetUp \u2192 My Computer)");
    return missing.isEmpty() ? QString() : "Not set up: " + missing.join("; ");
}
