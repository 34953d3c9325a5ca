#include "schedule/schedule_conflicts.h"
#include "support/test.h"

#include "fakes/schedules.h"
#include "fakes/temp_station.h"

namespace {

class ConflictTest : public ::testing::Test {
protected:
    void SetUp() override { t.startUp(); }
    StationState& s() { return t.station->state; }
    // Row 1 of the editor's grid is the Monday row.
    ScheduleFields mondayRecording(const QString& name, const QString& time,
                                   const QString& chan = "1", const QString& length = "30:00") {
        ScheduleFields f = scheduleFields(name, chan, length);
        f.RecDays[1] = 2;
        f.RecTimes[1] = time;
        return f;
    }

    TempStation t;
};

TEST_F(ConflictTest, RecordWindowIncludesItsEndAndNotASecondMore) {
    put(s().SatListFile, 1, mondayRecording("Alpha", "08:00:00"));
    const QStringList line{"Record Alpha conflicts with Beta on Monday"};
    for (const auto& [time, expected] : {std::pair{"08:29:59", line}, std::pair{"08:30:00", line},
                                         std::pair{"08:30:01", QStringList{}}}) {
        put(s().SatListFile, 2, mondayRecording("Beta", time, "1", "10:00"));
        EXPECT_EQ(RecordTimeConflicts(s(), 1), expected) << time;
    }
}

TEST_F(ConflictTest, RecordChecksNeedTheSameRowAndAChannelOrPortInCommon) {
    put(s().SatListFile, 1, mondayRecording("Alpha", "08:00:00"));
    ScheduleFields other = mondayRecording("Beta", "08:10:00", "2");
    other.SatPort = "3";
    put(s().SatListFile, 2, other);
    EXPECT_TRUE(ScheduleConflicts(s(), 1).isEmpty());

    other.SatPort = "1"; // another channel, but the same receiver port
    put(s().SatListFile, 2, other);
    EXPECT_EQ(RecordTimeConflicts(s(), 1),
              QStringList{"Record Alpha conflicts with Beta on Monday"});

    ScheduleFields otherRow = scheduleFields("Gamma");
    otherRow.RecDays[3] = 2; // Monday too, but in the Wednesday row
    otherRow.RecTimes[3] = "08:00:00";
    put(s().SatListFile, 2, otherRow);
    EXPECT_TRUE(RecordTimeConflicts(s(), 1).isEmpty());
}

TEST_F(ConflictTest, EqualPlayStartsGiveBothLinesWhateverTheChannel) {
    ScheduleFields a = scheduleFields("Alpha");
    ScheduleFields b = scheduleFields("Beta", "3");
    a.PlayTimes[8] = b.PlayTimes[8] = "18:00:00"; // Tuesday, column 0
    b.PlayTimes[9] = "06:00:00";                  // only Beta plays in column 1
    put(s().SatListFile, 1, a);
    put(s().SatListFile, 2, b);
    EXPECT_EQ(PlayTimeConflicts(s(), 1),
              (QStringList{"Play Beta conflicts with Alpha on Tuesday @ 18:00:00",
                           "Play Alpha conflicts with Beta on Tuesday @ 18:00:00"}));
}

// Play findings first; then by the other schedule's number, slot or row, and
// test (a) before (b). A itself, free slots and an empty length's instant
// follow the same rules.
TEST_F(ConflictTest, LinesComeInTheirOrder) {
    ScheduleFields a = mondayRecording(" Middle ", "10:00:00");
    a.PlayTimes[0] = "12:00:00";
    a.PlayTimes[27] = "20:00:00";
    ScheduleFields early = mondayRecording("Early", "10:20:00");
    early.PlayTimes[27] = "20:10:00";
    ScheduleFields late = mondayRecording("Late", "09:45:00");
    late.PlayTimes[0] = "11:59:59";
    ScheduleFields instant = mondayRecording("Switch", "10:00:00", "3");
    instant.SatPort = "1";
    put(s().SatListFile, 3, early);
    put(s().SatListFile, 5, a);
    put(s().SatListFile, 7, late);
    put(s().SatListFile, 8, instant);
    put(s().SatListFile, 9, early);
    ASSERT_TRUE(s().SatListFile.deleteRecord(9));

    EXPECT_EQ(ScheduleConflicts(s(), 5),
              (QStringList{"Play Early conflicts with Middle on Saturday @ 20:10:00",
                           "Play Middle conflicts with Late on Sunday @ 12:00:00",
                           "Record Middle conflicts with Early on Monday",
                           "Record Late conflicts with Middle on Monday",
                           "Record Middle conflicts with Switch on Monday",
                           "Record Switch conflicts with Middle on Monday"}));
}

} // namespace
