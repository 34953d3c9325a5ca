#pragma once

#include "platform/station_config.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the console's command line asks for. Help, the version and mistakes
// are answered without starting the station: the text to print and the exit
// status. Otherwise the station runs on the configuration chosen.
struct CommandLine {
    // Set when the program is to print and exit instead of running.
    std::optional<int> exitStatus;
    QString standardOutput;
    QString standardError;
    // --config FILE, which wins over VARNOLA_CONFIG; empty when not given.
    QString configPath;
    // --week-ahead [DAYS]: print what the station would do in the days
    // ahead instead of running it.
    std::optional<int> weekAheadDays;
    // --history [DAYS]: print the takes of the days behind as CSV instead
    // of running the station.
    std::optional<int> historyDays;

    static CommandLine parse(const QStringList& arguments);

    StationConfig stationConfig() const;
};
