#include "schedule/schedule_editor.h"

#include "schedule/next_event_finder.h"
#include "schedule/schedule_conflicts.h"
#include "station/messages.h"
#include "station/source_codes.h"
#include "station/station.h"
#include "station/tick_handoffs.h"

namespace {

// A time box passes when it is blank or has its colons in place.
bool timeTextOk(const QString& text) {
    return text.trimmed().isEmpty() || (text.size() >= 6 && text.at(2) == ':' && text.at(5) == ':');
}

} // namespace

SortedList ScheduleListEntries(const ScheduleFile& file, ScheduleListView view) {
    std::vector<SortedList::Item> entries;
    for (const ScheduleFile::Entry& e : file.scan()) {
        QString text = e.fields.SatName;
        if (view == ScheduleListView::ByNumber)
            text = QString::number(e.n).rightJustified(3) + " " + text;
        entries.push_back({text, int32_t(e.n)});
    }
    SortedList list;
    list.addAll(std::move(entries));
    return list;
}

int StoredNumber(const QString& field) {
    const QString text = field.trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && text.at(digits).isDigit())
        ++digits;
    return text.left(digits).toInt();
}

int RouteIndex(const QString& SatRoute) {
    for (size_t i = 0; i < RouteCodes.size(); ++i)
        if (RouteCodes[i] == SatRoute)
            return int(i);
    return -1;
}

QString ValidateScheduleForm(const ScheduleForm& form, const std::array<QString, 8>& DayNames) {
    if (form.RecChan.trimmed().isEmpty())
        return "Select a channel to record or switch only";
    // A length of blanks would record nothing at all, as an empty one would.
    if (form.RecChan != "3" && form.SatLen.trimmed().isEmpty())
        return "You must enter a Length";
    if (form.SatLang.trimmed().isEmpty())
        return "You must select a Source";
    if (form.SatPort.trimmed().isEmpty())
        return "You must select a Port";
    if (form.route < 0 || form.route >= int(RouteCodes.size()))
        return "You must select a Route";
    if (!form.SatLen.trimmed().isEmpty() && !RecordLengthReadable(form.SatLen))
        return "Time Error in length must be corrected before saving.  Format is HH:MM";
    for (size_t k = 0; k < form.PlayTimes.size(); ++k)
        if (!timeTextOk(form.PlayTimes[k]))
            return "Time Error in play schedule for " + DayNames[k / 4 + 1] +
                   " must be corrected before saving. Format is HH:MM:SS";
    for (size_t r = 0; r < form.RecTimes.size(); ++r)
        if (!timeTextOk(form.RecTimes[r]))
            return "Time Error in record schedule for " + DayNames[r + 1] +
                   " must be corrected before saving. Format is HH:MM:SS";
    return {};
}

ScheduleRecord BuildScheduleRecord(const ScheduleForm& form) {
    ScheduleFields f;
    f.SatName = form.SatName;
    f.SatLen = form.SatLen;
    f.SatLang = typedSourceCode(form.SatLang);
    f.SatPort = form.SatPort;
    f.SatRoute = RouteCodes.at(size_t(form.route));
    f.SatAtt = form.SatAtt;
    f.SatPlayStart = "M";
    f.SatRecordStart = "T";
    f.RecChan = form.RecChan;
    f.PlayTimes = form.PlayTimes;
    f.RecDays = form.RecDays;
    f.RecTimes = form.RecTimes;
    return ScheduleRecord::build(f);
}

ApplyResult ApplySchedule(Station& station, ScheduleNo n, const ScheduleForm& form) {
    StationState& s = station.state;
    if (const QString failed = ValidateScheduleForm(form, s.DayNames); !failed.isEmpty()) {
        station.messages().ShowMessage(failed);
        return {};
    }
    QString reason;
    if (n < 1 || !s.SatListFile.write(n, BuildScheduleRecord(form), &reason)) {
        station.messages().ShowMessage(QString("Schedule %1 was not saved: %2").arg(n).arg(reason));
        return {};
    }
    ApplyResult result{true, ScheduleConflicts(s, n)};
    FindNextRecord(station, 1);
    FindNextRecord(station, 2);
    FindNextSwitch(station);
    return result;
}

ScheduleNo NewScheduleSlot(Station& station) {
    const ScheduleNo slot = station.state.SatListFile.freeSlot();
    if (slot > ScheduleFile::MaxSchedules) {
        station.messages().ShowMessage("999 Schedules is maximum.  No new schedules are allowed.");
        return 0;
    }
    return slot;
}

bool DeleteSchedule(Station& station, ScheduleNo n) {
    QString reason;
    if (n < 1 || !station.state.SatListFile.deleteRecord(n, &reason)) {
        station.messages().ShowMessage(
            QString("Schedule %1 was not deleted: %2").arg(n).arg(reason));
        return false;
    }
    FindNextRecord(station, 1);
    FindNextRecord(station, 2);
    // A deleted switch-only schedule must not stay the next switch.
    FindNextSwitch(station);
    return true;
}

void RebuildPlayListAfterEditing(Station& station, PlayListControl* playList) {
    if (!playList)
        return;
    station.display.PlayList.clear();
    station.state.PlayListMode = 1;
    playList->BuildPlayList();
}
