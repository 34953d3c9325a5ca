#include "app/command_line.h"
#include "app/frmWeekAhead.h"
#include "app/receiver_answers.h"
#include "app/week_ahead.h"
#include "fakes/assembled_station.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/next_event_finder.h"
#include "support/test.h"
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>

namespace {

const QDateTime Wednesday10(QDate(2026, 3, 4), QTime(10, 0, 0));

class FinderRereadTest : public ::testing::Test {
protected:
    FinderRereadTest() : t(Wednesday10), file(t.station->state.SatListFile) { t.startUp(); }
    TempStation t;
    ScheduleFile& file;
};

// The finders keep their parse of the schedule file between runs: an edit
// by anyone, of the same size within the same second, must still be seen.
TEST_F(FinderRereadTest, EveryRunSeesTheFileAsItIsNow) {
    putSchedule(file, 1, "First", "1", {{4, "11:00:00"}});
    putSchedule(file, 2, "Second", "1", {{4, "12:00:00"}});
    // Another program's open of the file: the slot it writes on Wednesday at
    // the time given, or deletes, and the schedule channel 1 must take next.
    ScheduleFile other;
    ASSERT_TRUE(other.open(t.host(ScheduleFile::StationPath), nullptr));
    const std::tuple<ScheduleNo, const char*, ScheduleNo> steps[] = {
        {0, "", 1}, {2, "10:30:00", 2}, {3, "10:10:00", 3}, {3, "", 2}, {2, "", 1}};
    for (const auto& [edited, time, slot] : steps) {
        if (*time) {
            putSchedule(other, edited, "Second", "1", {{4, time}});
        } else if (edited) {
            ASSERT_TRUE(other.deleteRecord(edited));
        }
        FindNextRecord(*t.station, 1);
        EXPECT_EQ(t.station->state.Rec(1).NextRecSlot, slot) << edited << time;
    }
}

// Saturday 7 March 2026, 22:00: the change to daylight-saving time falls on
// the Sunday after, at 02:00.
const QDateTime BeforeTheChange(QDate(2026, 3, 7), QTime(22, 0, 0));

QStringList lines(const std::vector<WeekAheadEvent>& events, const QStringList& kinds) {
    QStringList out;
    for (const WeekAheadEvent& e : events)
        if (kinds.contains(e.kind))
            out << e.at.toString("dd HH:mm:ss ") + e.kind + " " + e.channel + " " + e.details;
    return out;
}

// The dry run is the live station ahead of time: the same schedule file run
// live on virtual time must send the receiver the same bytes in the same
// seconds and make the same takes, across a time change that moves them.
TEST(WeekAheadTest, TheDryRunDoesWhatTheLiveStationDoes) {
    TempStation t(BeforeTheChange);
    AssembledStation a(t);
    using enum Setting;
    // Receiver polls twice an hour, the time change on.
    t.writeSettings({{CommPortNo, 1},
                     {BaudIndex, 2},
                     {ActivityLogOn, 1},
                     {WaveDriveNo, 3},
                     {EbNoLogInterval, 2},
                     {RecDevice2, 1},
                     {TimeChangeAdjust, 1}});
    {
        ScheduleFile file;
        openSchedules(file, t);
        putOnDay(file, 1, "Late news", "1", 7, "22:30:00", "01:00");
        putOnDay(file, 2, "Night music", "2", 7, "23:59:30", "01:00");
        putOnDay(file, 3, "Early switch", "3", 1, "01:30:00");
        putOnDay(file, 4, "Morning news", "1", 1, "06:30:00", "01:00");
        putOnDay(file, 6, "Also late", "1", 7, "22:30:00", "01:00");
    }
    const QByteArray schedules = TempStation::readFile(t.host(ScheduleFile::StationPath));

    const WeekAhead dry = RunWeekAhead(t.paths->config(), BeforeTheChange, 1);
    ASSERT_TRUE(dry.ok) << dry.error.toStdString();
    EXPECT_EQ(TempStation::readFile(t.host(ScheduleFile::StationPath)), schedules);
    EXPECT_FALSE(QDir(t.host("c:\\satfile\\logs")).exists());

    std::vector<WeekAheadEvent> live;
    ReceiverAnswers receiver;
    a.serial.answer = [&](const QByteArray& bytes) {
        const QString text = QString::fromLatin1(bytes).replace('\r', "\\r");
        live.push_back({t.time.now(), "receiver", "-", '"' + text + '"'});
        return receiver.answer(bytes.chopped(1));
    };
    a.level[0] = a.level[1] = 20000;
    StationAssembly& parts = a.assemble();
    t.station->logLineHeard = [&](const QString& prefix, const QString& text) {
        if (prefix == "AL" && (text.startsWith("Record ") || text.startsWith("Stop   ")))
            live.push_back(
                {t.time.now(), text.left(7).trimmed().toLower(), "-", text.mid(7).trimmed()});
    };
    a.startCards();
    ASSERT_TRUE(parts.dispatcher.Form_Load().ok);
    t.time.advanceTo(BeforeTheChange.addDays(1));
    t.station->logLineHeard = nullptr;

    EXPECT_EQ(lines(dry.events, {"receiver"}), lines(live, {"receiver"}));
    QStringList dryTakes;
    for (const WeekAheadEvent& e : dry.events)
        if (e.kind == "record" || e.kind == "stop")
            dryTakes << e.at.toString("dd HH:mm:ss ") + e.kind + " " +
                            e.details.section(" (", 0, 0).section(" after ", 0, 0);
    EXPECT_EQ(dryTakes, lines(live, {"record", "stop"}).replaceInStrings(" - ", " "));
    EXPECT_GE(lines(live, {"receiver"}).filter("SETAUDIO").size(), 4);

    // Morning news moved from 06:30 to 05:30; the first of the two at the
    // same moment took the channel and the other is reported.
    EXPECT_EQ(lines(dry.events, {"timechange", "shift"}),
              (QStringList{"08 01:59:58 timechange - Updated Schedules for DST",
                           "08 01:59:58 shift 1 Late news (schedule 1) row 7: Sat 22:30:00 -> "
                           "Sat 21:30:00",
                           "08 01:59:58 shift 2 Night music (schedule 2) row 7: Sat 23:59:30 -> "
                           "Sat 22:59:30",
                           "08 01:59:58 shift 3 Early switch (schedule 3) row 1: Sun 01:30:00 -> "
                           "Sun 00:30:00",
                           "08 01:59:58 shift 1 Morning news (schedule 4) row 1: Sun 06:30:00 -> "
                           "Sun 05:30:00",
                           "08 01:59:58 shift 1 Also late (schedule 6) row 7: Sat 22:30:00 -> Sat "
                           "21:30:00"}));
    EXPECT_THAT(lines(dry.events, {"record"}),
                testing::Contains("08 05:29:59 record 1 Morning news"));
    EXPECT_EQ(lines(dry.events, {"conflict"}).filter("Also late").size(), 1);
    EXPECT_EQ(lines(dry.events, {"stop"}).filter("Night music").filter(" after 01:00").size(),
              lines(dry.events, {"stop"}).filter("Night music").size());
}

TEST_F(FinderRereadTest, TheWindowListsFiltersAndFollowsTheScheduleFile) {
    // Every day, so that one falls within a day of now, when it is said.
    std::vector<std::pair<int, QString>> daily;
    for (int day = 1; day <= 7; ++day)
        daily.emplace_back(day, "11:00:00");
    putSchedule(file, 1, "A first", "1", daily);
    putSchedule(file, 2, "B crowded", "1", daily);
    frmWeekAhead window(t.paths->config(), t.host(ScheduleFile::StationPath));
    QAbstractItemModel& rows = *window.lstWeekAhead->model();
    const auto find = [&](const QString& text) {
        return rows.match(rows.index(0, 4), Qt::DisplayRole, text, 1, Qt::MatchContains);
    };
    const auto shows = [&](const QString& text) { return !find(text).isEmpty(); };
    ASSERT_TRUE(waitUntil([&] { return shows("A first (schedule 1)"); }))
        << window.lblStatus->text().toStdString();
    const auto conflicts = find("B crowded due");
    ASSERT_FALSE(conflicts.isEmpty());
    EXPECT_TRUE(conflicts.first().data(Qt::BackgroundRole).isValid());
    window.cboKind->setCurrentIndex(window.cboKind->findData("conflict"));
    ASSERT_GT(rows.rowCount(), 0);
    for (int row = 0; row < rows.rowCount(); ++row)
        EXPECT_EQ(rows.index(row, 2).data().toString(), "conflict");
    window.cboKind->setCurrentIndex(0);
    putOnDay(file, 3, "Added later", "2", 5, "08:00:00");
    EXPECT_TRUE(waitUntil([&] { return shows("Added later"); }));
}

TEST(WeekAheadTest, ThePurgeIsShownAndTouchesNothingReal) {
    TempStation t(BeforeTheChange);
    t.writeSettings({{Setting::WaveDriveNo, 3}, {Setting::WaveKeepDays, 1}});
    const QString saturday = t.host("c:\\satfile\\SFSAT005.WAV");
    TempStation::writeFile(saturday, QByteArray(4096, 'x'), BeforeTheChange.addDays(-7));
    const WeekAhead dry = RunWeekAhead(t.paths->config(), BeforeTheChange, 1);
    ASSERT_TRUE(dry.ok) << dry.error.toStdString();
    EXPECT_EQ(lines(dry.events, {"purge"}),
              (QStringList{"08 00:00:30 purge - Deleted Saturday Sound Files",
                           "08 00:00:30 purge - would delete C:\\satfile\\SFSAT005.WAV"}));
    EXPECT_EQ(QFileInfo(saturday).size(), 4096);
}

TEST(WeekAheadTest, CommandLineTakesADayCount) {
    const std::vector<std::tuple<QStringList, std::optional<int>, std::optional<int>>> cases = {
        {{"--week-ahead"}, 7, std::nullopt},           {{"--week-ahead", "3"}, 3, std::nullopt},
        {{"--week-ahead", "0"}, std::nullopt, 2},      {{"--week-ahead", "many"}, std::nullopt, 2},
        {{"--week-ahead", "3", "4"}, std::nullopt, 2}, {{"3"}, std::nullopt, 2},
    };
    for (const auto& [arguments, days, exitStatus] : cases) {
        const CommandLine c = CommandLine::parse(QStringList{"varnola"} + arguments);
        EXPECT_EQ(std::pair(c.weekAheadDays, c.exitStatus), std::pair(days, exitStatus))
            << arguments.join(' ').toStdString();
    }
}

} // namespace
