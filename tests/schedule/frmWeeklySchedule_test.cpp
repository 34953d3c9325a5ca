#include "schedule/frmWeeklySchedule.h"
#include "support/test.h"

#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "schedule/schedule_views.h"

#include <QLabel>
#include <QListWidget>

namespace {

class WeeklyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        ScheduleFields f = scheduleFields("News");
        f.PlayTimes[4] = "08:00:00";
        f.RecDays[0] = 2;
        f.RecTimes[0] = "07:00:00";
        put(t.station->state.SatListFile, 1, f);
    }
    QStringList shown() const {
        QStringList texts;
        for (int i = 0; i < w->lstWeeklySchedule->count(); ++i)
            texts << w->lstWeeklySchedule->item(i)->text();
        return texts;
    }

    TempStation t;
    std::unique_ptr<frmWeeklySchedule> w;
};

TEST_F(WeeklyWindowTest, EachViewFillsAfreshUnderItsCaption) {
    w = std::make_unique<frmWeeklySchedule>(*t.station, frmWeeklySchedule::View::Play);
    w->show();
    EXPECT_EQ(w->windowTitle(), "Weekly Play Schedule");
    EXPECT_EQ(shown(), QStringList{"Mon 08:00:00 " + QString("News").leftJustified(25)});
    EXPECT_FALSE(w->lstSort->isVisible());
    EXPECT_EQ(w->lstSort->item(0)->text(), " 2" + shown().first());
    EXPECT_EQ(w->lblHeadings->text(), WeeklyPlayHeadings());

    w->showView(frmWeeklySchedule::View::Record);
    EXPECT_EQ(w->windowTitle(), "Weekly Record Schedule");
    EXPECT_EQ(shown(),
              QStringList{"Mon 07:00:00  Sun " + QString("News").leftJustified(25) + " 1"});
    EXPECT_EQ(w->lstSort->count(), 1);
    EXPECT_EQ(w->lblHeadings->text(), WeeklyRecordHeadings());
    EXPECT_TRUE(w->lblHeadings->isVisible());
}

} // namespace
