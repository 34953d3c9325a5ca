#pragma once

#include "station/schedule_record.h"

#include <QString>
#include <QStringList>
#include <functional>

class Station;
class ReceiverLink;

// "SETAUDIO port route source att " as a cue sends it: the schedule's fields
// exactly as stored, blank padding included, and one trailing blank.
QString cueSetAudioCommand(const ScheduleFields& f);
// The switch-only form: the same without the trailing blank.
QString switchSetAudioCommand(const ScheduleFields& f);
// The set-up window's form: source and attenuation joined.
QString setupSetAudioCommand(int port, const QString& routeCode, const QString& source,
                             const QString& attenuation);

// The expansion-card relays that belong to a receiver audio port, switched
// off in this order when the port is switched: none for an unknown port.
QList<int> expansionRelaysOfPort(const QString& port);

// The command of relay-window button i for the query shown ("R R" or "R ER").
QString relayButtonCommand(const QString& query, int button);

struct ReceiverExchange;

// Runs a window's status query: a port that cannot be used is reported in
// the error window (even if the window has closed meanwhile), otherwise the
// answer goes to show.
void RunStatusQuery(Station& station, ReceiverLink& link, const ReceiverExchange& exchange,
                    std::function<void(const QString& answer)> show);

// Sends ReceiverCommand (carriage return appended) without reading an answer.
// A port that cannot be used is reported in the error window; then is called
// with whether the command went out and, when it did not, why.
void SendReceiverCommand(Station& station, ReceiverLink& link,
                         std::function<void(bool sent, const QString& why)> then = {});
