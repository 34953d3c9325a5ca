#pragma once

#include "station/weekly_lists.h"

#include <QDateTime>
#include <QStringList>
#include <array>

class Station;

// Each finder picks, from the schedules in use, the next occurrence of its
// kind of event (channel 1, channel 2, switch only), stores it in the
// station state and writes its console label. With no candidate at all the
// previous choice stands.
// channel: 1 or 2.
void FindNextRecord(Station& station, int channel);
void FindNextSwitch(Station& station);
