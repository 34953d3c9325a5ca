#pragma once

#include "station/sorted_list.h"

#include <QDateTime>
#include <QStringList>
#include <array>
#include <memory>

// The finders' reading of the schedule file (schedule/next_event_finder.cpp).
struct FinderRows;

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
    // What the finders last read of the schedule file, with the bytes it was
    // read from: parsed again only when the file's bytes differ.
    std::shared_ptr<const FinderRows> finderRows;
};
