#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/next_event_finder.h"
#include "support/test.h"

namespace {

// Wednesday 4 March 2026, 10:00:00.
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
    // Another open of the file, as another program would write it.
    ScheduleFile other;
    ASSERT_TRUE(other.open(t.host(ScheduleFile::StationPath), nullptr));
    const std::vector<std::pair<std::function<void()>, ScheduleNo>> steps = {
        {[] {}, 1},
        {[&] {
             putSchedule(other, 2, "Second", "1", {{4, "10:30:00"}});
         },
         2},
        {[&] {
             putSchedule(other, 3, "Third", "1", {{4, "10:10:00"}});
         },
         3},
        {[&] { ASSERT_TRUE(other.deleteRecord(3)); }, 2},
        {[&] { ASSERT_TRUE(other.deleteRecord(2)); }, 1},
    };
    for (const auto& [edit, slot] : steps) {
        edit();
        FindNextRecord(*t.station, 1);
        EXPECT_EQ(t.station->state.Rec(1).NextRecSlot, slot);
    }
}

// Equal moments are ordered by the rest of the text without regard to case,
// texts that compare equal in record order.
TEST_F(FinderRereadTest, EqualMomentsKeepTheListOrder) {
    putSchedule(file, 1, "beta", "2", {{4, "11:00:00"}});
    putSchedule(file, 2, "ALPHA", "2", {{4, "11:00:00"}});
    putSchedule(file, 3, "alpha", "2", {{4, "11:00:00"}, {3, "09:00:00"}});
    FindNextRecord(*t.station, 2);
    std::vector<int32_t> numbers;
    for (const auto& item : t.station->weeklyLists.lstSort.items())
        numbers.push_back(item.number);
    EXPECT_EQ(numbers, (std::vector<int32_t>{1402, 1403, 1401, 2013}));
}

} // namespace
