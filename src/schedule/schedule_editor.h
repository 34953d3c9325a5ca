#pragma once

#include "station/schedule_record.h"
#include "station/sorted_list.h"

#include <QString>
#include <QStringList>
#include <array>

class PlayListControl;
class ScheduleFile;
class Station;

// The schedule editor's rules. The window holds the controls; everything it
// decides goes through these functions, which tests call directly.

enum class ScheduleListView { ByName, ByNumber };

// One entry per schedule in use, carrying its number, sorted by text with
// letter case ignored. By name the text is the name in 25 characters; by
// number the number right-aligned in three, a blank, then the name, so the
// list comes out in number order.
SortedList ScheduleListEntries(const ScheduleFile& file, ScheduleListView view);

// A stored field as a number as far as its digits go: blanks around it are
// dropped and anything else ends the number ("3 " is 3, " " and "x" are 0).
int StoredNumber(const QString& field);

// The receiver's route codes in the order of the editor's route list.
inline const std::array<QString, 4> RouteCodes{"1", "2", "S", "R"};
// The route list's index of a stored code; -1 for any other code.
int RouteIndex(const QString& SatRoute);

// What the editor's controls hold.
struct ScheduleForm {
    QString SatName;
    QString SatLen;
    QString SatLang;
    QString SatPort;
    int route = -1; // index into RouteCodes, -1 when none is selected
    QString SatAtt;
    // "1", "2" or "3" once a channel is chosen; blank until then.
    QString RecChan;
    std::array<QString, 28> PlayTimes;
    std::array<int, 7> RecDays{}; // index of the day list: 0 = Off .. 7 = Saturday
    std::array<QString, 7> RecTimes;
};

// The checks Apply makes, in order; the message of the first that fails, or
// nothing when the form may be saved. Only the colons of times are checked.
QString ValidateScheduleForm(const ScheduleForm& form, const std::array<QString, 8>& DayNames);

// The record Apply writes. The start modes are always "M" and "T".
ScheduleRecord BuildScheduleRecord(const ScheduleForm& form);

// Apply after the checks: writes the record at n, runs the conflict checks
// and then the three finders. The check or write failure goes to the error
// window and nothing else happens.
struct ApplyResult {
    bool saved = false;
    QStringList conflicts;
};
ApplyResult ApplySchedule(Station& station, ScheduleNo n, const ScheduleForm& form);

// The slot a new schedule takes; 0, with the message shown, when the file
// already holds the most schedules allowed.
ScheduleNo NewScheduleSlot(Station& station);

// Frees slot n and runs the finders again; false, with the message shown,
// when the file could not be written.
bool DeleteSchedule(Station& station, ScheduleNo n);

// The console's playlist built afresh after editing, as at start-up: the
// rest of today's plays (and the programme on air). Skipped without a
// playlist.
void RebuildPlayListAfterEditing(Station& station, PlayListControl* playList);
