#include "schedule/next_event_finder.h"

#include "platform/clock.h"
#include "station/log_files.h"
#include "station/station.h"
#include "station/time_format.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// What differs between the three finders; everything else is one rule.
struct FinderKind {
    const char* recChan;
    const char* what; // names the channel in the error log
    size_t index;     // of its chosen moment
    const char* labelText;
};

const FinderKind Switch{"3", "Switch", 2, "Next to Switch:  "};

FinderKind recordKind(int channel) {
    return channel == 1 ? FinderKind{"1", "Record channel 1", 0, "Next to Record Channel 1:  "}
                        : FinderKind{"2", "Record channel 2", 1, "Next to Record Channel 2:  "};
}

// The occurrence a finder chose: its schedule, the row of the day it is in,
// its day and time, and the console's line for it.
struct Found {
    ScheduleNo slot;
    int entry;
    int day;
    ScheduleFields fields;
    QString label;
};

QString dayName(const StationState& s, int day) {
    return day >= 0 && day <= 7 ? s.DayNames[size_t(day)] : QString();
}

// Another schedule at the very moment of the chosen one, on the same channel,
// is never chosen: the one ahead of it in the list takes the channel. That
// programme is lost, and the error log must say so, once.
void reportCrowdedOut(Station& station, const FinderKind& kind, const QDateTime& now, int today) {
    WeeklyScheduleLists& lists = station.weeklyLists;
    const std::vector<SortedList::Item>& items = lists.lstSort.items();
    // The key, the day and the time: the first 14 characters of an entry.
    const QStringView moment = QStringView(items.at(0).text).left(14);
    const auto nameOf = [](const SortedList::Item& item) { return item.text.mid(20).trimmed(); };
    // Said on the day, within a day of the moment, not a week ahead.
    const QDateTime at(now.date().addDays(moment.left(2).toInt() - 10 - today),
                       QTime::fromString(moment.mid(6).toString(), "HH:mm:ss"));
    if (now.secsTo(at) >= DaySeconds)
        return;
    for (size_t i = 1; i < items.size() && QStringView(items[i].text).left(14) == moment; ++i) {
        const QString id = QString("%1 %2 %3")
                               .arg(items[i].number)
                               .arg(at.date().toString(Qt::ISODate))
                               .arg(moment.mid(6));
        if (lists.crowdedOut.contains(id))
            continue;
        lists.crowdedOut << id;
        LogError(station, QString("%1: %2 due at %3 on %4 is not done: %5 has the channel then")
                              .arg(kind.what, nameOf(items[i]), moment.mid(6).toString(),
                                   moment.mid(2, 3).toString(), nameOf(items.at(0))));
    }
}

} // namespace

// One record row of a schedule in use that falls on a real weekday, as the
// finders list it. Only real weekdays can be counted down to; a stray digit
// 8 or 9 is as good as Off.
struct FinderRow {
    ScheduleNo n;
    int entry;
    int recDay;
    int recSecs;
    QString recTime;
    QString name;
    // The list text after the key, and its place among all rows' texts in
    // the list's order, so that a run sorts numbers instead of texts.
    QString text;
    uint32_t rank = 0;
    // The whole list text for this week's occurrence and next week's (keys
    // recDay + 10 and recDay + 17): a run then copies, never builds, a text.
    std::array<QString, 2> keyed;
};

struct FinderRows {
    QByteArray bytes;
    std::array<QString, 8> dayNames;
    struct Chan {
        // In record and row order.
        std::vector<FinderRow> rows;
        // Per weekday the rows falling on it, in the list's order: by text,
        // equal texts in record and row order.
        std::array<std::vector<uint32_t>, 8> byDay;
    };
    // By record channel "1", "2", "3".
    std::array<Chan, 3> ofChan;
};

namespace {

std::shared_ptr<const FinderRows> readFinderRows(const StationState& s, const QByteArray& bytes,
                                                 const SortedList& order) {
    auto rows = std::make_shared<FinderRows>();
    rows->bytes = bytes;
    rows->dayNames = s.DayNames;
    std::vector<FinderRow*> all;
    for (qsizetype at = 0; at < bytes.size(); at += ScheduleRecord::Length) {
        const ScheduleRecord rec(bytes.mid(at, ScheduleRecord::Length));
        const int chan = rec.bytes().at(40) - '1';
        if (!rec.inUse() || chan < 0 || chan > 2)
            continue;
        const ScheduleFields f = rec.parse();
        for (int i = 0; i < 7; ++i) {
            const int recDay = f.RecDays[size_t(i)];
            if (recDay < 1 || recDay > 7)
                continue;
            const QString& recTime = f.RecTimes[size_t(i)];
            QString text;
            text.reserve(4 + 8 + 2 + 4 + f.SatName.size());
            text += QStringView(dayName(s, recDay)).left(3);
            text += ' ';
            text += recTime;
            text += QLatin1String("  ");
            text += QStringView(dayName(s, i + 1)).left(3);
            text += ' ';
            text += f.SatName;
            rows->ofChan[size_t(chan)].rows.push_back({at / ScheduleRecord::Length + 1,
                                                       i,
                                                       recDay,
                                                       TimeTextSeconds(recTime),
                                                       recTime,
                                                       f.SatName,
                                                       std::move(text),
                                                       0,
                                                       {}});
        }
    }
    for (auto& chan : rows->ofChan) {
        for (FinderRow& row : chan.rows) {
            for (int week = 0; week < 2; ++week) {
                const int key = row.recDay + 10 + 7 * week;
                row.keyed[size_t(week)] = QString::number(key) + row.text;
            }
            all.push_back(&row);
        }
    }
    std::stable_sort(all.begin(), all.end(), [&](const FinderRow* a, const FinderRow* b) {
        return order.less(a->text, b->text);
    });
    uint32_t rank = 0;
    for (size_t k = 1; k < all.size(); ++k) {
        if (order.less(all[k - 1]->text, all[k]->text))
            ++rank;
        all[k]->rank = rank;
    }
    for (auto& chan : rows->ofChan) {
        for (uint32_t k = 0; k < chan.rows.size(); ++k)
            chan.byDay[size_t(chan.rows[k].recDay)].push_back(k);
        for (auto& day : chan.byDay)
            std::stable_sort(day.begin(), day.end(), [&](uint32_t a, uint32_t b) {
                return chan.rows[a].rank < chan.rows[b].rank;
            });
    }
    return rows;
}

// The rows of the file as it is now: read on every run, so an edit made a
// moment ago counts, but parsed only when its bytes changed.
std::shared_ptr<const FinderRows> finderRows(Station& station) {
    const StationState& s = station.state;
    WeeklyScheduleLists& lists = station.weeklyLists;
    const QByteArray bytes = s.SatListFile.recordBytes();
    if (!lists.finderRows || lists.finderRows->bytes != bytes ||
        lists.finderRows->dayNames != s.DayNames)
        lists.finderRows = readFinderRows(s, bytes, lists.lstSort);
    return lists.finderRows;
}

std::optional<Found> findNext(Station& station, const FinderKind& kind) {
    StationState& s = station.state;
    WeeklyScheduleLists& lists = station.weeklyLists;
    lists.lstWeeklySchedule.clear();
    lists.lstSort.clear();

    const QDateTime now = station.clock().now();
    const int today = StationWeekday(now.date());
    const QString nowText = now.time().toString("HH:mm:ss");

    // Earlier today the station counted down to the occurrence chosen last
    // time; one of this kind that came between it and now was never chosen
    // (the channel was still busy with it) and is lost.
    const int nowSecs = TimeTextSeconds(nowText);
    const QDateTime& previous = lists.chosenAt[kind.index];
    const bool previousPassed = previous.isValid() && previous.date() == now.date() &&
                                previous.time().msecsSinceStartOfDay() / 1000 < nowSecs;
    const int previousAt = previousPassed ? previous.time().msecsSinceStartOfDay() / 1000 : nowSecs;
    QStringList passedOver;

    const std::shared_ptr<const FinderRows> file = finderRows(station);
    const FinderRows::Chan& chan = file->ofChan[size_t(kind.recChan[0] - '1')];
    for (const FinderRow& row : chan.rows) {
        if (row.recDay == today && row.recSecs > previousAt && row.recSecs < nowSecs) {
            const QString id = QString("%1 %2 %3 %4")
                                   .arg(row.n)
                                   .arg(row.entry)
                                   .arg(now.date().toString(Qt::ISODate), row.recTime);
            if (!lists.crowdedOut.contains(id)) {
                lists.crowdedOut << id;
                passedOver << QString("%1: %2 due at %3 was passed over while the channel was busy")
                                  .arg(kind.what, row.name.trimmed(), row.recTime);
            }
        }
    }
    std::vector<SortedList::Item> candidates;
    candidates.reserve(chan.rows.size());
    lists.lstWeeklySchedule.reserve(qsizetype(chan.rows.size()));
    // Key d + 10, then the row and the record number: "12", 3, 5 gives 1235.
    const auto add = [&](const FinderRow& row, int key) {
        int32_t number = key * 10 + row.entry;
        for (ScheduleNo m = row.n; m > 0; m /= 10)
            number *= 10;
        candidates.push_back({row.keyed[key > row.recDay + 10], number + int32_t(row.n)});
        lists.lstWeeklySchedule << row.text;
    };
    // The list's order by key: the days from today to Saturday (key d + 10),
    // then those up to today a week on (d + 17), each day's rows already in
    // the list's order. A row of today earlier than now is a week on; one
    // equal to now stays today.
    for (int d = today; d <= 7; ++d)
        for (const uint32_t k : chan.byDay[size_t(d)])
            if (d != today || !(chan.rows[k].recTime < nowText))
                add(chan.rows[k], d + 10);
    for (int d = 1; d <= today; ++d)
        for (const uint32_t k : chan.byDay[size_t(d)])
            if (d != today || chan.rows[k].recTime < nowText)
                add(chan.rows[k], d + 17);
    for (const QString& line : passedOver)
        LogError(station, line);
    lists.lstSort.assignInOrder(std::move(candidates));
    if (lists.lstSort.isEmpty())
        return std::nullopt;

    reportCrowdedOut(station, kind, now, today);

    const QString chosen = QString::number(lists.lstSort.at(0).number);
    int d = chosen.left(2).toInt() - 10;
    const int i = chosen.mid(2, 1).toInt();
    const ScheduleNo n = chosen.mid(3).toLongLong();
    lists.chosenAt[kind.index] =
        QDateTime(now.date().addDays(d - today),
                  QTime::fromString(lists.lstSort.at(0).text.mid(6, 8), "HH:mm:ss"));
    if (d > 7)
        d -= 7;

    const auto rec = s.SatListFile.read(n);
    if (!rec)
        return std::nullopt;
    Found found{n, i, d, rec->parse(), {}};
    QString name = found.fields.SatName;
    while (name.endsWith(' '))
        name.chop(1);
    found.label = kind.labelText + dayName(s, i + 1) + "  " + name + " on  " + dayName(s, d) +
                  "   @ " + found.fields.RecTimes[size_t(i)];
    return found;
}

} // namespace

void FindNextRecord(Station& station, int channel) {
    const auto found = findNext(station, recordKind(channel));
    if (!found)
        return;
    RecordChannelState& c = station.state.Rec(channel);
    c.NextRecSlot = found->slot;
    c.NextRecName = found->fields.SatName;
    c.NextRecTime = found->fields.RecTimes[size_t(found->entry)];
    c.NextRecDay = found->day;
    c.NextRecEntry = found->entry;
    station.display.Rec(channel).lblNextToRecord = found->label;
}

void FindNextSwitch(Station& station) {
    const auto found = findNext(station, Switch);
    if (!found)
        return;
    StationState& s = station.state;
    s.NextSwitchSlot = found->slot;
    s.NextSwitchName = found->fields.SatName;
    s.NextSwitchTime = found->fields.RecTimes[size_t(found->entry)];
    s.NextSwitchDay = found->day;
    station.display.lblNextSwitch = found->label;
}
