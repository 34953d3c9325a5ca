#include "receiver/receiver_commands.h"

#include "receiver/receiver_link.h"
#include "station/log_files.h"
#include "station/messages.h"
#include "station/station.h"

QString cueSetAudioCommand(const ScheduleFields& f) {
    return switchSetAudioCommand(f) + " ";
}

QString switchSetAudioCommand(const ScheduleFields& f) {
    return "SETAUDIO " + fixedWidth(f.SatPort, 1) + " " + fixedWidth(f.SatRoute, 1) + " " +
           fixedWidth(f.SatLang, 3) + " " + fixedWidth(f.SatAtt, 2);
}

QString setupSetAudioCommand(int port, const QString& routeCode, const QString& source,
                             const QString& attenuation) {
    return "SETAUDIO " + QString::number(port) + " " + routeCode + " " + source + attenuation;
}

QList<int> expansionRelaysOfPort(const QString& port) {
    const QString p = port.trimmed();
    if (p == "1")
        return {11, 14};
    if (p == "2")
        return {4, 7};
    if (p == "3")
        return {1};
    if (p == "4")
        return {8};
    return {};
}

QString relayButtonCommand(const QString& query, int button) {
    if (query == "R R") {
        static const char* const receiverRelays[] = {"RE O 1", "RE C 1", "RE O 2", "RE C 2"};
        return button >= 0 && button < 4 ? receiverRelays[button] : QString();
    }
    if (button < 0 || button > 27)
        return {};
    const int relay = (button + 2) / 2;
    return (button % 2 == 0 ? "ER D " : "ER E ") + QString::number(relay);
}

void SendReceiverCommand(Station& station, ReceiverLink& link,
                         std::function<void(bool, const QString&)> then) {
    const QString command = station.state.ReceiverCommand;
    ReceiverExchange exchange;
    exchange.writes = {command.toLatin1() + '\r'};
    link.run(exchange, [&station, command, then = std::move(then)](const ReceiverResult& r) {
        const bool sent = r.opened && r.complete;
        if (!sent) {
            // The activity log shows the command as the station meant it;
            // the error log must say that it never reached the receiver.
            LogError(station, QString("Receiver command \"%1\" not sent: %2 %3")
                                  .arg(command)
                                  .arg(r.errorNumber)
                                  .arg(r.errorDescription));
            station.messages().ShowMessage(serialFailureText(r));
        }
        if (then)
            then(sent, sent                           ? QString()
                       : r.errorDescription.isEmpty() ? QStringLiteral("not sent")
                                                      : r.errorDescription);
    });
}

void RunStatusQuery(Station& station, ReceiverLink& link, const ReceiverExchange& exchange,
                    std::function<void(const QString&)> show) {
    link.run(exchange, [&station, show = std::move(show)](const ReceiverResult& r) {
        if (!r.opened)
            station.messages().ShowMessage(serialFailureText(r));
        else if (show)
            show(QString::fromLatin1(r.answer));
    });
}
