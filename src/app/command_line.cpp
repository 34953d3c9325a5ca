#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Usage mistakes exit with 2, apart from the 1 of a refused start-up, so a
// service manager's log tells a wrong unit file from a station that cannot run.
constexpr int UsageError = 2;

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Records the satellite network's programmes on the station's weekly\n"
        "schedule and plays them out.\n\nThe configuration file is the one named by --config, "
        "else $VARNOLA_CONFIG,\nelse $XDG_CONFIG_HOME/varnola/varnola.conf; see varnola(1).");
    // Qt's own help option would offer --help-all and Qt's options, which
    // this program does not take.
    const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
    const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
    const QCommandLineOption config({"c", "config"},
                                    "Read the station configuration from <file> instead of "
                                    "$VARNOLA_CONFIG or the default.",
                                    "file");
    const QCommandLineOption weekAhead(
        "week-ahead", "Print what the station will do in the next DAYS days (default 7, at most "
                      "31) by its own rules, without touching its files, and exit.");
    const QCommandLineOption history(
        "history", "Print the takes of the last DAYS days (default 7) from the station's take "
                   "history as CSV, without starting the console, and exit.");
    parser.addOptions({help, version, config, weekAhead, history});
    parser.addPositionalArgument("DAYS", "With --week-ahead or --history: the number of days.",
                                 "[DAYS]");

    CommandLine c;
    const QString program = QFileInfo(arguments.value(0, "varnola")).fileName();
    if (!parser.parse(arguments)) {
        c.exitStatus = UsageError;
        c.standardError = QString("%1: %2\nTry '%1 --help' for more information.\n")
                              .arg(program, parser.errorText());
    } else if (parser.isSet(help)) {
        c.exitStatus = 0;
        c.standardOutput = parser.helpText();
    } else if (parser.isSet(version)) {
        c.exitStatus = 0;
        c.standardOutput = QString("%1 %2\n").arg(program, QCoreApplication::applicationVersion());
    } else if (parser.isSet(weekAhead) && parser.isSet(history)) {
        c.exitStatus = UsageError;
        c.standardError =
            QString("%1: --week-ahead and --history cannot be given together\n").arg(program);
    } else if ((parser.isSet(weekAhead) || parser.isSet(history)) &&
               parser.positionalArguments().size() <= 1) {
        // A dry run longer than a month tells nothing a month does not; the
        // history of a station that purges nothing may go back years.
        const bool ahead = parser.isSet(weekAhead);
        const int most = ahead ? 31 : 3660;
        const QString days = parser.positionalArguments().value(0, "7");
        bool ok = false;
        const int n = days.toInt(&ok);
        if (!ok || n < 1 || n > most) {
            c.exitStatus = UsageError;
            c.standardError = QString("%1: --%2 takes a number of days from 1 to %3, not '%4'\n")
                                  .arg(program, ahead ? "week-ahead" : "history")
                                  .arg(most)
                                  .arg(days);
        } else {
            (ahead ? c.weekAheadDays : c.historyDays) = n;
        }
    } else if (!parser.positionalArguments().isEmpty()) {
        c.exitStatus = UsageError;
        c.standardError = QString("%1: unexpected argument '%2'\nTry '%1 --help' for more "
                                  "information.\n")
                              .arg(program, parser.positionalArguments().first());
    }
    if (!c.exitStatus && parser.isSet(config)) {
        c.configPath = parser.value(config);
        // A file named on the command line is meant to exist: a typing
        // mistake must not start an empty station on the default drives.
        if (!QFileInfo(c.configPath).isFile()) {
            c.exitStatus = UsageError;
            c.standardError =
                QString("%1: no configuration file '%2'\n").arg(program, c.configPath);
        }
    }
    return c;
}

StationConfig CommandLine::stationConfig() const {
    return configPath.isEmpty() ? StationConfig::fromEnvironment()
                                : StationConfig::fromFile(configPath);
}
