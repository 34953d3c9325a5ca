#include "app/mnuMenu.h"
#include "fakes/assembled_station.h"
#include "fakes/schedules.h"
#include "logs/frmActivityLog.h"
#include "station/log_files.h"
#include "support/test.h"
#include "windows/frmAbout.h"
#include "windows/frmError.h"
#include "windows/frmHelp.h"
#include "windows/level_meter.h"

#include <QtWidgets>

namespace {

// Depth first: a menu, then its entries.
QList<QAction*> actionsOf(const QList<QAction*>& actions) {
    QList<QAction*> out;
    for (QAction* a : actions)
        out +=
            QList<QAction*>{a} + (a->menu() ? actionsOf(a->menu()->actions()) : QList<QAction*>{});
    return out;
}

// On a console built with all its parts. Exit is the session's below.
TEST(MenuWalkTest, EveryEntryOpensItsWindowOrActs) {
    TempStation t;
    t.writeSettings({{Setting::CommPortNo, 1}, {Setting::BaudIndex, 2}, {Setting::WaveDriveNo, 3}});
    AssembledStation a(t);
    StationAssembly& parts = a.assemble();
    mnuMenu menu(*t.station, parts.dispatcher, nullptr, ConsoleParts::of(parts));
    ASSERT_TRUE(menu.Form_Load().ok);
    menu.show();

    QStringList silent;
    const auto visibleWindows = [] {
        QSet<QWidget*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                out.insert(w);
        return out;
    };
    for (QAction* a : actionsOf(menu.menuBar()->actions())) {
        if (a->menu() || a->isSeparator() || a == menu.mnuFileExit)
            continue;
        const QString name = a->objectName();
        if (name == "mnuLoadPlayList") {
            t.station->state.PlayListMode = 1;
            a->trigger();
            EXPECT_EQ(t.station->state.PlayListMode, 0);
            continue;
        }
        const QSet<QWidget*> before = visibleWindows();
        a->trigger();
        QTest::qWait(0);
        const QSet<QWidget*> after = visibleWindows();
        if ((after - before).isEmpty() && !after.contains(menu.findChild<QWidget*>()))
            silent << name;
        // The next entry may open the same window afresh; close what opened.
        for (QWidget* w : after - before)
            w->close();
        t.time.advance(5000); // let any receiver query finish
    }
    EXPECT_TRUE(silent.isEmpty()) << silent.join(", ").toStdString();
    t.station->ShutDown();
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : t(QDateTime(QDate(2026, 12, 5), QTime(7, 5, 12))) {}
    void load(const SettingRecords& settings = {}) {
        t.writeSettings(settings);
        const StartUpResult r = menu.Form_Load();
        ASSERT_TRUE(r.ok) << r.message.toStdString();
        menu.show();
    }

    TempStation t;
    frmError errorWindow;
    ClockDispatcher dispatcher{*t.station, TickHandoffs{}};
    mnuMenu menu{*t.station, dispatcher, &errorWindow};
};

TEST_F(MainWindowTest, FailedLoadLeavesTheClockStopped) {
    Station other(t.time, t.time, *t.paths, t.messages);
    ASSERT_TRUE(other.StartUp().ok); // holds the data folder
    EXPECT_FALSE(menu.Form_Load().ok);
    EXPECT_FALSE(menu.tmrClock().isEnabled());
}

// A new station's settings are all zero: the console says what its
// schedules still need until it is set. The log viewer is found as the
// console's first dialog, so before any other opens.
TEST_F(MainWindowTest, ASessionFromLoadToExit) {
    ScheduleFile file;
    openSchedules(file, t);
    putSchedule(file, 1, "Morning", "1", {{1, "09:00:00"}});
    load();
    EXPECT_EQ(menu.lblClock->text(), "Saturday  12/05/2026  Day 339  07:05:12");
    EXPECT_FALSE(menu.lblSetUp->isHidden());
    EXPECT_EQ(menu.lblSetUp->text().toStdString(),
              "Not set up: no wave drive (SetUp \u2192 My Computer); no serial port (SetUp \u2192 "
              "Communications); the activity log is off (SetUp \u2192 My Computer)");
    StationState& s = t.station->state;
    std::tie(s.WaveDrive, s.CommPortNo, s.ActivityLogOn) = std::tuple("C", 1, 1);
    t.time.advance(1000);
    EXPECT_EQ(menu.lblClock->text(), "Saturday  12/05/2026  Day 339  07:05:13");
    EXPECT_TRUE(menu.lblSetUp->isHidden());

    TempStation::writeFile(t.host(logFileStationPath("AL", QDate(2026, 12, 4))), "01:00:00  a\r\n");
    TempStation::writeFile(t.host(logFileStationPath("EB", QDate(2026, 12, 3))), "01:00:00  e\r\n");
    for (const auto& [entry, day] :
         {std::pair{menu.ActivityLog, "12/04/26"}, {menu.mnuEbNo, "12/03/26"}}) {
        entry->trigger();
        const auto* viewer = menu.findChild<frmActivityLog*>();
        ASSERT_EQ(viewer->lstDate->count(), 1);
        EXPECT_EQ(viewer->lstDate->item(0)->text(), day);
    }

    for (QAction* a : {menu.mnuHelp, menu.mnuHelp, menu.mnuAbout, menu.mnuAbout})
        a->trigger();
    const auto helps = menu.findChildren<frmHelp*>();
    const auto abouts = menu.findChildren<frmAbout*>();
    ASSERT_EQ(helps.size() + abouts.size(), 2);
    EXPECT_TRUE(helps[0]->isVisible() && !abouts[0]->isModal());

    int exits = 0;
    bool hookRan = false;
    menu.setExitHandler([&] { ++exits; });
    t.station->addShutdownHook([&] { hookRan = true; });
    t.messages.answers = {false, false, true};
    EXPECT_FALSE(menu.close());
    menu.mnuFileExit->trigger();
    EXPECT_EQ(t.messages.asked, (QStringList{"Exit Varnola?|Varnola", "Exit Varnola?|Varnola"}));
    EXPECT_TRUE(menu.isVisible() && menu.tmrClock().isEnabled());
    EXPECT_FALSE(t.station->isShutDown() || hookRan || exits);
    menu.mnuFileExit->trigger();
    EXPECT_FALSE(menu.isVisible() || menu.tmrClock().isEnabled());
    EXPECT_TRUE(hookRan && t.station->isShutDown() && exits == 1);
}

// Texts go in as plain text.
TEST_F(MainWindowTest, RendersTheDisplayModel) {
    load({{Setting::PlayButtonVisible, 1}, {Setting::StopButtonVisible, 1}});
    ConsoleDisplay& d = t.station->display;
    d.Rec(2).lblNextToRecord = "Next to Record Channel 2:  Monday  News <b>x</b>";
    d.PlayList.add("20:00:00  Evening", 2);
    d.PlayList.add("15:00:00  Afternoon", 1);
    d.PlayList.selected = 0;
    d.PlayListVisible = true;
    d.cmdStopVisible = d.PlayingVisible = false;
    d.Rec(2).LevelLeft = 20000;
    menu.render();
    const auto* next = menu.findChild<QLabel*>("lblNextRecordTwo");
    EXPECT_EQ(next->text(), d.Rec(2).lblNextToRecord);
    EXPECT_EQ(next->textFormat(), Qt::PlainText);
    ASSERT_EQ(menu.PlayList->count(), 2);
    EXPECT_EQ(menu.PlayList->currentItem()->text(), "15:00:00  Afternoon");
    EXPECT_TRUE(menu.PlayList->isVisible() && menu.Label1->isVisible() &&
                menu.cmdPlay->isVisible());
    EXPECT_FALSE(menu.cmdStop->isVisible() || menu.Label2->isVisible() ||
                 menu.MMLevelX1->isVisible());
    EXPECT_EQ(menu.findChild<LevelMeter*>("MMLevelX5")->level(), 20000);
    d.PlayList.removeAt(0);
    d.PlayListVisible = false;
    menu.render();
    EXPECT_EQ(menu.PlayList->count(), 1);
    EXPECT_FALSE(menu.PlayList->isVisible());
}

} // namespace
