#include "schedule/schedule_views.h"

#include "station/station_state.h"

namespace {

QString abbreviation(const StationState& s, int day) {
    return s.DayNames[size_t(day)].left(3);
}

bool isDay(int d) {
    return d >= 1 && d <= 7;
}

// Sorts the key lines and shows each without its two-character key.
WeeklyScheduleLists sortAndShow(std::vector<SortedList::Item> keyLines) {
    WeeklyScheduleLists lists;
    lists.lstSort.addAll(std::move(keyLines));
    for (const SortedList::Item& item : lists.lstSort.items())
        lists.lstWeeklySchedule << item.text.mid(2);
    return lists;
}

QString key(int day) {
    return " " + QString::number(day);
}

// A column head over a field of the given width and what follows it.
QString head(const char* text, int width) {
    return QString(text).leftJustified(width);
}

} // namespace

WeeklyScheduleLists WeeklyPlaySchedule(const StationState& s) {
    std::vector<SortedList::Item> keyLines;
    for (const ScheduleFile::Entry& e : s.SatListFile.scan()) {
        for (size_t k = 0; k < e.fields.PlayTimes.size(); ++k) {
            const QString& time = e.fields.PlayTimes[k];
            if (time.trimmed().isEmpty())
                continue;
            const int d = int(k / 4) + 1;
            keyLines.push_back(
                {key(d) + abbreviation(s, d) + " " + time + " " + e.fields.SatName, int32_t(e.n)});
        }
    }
    return sortAndShow(std::move(keyLines));
}

WeeklyScheduleLists WeeklyRecordSchedule(const StationState& s) {
    std::vector<SortedList::Item> keyLines;
    const auto records = [](const ScheduleRecord& r) {
        return r.recChan() == "1" || r.recChan() == "2";
    };
    for (const ScheduleFile::Entry& e : s.SatListFile.scan(records)) {
        const ScheduleFields& f = e.fields;
        for (size_t r = 0; r < f.RecDays.size(); ++r) {
            const int d = f.RecDays[r];
            // A stray 8 or 9 names no weekday and counts as Off, as in the finders.
            if (!isDay(d))
                continue;
            keyLines.push_back({key(d) + abbreviation(s, d) + " " + f.RecTimes[r] + "  " +
                                    abbreviation(s, int(r) + 1) + " " + f.SatName + " " + f.RecChan,
                                int32_t(e.n)});
        }
    }
    return sortAndShow(std::move(keyLines));
}

QString WeeklyPlayHeadings() {
    return head("Day", 3 + 1) + head("Time", 8 + 1) + "Name";
}

QString WeeklyRecordHeadings() {
    // The second day is the one whose row of the editor's grid holds the time.
    return head("Day", 3 + 1) + head("Time", 8 + 2) + head("Row", 3 + 1) + head("Name", 25 + 1) +
           "CH";
}

std::vector<PrintLine> ScheduleListPrintout(const StationState& s,
                                            const std::vector<ScheduleNo>& order,
                                            const QDate& today) {
    const QString column5(4, ' ');
    std::vector<PrintLine> lines{
        {12, column5 + "Satellite Record Schedule " + today.toString("M/d/yyyy")},
        {12, " "},
        // "Name" at column 15, the heads at column 30, each over its field.
        {12, QString(14, ' ') + "Name" + QString(11, ' ') + "CH PT  NET   LEN RT AT"},
        {12, " "}};
    for (ScheduleNo n : order) {
        const auto record = s.SatListFile.read(n);
        if (!record)
            continue;
        const ScheduleFields f = record->parse();
        lines.push_back({12, column5 + f.SatName + " " + f.RecChan + "  " + f.SatPort + "  " +
                                 f.SatLang + "  " + f.SatLen + " " + f.SatRoute + "  " + f.SatAtt});
        QString rows;
        for (size_t r = 0; r < f.RecTimes.size(); ++r)
            if (!f.RecTimes[r].trimmed().isEmpty())
                rows += abbreviation(s, int(r) + 1) + ": " + f.RecTimes[r] + "  ";
        lines.push_back({11, column5 + rows});
        lines.push_back({11, " "});
    }
    return lines;
}
