#include "schedule/schedule_editor.h"
#include "support/test.h"

#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/next_event_finder.h"

namespace {

class EditorRulesTest : public ::testing::Test {
protected:
    void SetUp() override { t.startUp(); }
    StationState& s() { return t.station->state; }
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

    TempStation t;
};

const QString LengthFormat =
    "Time Error in length must be corrected before saving.  Format is HH:MM";

// Each case also breaks every later check, so the order shows.
TEST_F(EditorRulesTest, ChecksFailInTheirOrderWithTheirMessages) {
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
    EXPECT_EQ(check(f), LengthFormat);
    f.SatLen = "05:00";
    EXPECT_EQ(check(f), "Time Error in play schedule for Monday must be corrected before saving. "
                        "Format is HH:MM:SS");
    f.PlayTimes[4] = "99:99:99";
    EXPECT_EQ(check(f), "Time Error in record schedule for Wednesday must be corrected before "
                        "saving. Format is HH:MM:SS");
    f.RecTimes[3] = " ";
    EXPECT_EQ(check(f), "");

    f.SatLen = "";
    EXPECT_EQ(check(f), "You must enter a Length");
    f.SatLen = "  ";
    EXPECT_EQ(check(f), "You must enter a Length");
    f.RecChan = "";
    EXPECT_EQ(check(f), "Select a channel to record or switch only");
    f.RecChan = "3";
    EXPECT_EQ(check(f), "") << "a switch only needs no length";
    f.SatLen = "5:00";
    EXPECT_EQ(check(f), LengthFormat);
}

// The recorder and the conflict check read a length one way; the editor
// takes only what that reading takes whole ("01:3" once recorded 60 s and
// was checked as 63 s).
TEST_F(EditorRulesTest, LengthsAreReadOneWayAndOnlyWholeOnesAreSaved) {
    const struct {
        const char* text;
        bool saved;
        int seconds;
    } cases[] = {{"30:00", true, 1800}, {"01:30", true, 90}, {"00:05", true, 5},
                 {"01:3", false, 60},   {"1:30", false, 90}, {"01-30", false, 90},
                 {"ab:cd", false, 0},   {"     ", false, 0}};
    for (const auto& c : cases) {
        ScheduleForm f = valid();
        f.SatLen = c.text;
        EXPECT_EQ(check(f).isEmpty(), c.saved) << c.text;
        EXPECT_EQ(RecordLengthSeconds(c.text), c.seconds) << c.text;
    }
}

TEST_F(EditorRulesTest, RecordHoldsTheBoxesAndAlwaysManualPlayTimedRecord) {
    ScheduleForm f = valid();
    f.PlayTimes[27] = "23:00:00";
    f.RecDays[6] = 7;
    f.RecTimes[6] = "22:00:00";
    const QByteArray b = BuildScheduleRecord(f).bytes();
    EXPECT_EQ(b.mid(0, 41), "1Morning                  30:00SR 2R12MT1");
    EXPECT_EQ(b.mid(41 + 27 * 8, 8), "23:00:00");
    EXPECT_EQ(b.mid(265, 7), "0000007");
    EXPECT_EQ(b.mid(272 + 6 * 8, 8), "22:00:00");
}

TEST_F(EditorRulesTest, ByNumberEntriesRightAlignTheNumberAndSortNumerically) {
    put(s().SatListFile, 12, scheduleFields("alpha"));
    put(s().SatListFile, 7, scheduleFields("Zulu"));
    put(s().SatListFile, 3, scheduleFields("Beta"));
    const auto texts = [](const SortedList& l) {
        QStringList out;
        for (const auto& item : l.items())
            out << item.text + "=" + QString::number(item.number);
        return out;
    };
    const auto name = [](const char* n) { return QString(n).leftJustified(25); };
    EXPECT_EQ(texts(ScheduleListEntries(s().SatListFile, ScheduleListView::ByNumber)),
              (QStringList{"  3 " + name("Beta") + "=3", "  7 " + name("Zulu") + "=7",
                           " 12 " + name("alpha") + "=12"}));
    EXPECT_EQ(texts(ScheduleListEntries(s().SatListFile, ScheduleListView::ByName)),
              (QStringList{name("alpha") + "=12", name("Beta") + "=3", name("Zulu") + "=7"}));
}

TEST_F(EditorRulesTest, NewRefusesAtNineHundredNinetyNineUntilOneIsDeleted) {
    const ScheduleRecord rec = ScheduleRecord::build(scheduleFields("Full"));
    for (ScheduleNo n = 1; n <= 999; ++n)
        ASSERT_TRUE(s().SatListFile.write(n, rec));
    EXPECT_EQ(NewScheduleSlot(*t.station), 0);
    EXPECT_EQ(t.messages.shown,
              QStringList{"999 Schedules is maximum.  No new schedules are allowed."});
    ASSERT_TRUE(DeleteSchedule(*t.station, 640));
    EXPECT_EQ(NewScheduleSlot(*t.station), 640);
}

// A deleted switch-only schedule must not stay the next switch.
TEST_F(EditorRulesTest, DeleteFreesTheSlotAndFindsTheNextSwitchAgain) {
    ScheduleFields early = scheduleFields("Early", "3"), late = scheduleFields("Late", "3");
    early.RecDays[1] = late.RecDays[1] = 2; // today, Monday
    early.RecTimes[1] = "11:00:00";
    late.RecTimes[1] = "12:00:00";
    put(s().SatListFile, 1, early);
    put(s().SatListFile, 2, late);
    FindNextSwitch(*t.station);
    ASSERT_EQ(s().NextSwitchSlot, 1);
    ASSERT_TRUE(DeleteSchedule(*t.station, 1));
    EXPECT_EQ(s().NextSwitchSlot, 2);
    EXPECT_EQ(s().SatListFile.read(1)->bytes(), ScheduleRecord::deleted().bytes());
}

} // namespace
