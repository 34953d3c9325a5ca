#include "fakes/virtual_time.h"
#include "support/test.h"

#include <vector>

namespace {

// The week-long tick tests rely on the fake firing each timer at its own
// moment, in order, with the clock showing that moment.
TEST(VirtualTimeTest, TimersFireInOrderAtTheirDueTimes) {
    VirtualTime time(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 59)));
    auto fast = time.create(50);
    auto slow = time.create(1000);
    std::vector<QString> fired;
    fast->setHandler([&] { fired.push_back("fast " + time.now().toString("HH:mm:ss.zzz")); });
    slow->setHandler([&] {
        fired.push_back("slow " + time.now().toString("HH:mm:ss.zzz"));
        slow->setEnabled(false);
    });
    fast->setEnabled(true);
    slow->setEnabled(true);
    time.advance(1050);
    ASSERT_EQ(fired.size(), 22u);
    EXPECT_EQ(fired.front(), "fast 23:59:59.050");
    // At equal moments the timer waiting longest goes first.
    EXPECT_EQ(fired[19], "slow 00:00:00.000");
    EXPECT_EQ(fired[20], "fast 00:00:00.000");
    EXPECT_EQ(fired.back(), "fast 00:00:00.050");
    EXPECT_FALSE(slow->isEnabled());
    EXPECT_EQ(time.now().date(), QDate(2026, 3, 3));
}

TEST(VirtualTimeTest, EnablingAnEnabledTimerDoesNotRestartIt) {
    VirtualTime time(QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
    auto t = time.create(1000);
    int count = 0;
    t->setHandler([&] { ++count; });
    t->setEnabled(true);
    time.advance(600);
    t->setEnabled(true);
    time.advance(400);
    EXPECT_EQ(count, 1);
}

} // namespace
