#pragma once

#include "console/sorted_list.h"

#include <QDateTime>
#include <QStringList>
#include <array>

class Station;

// The weekly schedule window's two lists, which the finders use as their
// work space: lstSort holds the keyed candidates, lstWeeklySchedule the
// last run's candidates in order, without their keys.
struct WeeklyScheduleLists {
    SortedList lstSort;
    QStringList lstWeeklySchedule;
    // Occurrences already reported as crowded out by another schedule at the
    // same moment on the same channel, so each is reported once.
    QStringList crowdedOut;
    // The moment of the occurrence each finder chose last (channel 1,
    // channel 2, switch).
    std::array<QDateTime, 3> chosenAt;
};

// Each finder picks, from the schedules in use, the next occurrence of its
// kind of event (channel 1, channel 2, switch only), stores it in the
// station state and writes its console label. With no candidate at all the
// previous choice stands.
void FindNextRecord1(Station& station);
void FindNextRecord2(Station& station);
void FindNextSwitch(Station& station);
