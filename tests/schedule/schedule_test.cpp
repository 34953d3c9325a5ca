#include "console/clock_tick.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/next_event_finder.h"
#include "schedule/schedule_conflicts.h"
#include "schedule/schedule_editor.h"
#include "schedule/schedule_views.h"
#include "schedule/time_change.h"
#include "station/source_codes.h"
#include "station/time_format.h"
#include "support/test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QStringList texts(const SortedList& list, bool numbers = false) {
    QStringList out;
    for (const auto& item : list.items())
        out << item.text + (numbers ? "=" + QString::number(item.number) : "");
    return out;
}

const auto name25 = [](const QString& name) { return name.leftJustified(25); };

class Schedules : public ::testing::Test {
protected:
    void SetUp() override { t.startUp(); }
    StationState& s() { return t.station->state; }
    ScheduleFile& file() { return t.station->state.SatListFile; }
    QString check(const ScheduleForm& f) { return ValidateScheduleForm(f, s().DayNames); }
    static ScheduleForm valid() {
        ScheduleForm f;
        f.SatName = "Morning";
        f.SatLen = "30:00";
        f.SatLang = "SR ";
        f.SatPort = "2";
        f.route = 3;
        f.SatAtt = "12";
        f.RecChan = "1";
        return f;
    }
    // A recording in the Monday row of the editor's grid (row 1 unless told).
    static ScheduleFields monday(const char* name, const char* time, const char* chan = "1",
                                 const char* port = "1", const char* length = "30:00",
                                 int row = 1) {
        ScheduleFields f = scheduleFields(name, chan, length);
        f.SatPort = port;
        f.RecDays[size_t(row)] = 2;
        f.RecTimes[size_t(row)] = time;
        return f;
    }

    TempStation t;
};

ScheduleFields sample() {
    ScheduleFields f = scheduleFields("Morning Report And Weather News", "1", "59:30");
    f.SatPort = "2";
    f.SatAtt = "14";
    f.PlayTimes[0] = "06:00:00";  // Sunday slot 0
    f.PlayTimes[5] = "07:30:00";  // Monday slot 1
    f.PlayTimes[27] = "23:59:00"; // Saturday slot 3
    f.RecDays = {2, 3, 0, 0, 0, 0, 7};
    f.RecTimes[0] = "05:00:00";
    f.RecTimes[1] = "05:00:10";
    f.RecTimes[6] = "23:00:00";
    return f;
}

TEST(ScheduleRecord, FieldsAreCutOrPaddedToTheirPlacesAndReadBack) {
    const QByteArray blank(8, ' ');
    const QByteArray expected = "1Morning Report And Weathe59:30AA12S14MT106:00:00" +
                                blank.repeated(4) + "07:30:00" + blank.repeated(21) + "23:59:00" +
                                "230000705:00:0005:00:10" + blank.repeated(4) + "23:00:00   ";
    EXPECT_EQ(ScheduleRecord::build(sample()).bytes(), expected);

    QByteArray b = expected;
    const ScheduleFields f = ScheduleRecord(b).parse();
    EXPECT_TRUE(f.inUse());
    EXPECT_EQ(ScheduleRecord::build(f).bytes(), b);
    EXPECT_EQ(f.PlayTimes[6], QString(8, ' '));

    b.replace(1, 25, "   Padded Name           ");
    b.replace(41, 8, "  9:00:0");
    b.replace(265, 7, " x3-5A9");
    const ScheduleFields odd = ScheduleRecord(b).parse();
    EXPECT_EQ(odd.SatName, "Padded Name              ");
    EXPECT_EQ(odd.PlayTimes[0], "9:00:0  ");
    EXPECT_EQ(odd.RecDays, (std::array<int, 7>{0, 0, 3, 0, 5, 0, 9}));

    const ScheduleRecord deleted = ScheduleRecord::deleted();
    EXPECT_EQ(deleted.bytes(), QByteArray("0") + QByteArray(330, ' '));
    EXPECT_FALSE(deleted.inUse() || deleted.parse().inUse());
    const ScheduleRecord shortOne(QByteArray("1Name"));
    EXPECT_EQ(shortOne.bytes().size(), 331);
    EXPECT_TRUE(shortOne.inUse());
    EXPECT_EQ(shortOne.parse().SatName.trimmed(), "Name");
}

// Records never move: a delete leaves a free slot, reused before the file
// grows; only "1" marks a schedule; a torn last record is none.
TEST_F(Schedules, FileReusesFreedSlotsKeepsTheNumbersAndHolds999AtMost) {
    const QString path = t.root() + "/list.dat";
    ScheduleFile f;
    ASSERT_TRUE(f.open(path, nullptr));
    const auto numbers = [](const ScheduleFile& file) {
        std::vector<ScheduleNo> ns;
        for (const auto& e : file.scan())
            ns.push_back(e.n);
        return ns;
    };
    EXPECT_FALSE(f.read(1).has_value());
    for (const char* name : {"One", "Two", "Three"})
        put(f, f.freeSlot(), scheduleFields(name));
    ASSERT_TRUE(f.deleteRecord(2));
    EXPECT_EQ(f.freeSlot(), 2);
    EXPECT_EQ(numbers(f), (std::vector<ScheduleNo>{1, 3}));
    put(f, f.freeSlot(), scheduleFields("New"));
    EXPECT_EQ(QFileInfo(path).size(), 3 * 331);
    EXPECT_EQ(f.read(2)->parse().SatName.trimmed(), "New");
    QByteArray odd = ScheduleRecord::build(scheduleFields("Odd")).bytes();
    odd[0] = 'X';
    ASSERT_TRUE(f.write(4, ScheduleRecord(odd)));
    EXPECT_EQ(f.freeSlot(), 4);
    EXPECT_EQ(numbers(f), (std::vector<ScheduleNo>{1, 2, 3}));

    ASSERT_TRUE(f.deleteRecord(1));
    f.close();
    TempStation::writeFile(path,
                           TempStation::readFile(path) +
                               ScheduleRecord::build(scheduleFields("Torn")).bytes().left(100));
    ScheduleFile again;
    ASSERT_TRUE(again.open(path, nullptr));
    EXPECT_EQ(numbers(again), (std::vector<ScheduleNo>{2, 3}));
    EXPECT_EQ(again.read(1)->bytes(), ScheduleRecord::deleted().bytes());
    // Edits still save in a full file.
    for (ScheduleNo n = 1; n <= ScheduleFile::MaxSchedules; ++n)
        put(file(), n, scheduleFields("Full"));
    EXPECT_EQ(file().freeSlot(), 1000);
    EXPECT_EQ(NewScheduleSlot(*t.station), 0);
    EXPECT_EQ(t.messages.shown,
              QStringList{"999 Schedules is maximum.  No new schedules are allowed."});
    put(file(), 500, scheduleFields("Edited", "2"));
    EXPECT_EQ(file().read(500)->parse().RecChan, "2");
    EXPECT_EQ(QFileInfo(t.host(ScheduleFile::StationPath)).size(), 999 * 331);
    ASSERT_TRUE(DeleteSchedule(*t.station, 640));
    EXPECT_EQ(NewScheduleSlot(*t.station), 640);
}

// Commas end codes as line ends do; the file's order is kept on reading.
// Added codes are upper-cased and sorted in; a comma would read back as two.
TEST_F(Schedules, SourceCodesAreReadInFileOrderAndSavedSorted) {
    const QString path = t.host(SourceCodesStationPath);
    TempStation::writeFile(path, "ZZ9\r\n AA1 , BB2\r\n\r\nBB2\n   \n\tCC3\t\nAA0");
    EXPECT_EQ(readSourceCodes(*t.paths), (QStringList{"ZZ9", "AA1", "BB2", "BB2", "CC3", "AA0"}));

    TempStation::writeFile(path, "SR1\r\naa1\r\nFN1\r\n");
    SourceCodeList list(*t.paths);
    list.load();
    EXPECT_EQ(texts(list.codes()), (QStringList{"aa1", "FN1", "SR1"}));
    EXPECT_EQ(list.add(" sr2 "), "");
    EXPECT_EQ(list.codes().selected, 3);
    EXPECT_EQ(list.add("Fn1"), "");
    EXPECT_EQ(list.codes().selected, 2) << "the last of the equal entries";
    EXPECT_EQ(list.add("   "), "");
    EXPECT_EQ(list.add("A,B"), "A source code cannot contain a comma.");
    const QByteArray saved = "aa1\r\nFN1\r\nFN1\r\nSR1\r\nSR2\r\n";
    EXPECT_EQ(TempStation::readFile(path), saved);

    // A failed save is reported and the list goes back to what the file held.
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_TRUE(readSourceCodes(*t.paths).isEmpty());
    const QString failure = list.add("AA1");
    EXPECT_TRUE(failure.startsWith("Cannot save c:\\satfile\\Source.dat: "))
        << failure.toStdString();
    EXPECT_EQ(texts(list.codes()).join("\r\n") + "\r\n", QString::fromLatin1(saved));
    // The editor stores what is typed as the receiver expects it.
    for (const auto& [typed, code] :
         {std::pair{"sr1", "SR1"}, {"sr ", "SR"}, {" xy", "XY"}, {"abcd", "ABC"}, {"   ", ""}})
        EXPECT_EQ(typedSourceCode(typed), code) << typed;
}

// Each case also breaks every later check, so the order shows.
TEST_F(Schedules, EditorChecksFailInTheirOrderAndLengthsAreReadOneWay) {
    const QString lengthFormat =
        "Time Error in length must be corrected before saving.  Format is HH:MM";
    ScheduleForm f = valid();
    f.PlayTimes[4] = "8:00:00";
    f.RecTimes[3] = "12-00-00";
    f.SatLen = "5:00";
    f.route = -1;
    f.SatPort = " ";
    f.SatLang = "   ";
    EXPECT_EQ(check(f), "You must select a Source");
    f.SatLang = "SR ";
    EXPECT_EQ(check(f), "You must select a Port");
    f.SatPort = "2";
    EXPECT_EQ(check(f), "You must select a Route");
    f.route = 0;
    EXPECT_EQ(check(f), lengthFormat);
    f.SatLen = "05:00";
    EXPECT_EQ(check(f), "Time Error in play schedule for Monday must be corrected before saving. "
                        "Format is HH:MM:SS");
    f.PlayTimes[4] = "99:99:99";
    EXPECT_EQ(check(f), "Time Error in record schedule for Wednesday must be corrected before "
                        "saving. Format is HH:MM:SS");
    f.RecTimes[3] = " ";
    EXPECT_EQ(check(f), "");
    for (const char* blank : {"", "  "}) {
        f.SatLen = blank;
        EXPECT_EQ(check(f), "You must enter a Length");
    }
    f.RecChan = "";
    EXPECT_EQ(check(f), "Select a channel to record or switch only");
    f.RecChan = "3";
    EXPECT_EQ(check(f), "") << "a switch only needs no length";
    f.SatLen = "5:00";
    EXPECT_EQ(check(f), lengthFormat);
    // The recorder and the conflict check read a length one way; the editor
    // takes only what that reading takes whole ("01:3" once recorded 60 s and
    // was checked as 63 s).
    const std::tuple<const char*, bool, int> cases[] = {
        {"30:00", true, 1800}, {"01:30", true, 90},  {"00:05", true, 5},  {"01:3", false, 60},
        {"1:30", false, 90},   {"01-30", false, 90}, {"ab:cd", false, 0}, {"     ", false, 0}};
    for (const auto& [text, saved, seconds] : cases) {
        f = valid();
        f.SatLen = text;
        EXPECT_EQ(check(f).isEmpty(), saved) << text;
        EXPECT_EQ(RecordLengthSeconds(text), seconds) << text;
    }
    // The record holds the boxes, and always manual play, timed record.
    ScheduleForm form = valid();
    form.SatLang = "sr";
    form.PlayTimes[27] = "23:00:00";
    form.RecDays[6] = 7;
    form.RecTimes[6] = "22:00:00";
    const QByteArray b = BuildScheduleRecord(form).bytes();
    EXPECT_EQ(b.mid(0, 41), "1Morning                  30:00SR 2R12MT1");
    EXPECT_EQ(b.mid(41 + 27 * 8, 8), "23:00:00");
    EXPECT_EQ(b.mid(265, 7), "0000007");
    EXPECT_EQ(b.mid(272 + 6 * 8, 8), "22:00:00");
}

// A deleted switch-only schedule must not stay the next switch. (The order
// by name, without regard to case, is the editor window's test.)
TEST_F(Schedules, ListEntriesSortNumericallyAndADeleteFindsTheNextSwitchAgain) {
    put(file(), 1, monday("Early", "11:00:00", "3"));
    put(file(), 2, monday("Late", "12:00:00", "3"));
    FindNextSwitch(*t.station);
    ASSERT_EQ(s().NextSwitchSlot, 1);
    ASSERT_TRUE(DeleteSchedule(*t.station, 1));
    EXPECT_EQ(s().NextSwitchSlot, 2);
    ASSERT_TRUE(DeleteSchedule(*t.station, 2));
    put(file(), 12, scheduleFields("alpha"));
    put(file(), 7, scheduleFields("Zulu"));
    put(file(), 3, scheduleFields("Beta"));
    EXPECT_EQ(texts(ScheduleListEntries(file(), ScheduleListView::ByNumber), true),
              (QStringList{"  3 " + name25("Beta") + "=3", "  7 " + name25("Zulu") + "=7",
                           " 12 " + name25("alpha") + "=12"}));
}

// Alpha records on Monday 08:00:00 for 30:00 on channel 1, port 1; Beta for
// 10:00. A window includes its end; recordings conflict only in the same row
// of the grid with a channel or a port in common.
TEST_F(Schedules, RecordConflictRulesAndTheOrderOfTheLines) {
    put(file(), 1, monday("Alpha", "08:00:00"));
    const QStringList line{"Record Alpha conflicts with Beta on Monday"}, none;
    // Beta's time, channel, port and row, and what the check finds.
    const std::tuple<const char*, const char*, const char*, int, QStringList> cases[] = {
        {"08:29:59", "1", "3", 1, line}, {"08:30:00", "1", "3", 1, line},
        {"08:30:01", "1", "1", 1, none}, {"08:10:00", "2", "3", 1, none},
        {"08:10:00", "2", "1", 1, line}, {"08:00:00", "1", "1", 3, none}};
    for (const auto& [time, chan, port, row, expected] : cases) {
        put(file(), 2, monday("Beta", time, chan, port, "10:00", row));
        EXPECT_EQ(ScheduleConflicts(s(), 1), expected)
            << time << " channel " << chan << " port " << port << " row " << row;
    }
    // Play findings first, whatever the channel; then by the other schedule's
    // number, slot or row, and A's window before B's. Names are trimmed, free
    // slots skipped, and an empty length is an instant.
    ScheduleFields a = monday(" Middle ", "10:00:00");
    a.PlayTimes[0] = "12:00:00";
    a.PlayTimes[27] = "20:00:00";
    ScheduleFields early = monday("Early", "10:20:00");
    early.PlayTimes[27] = "20:10:00";
    ScheduleFields late = monday("Late", "09:45:00");
    late.PlayTimes[0] = "11:59:59";
    ScheduleFields instant = monday("Switch", "10:00:00", "3");
    instant.PlayTimes[0] = "12:00:00";
    instant.PlayTimes[1] = "00:00:10"; // Middle plays nothing in that slot
    put(file(), 3, early);
    put(file(), 5, a);
    put(file(), 7, late);
    put(file(), 8, instant);
    put(file(), 9, early);
    ASSERT_TRUE(file().deleteRecord(9));

    EXPECT_EQ(ScheduleConflicts(s(), 5),
              (QStringList{"Play Early conflicts with Middle on Saturday @ 20:10:00",
                           "Play Middle conflicts with Late on Sunday @ 12:00:00",
                           "Play Switch conflicts with Middle on Sunday @ 12:00:00",
                           "Play Middle conflicts with Switch on Sunday @ 12:00:00",
                           "Record Middle conflicts with Early on Monday",
                           "Record Late conflicts with Middle on Monday",
                           "Record Middle conflicts with Switch on Monday",
                           "Record Switch conflicts with Middle on Monday"}));
}

void expectHeadsOver(const QString& heads, const QString& line,
                     std::initializer_list<std::pair<const char*, const char*>> fields) {
    for (const auto& [head, field] : fields)
        EXPECT_EQ(heads.indexOf(head), line.indexOf(field))
            << head << " in " << heads.toStdString();
}

// Play: every play time in week order, then time, then name. Record: no
// switches, no rows that name no day.
TEST_F(Schedules, WeeklyViewsAndPrintoutPutFieldsUnderTheirHeads) {
    ScheduleFields news = scheduleFields("news");
    news.PlayTimes[4] = "08:00:00";  // Monday, column 0
    news.PlayTimes[15] = "07:00:00"; // Wednesday, column 3
    ScheduleFields sw = monday("Alpha Switch", "04:00:00", "3");
    sw.PlayTimes[7] = "08:00:00"; // Monday, column 3: same time, name sorts first
    ScheduleFields rec = scheduleFields("Evening", "2");
    rec.RecDays = {0, 6, 2, 9, 0, 0, 0};
    // Row 0 is Off, row 1 is Friday in the Monday row, row 2 has a day and
    // no time, row 3 a stray 9.
    rec.RecTimes[0] = "05:00:00";
    rec.RecTimes[1] = "19:00:00";
    rec.RecTimes[3] = "01:00:00";
    put(file(), 1, news);
    put(file(), 2, sw);
    put(file(), 3, rec);
    put(file(), 4, news);
    ASSERT_TRUE(file().deleteRecord(4));

    const WeeklyScheduleLists play = WeeklyPlaySchedule(s());
    EXPECT_EQ(play.lstWeeklySchedule,
              (QStringList{"Mon 08:00:00 " + name25("Alpha Switch"),
                           "Mon 08:00:00 " + name25("news"), "Wed 07:00:00 " + name25("news")}));
    expectHeadsOver(WeeklyPlayHeadings(), play.lstWeeklySchedule.first(),
                    {{"Day", "Mon"}, {"Time", "08:00:00"}, {"Name", "Alpha"}});
    const QStringList lines = WeeklyRecordSchedule(s()).lstWeeklySchedule;
    EXPECT_EQ(lines, (QStringList{"Mon " + QString(8, ' ') + "  Tue " + name25("Evening") + " 2",
                                  "Fri 19:00:00  Mon " + name25("Evening") + " 2"}));
    expectHeadsOver(
        WeeklyRecordHeadings(), lines.last(),
        {{"Day", "Fri"}, {"Time", "19:00:00"}, {"Row", "Mon"}, {"Name", "Evening"}, {"CH", "2"}});
    ScheduleFields a = scheduleFields("Alpha");
    a.SatPort = "4";
    a.SatLang = "SR";
    a.SatAtt = "14";
    a.RecDays[2] = 3;
    a.RecTimes[2] = "06:00:00";
    a.RecTimes[6] = "23:00:00";
    put(file(), 7, a);
    put(file(), 12, scheduleFields("Beta", "3"));

    const auto printed = ScheduleListPrintout(s(), {12, 7}, QDate(2026, 3, 2));
    ASSERT_EQ(printed.size(), 10u);
    EXPECT_EQ(printed[0].text, "    Satellite Record Schedule 3/2/2026");
    EXPECT_EQ(printed[2].text,
              QString(14, ' ') + "Name" + QString(11, ' ') + "CH PT  NET   LEN RT AT");
    EXPECT_EQ(printed[4].text,
              "    " + name25("Beta") + " 3  1  AA1  " + QString(5, ' ') + " S  0 ");
    EXPECT_EQ(printed[7].text, "    " + name25("Alpha") + " 1  4  SR   00:30 S  14");
    EXPECT_EQ(printed[8].text, "    Tue: 06:00:00  Sat: 23:00:00  ");
    EXPECT_EQ(printed[5].text, "    ");
    for (size_t i = 0; i < printed.size(); ++i)
        EXPECT_EQ(printed[i].pointSize, i < 4 || i % 3 == 1 ? 12 : 11) << i;
}

// One schedule holding every case in its rows, with play times that must not
// move.
ScheduleRecord everyCase() {
    ScheduleFields f = scheduleFields("Changes");
    f.PlayTimes[0] = "00:15:00";
    f.PlayTimes[27] = "23:45:00";
    f.RecDays = {3, 1, 7, 6, 0, 5, 0};
    f.RecTimes = {"06:30:00", "00:15:00", "23:45:00", "23:00:00", "00:30:00", "", "09:10:11"};
    return ScheduleRecord::build(f);
}

// Armed in the three seconds before 01:59:57, the timer runs four seconds; only
// hours move, across midnight too. The schedule is written after start-up, so
// only the move can make the console count down to the moved times.
TEST(ScheduleTimeChange, MovesTheSchedulesOnItsDatesOnceLogsItAndFollowsTheYear) {
    // The date, the switch, the hours moved, the log line, channel 1's next
    // take; the record days and each row's hours as moved.
    const std::tuple<QDate, int16_t, int, const char*, const char*, QByteArray, QByteArray>
        cases[] = {{QDate(2026, 3, 8), 1, -1, "01:59:58  Updated Schedules for DST\r\n", "05:30:00",
                    "37760 0", "0523222223  08"},
                   {QDate(2026, 11, 1), 1, +1, "01:59:58  Updated Schedules for Standard Time\r\n",
                    "07:30:00", "31170 0", "0701000001  10"},
                   {QDate(2026, 3, 8), 0, 0, "", "", "", ""},
                   {QDate(2026, 3, 9), 1, 0, "", "", "", ""}};
    for (const auto& [date, adjust, shift, log, nextRec, days, hours] : cases) {
        TempStation t(QDateTime(date, QTime(1, 59, 0)));
        t.writeSettings({{Setting::ActivityLogOn, 1}, {Setting::TimeChangeAdjust, adjust}});
        ScheduleTimeChange timeChange{*t.station};
        ClockDispatcher dispatcher(*t.station, {.timeChange = &timeChange});
        ASSERT_TRUE(dispatcher.Form_Load().ok);
        ScheduleFile& file = t.station->state.SatListFile;
        ASSERT_TRUE(file.write(2, everyCase()));
        // Due within the hour on the change date: moved back, it is already past.
        putOnDay(file, 3, "Early", "2", StationWeekday(date), "02:30:00");
        QByteArray moved = everyCase().bytes();
        for (int r = 0; shift && r < 7; ++r)
            moved.replace(265, 7, days).replace(272 + 8 * r, 2, hours.mid(2 * r, 2));
        t.time.advanceTo(QDateTime(date, QTime(2, 2, 0)));
        EXPECT_EQ(file.read(2)->bytes(), moved) << log;
        EXPECT_EQ(t.log("AL", date), log);
        EXPECT_EQ(t.log("ER", date),
                  shift < 0 ? "01:59:58  Early due at 02:30:00 moved to 01:30:00 for DST, a time "
                              "already past: it is lost today\r\n"
                            : "")
            << log;
        EXPECT_EQ(t.station->state.Rec(1).NextRecTime, QString(nextRec)) << log;
        EXPECT_EQ(t.station->state.Rec(1).NextRecDay, shift ? 3 : 0) << log;
        // A clock set back over the arming seconds does not move them again.
        t.time.jumpTo(QDateTime(date, QTime(1, 59, 50)));
        t.time.advance(20000);
        timeChange.AdjustForTimeChange();
        EXPECT_EQ(file.read(2)->bytes(), moved) << log;
    }
    // A console left running into a new year moves the schedules on that year's
    // dates.
    TempStation t(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 50)));
    ClockDispatcher dispatcher(*t.station, TickHandoffs{});
    ASSERT_TRUE(dispatcher.Form_Load().ok);
    t.time.advanceTo(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 10)));
    EXPECT_EQ(std::pair(t.station->state.SpringChangeDate, t.station->state.FallChangeDate),
              std::pair(QDate(2027, 3, 14), QDate(2027, 11, 7)));
}

} // namespace
