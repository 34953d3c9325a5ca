#include "app/mnuMenu.h"
#include "fakes/temp_station.h"
#include "logs/frmActivityLog.h"
#include "station/log_files.h"
#include "support/test.h"
#include "windows/frmAbout.h"
#include "windows/frmError.h"
#include "windows/frmHelp.h"
#include "windows/level_meter.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QSet>
#include <QStyleOption>
#include <QTextEdit>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : t(QDateTime(QDate(2026, 12, 5), QTime(7, 5, 12))) {}
    void load() {
        const StartUpResult r = menu.Form_Load();
        ASSERT_TRUE(r.ok) << r.message.toStdString();
    }
    template <typename T> T* find(const char* name) {
        T* w = menu.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    TempStation t;
    frmError errorWindow;
    ClockDispatcher dispatcher{*t.station, TickHandoffs{}};
    mnuMenu menu{*t.station, dispatcher, &errorWindow};
};

TEST_F(MainWindowTest, EveryControlIsThereWithItsCaption) {
    for (const char* name :
         {"lblClock", "lblNextToRecord", "lblRecTime", "lblNextRecordTwo", "lblRecTimeTwo",
          "lblNextSwitch", "lblSwitchTimer", "lblRecordNameOne", "lblRecordTimerOne",
          "lblRecordNameTwo", "lblRecordTimerTwo", "lblPlayDay", "lblPlayTime"})
        find<QLabel>(name);
    EXPECT_EQ(find<QLabel>("Label3")->text(), "Record Chan 1");
    EXPECT_EQ(find<QLabel>("Label6")->text(), "Record Chan 2");
    EXPECT_EQ(find<QLabel>("Label1")->text(), "Playlist");
    EXPECT_EQ(find<QLabel>("Label2")->text(), "Play");
    find<QListWidget>("PlayList");
    for (const char* name : {"MMLevelX1", "MMLevelX2", "MMLevelScaleX1", "MMLevelX3", "MMLevelX4",
                             "MMLevelScaleX2", "MMLevelX5", "MMLevelX6", "MMLevelScaleX3"})
        find<LevelMeter>(name);
    EXPECT_EQ(find<QPushButton>("cmdPlay")->text(), "Play");
    EXPECT_EQ(find<QPushButton>("cmdPlay")->toolTip(), "Plays the first item in the playlist");
    EXPECT_EQ(find<QPushButton>("cmdStop")->text(), "&Stop");
    EXPECT_EQ(find<QPushButton>("Command1")->text(), "Cue Rec 1");
    EXPECT_EQ(find<QPushButton>("Command2")->text(), "Stop 1");
    EXPECT_EQ(find<QPushButton>("cmdCueTwo")->text(), "Cue Rec 2");
    EXPECT_EQ(find<QPushButton>("cmdStopTwo")->text(), "Stop 2");
}

TEST_F(MainWindowTest, MenuBarHasTheMenusInOrderWithTheirEntries) {
    QStringList bar;
    for (QAction* a : menu.menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"&File", "SetUp", "&View", "H&istory", "&Help", "&About"}));

    const auto entries = [](QMenu* m) {
        QStringList out;
        for (QAction* a : m->actions())
            out << a->text();
        return out;
    };
    EXPECT_EQ(entries(menu.mnuFile), (QStringList{"Save Data Files", "Load Data Files", "E&xit"}));
    EXPECT_EQ(entries(menu.mnuSetUp), (QStringList{"My Computer", "Program Source Codes",
                                                   "Communications", "&Load Play List", "&Audition",
                                                   "AutoExport", "&Schedule", "Set &Receiver"}));
    EXPECT_EQ(entries(menu.mnuView),
              (QStringList{"&Play Schedule", "&Record Schedule", "Receiver &Status"}));
    EXPECT_EQ(entries(menu.mnuReceiverStatus),
              (QStringList{"&Carrier", "&MPEG", "&Relays", "&Extended Relays",
                           "Receiver Serial  &Port", "&Settings"}));
    EXPECT_EQ(entries(menu.mnuHistory), (QStringList{"&Eb/No", "&Activity Log", "Error Log"}));
    EXPECT_NE(menu.findChild<QAction*>("mnuFileExit"), nullptr);
    EXPECT_NE(menu.findChild<QAction*>("mnuLoadPlayList"), nullptr);
    EXPECT_NE(menu.findChild<QAction*>("ActivityLog"), nullptr);
    EXPECT_NE(menu.findChild<QAction*>("mnuErrorLog"), nullptr);
    EXPECT_NE(menu.findChild<QAction*>("mnuEbNo"), nullptr);
}

TEST_F(MainWindowTest, LoadStartsTheStationAndTheClockRunsEveryFiftyMilliseconds) {
    load();
    EXPECT_TRUE(t.station->state.SatListFile.isOpen());
    EXPECT_TRUE(menu.tmrClock().isEnabled());
    EXPECT_EQ(menu.tmrClock().interval(), 50);
    EXPECT_EQ(menu.lblClock->text(), "Saturday  12/05/2026  Day 339  07:05:12");
    t.time.advance(1000);
    EXPECT_EQ(menu.lblClock->text(), "Saturday  12/05/2026  Day 339  07:05:13");
}

TEST_F(MainWindowTest, FailedLoadLeavesTheClockStopped) {
    Station other(t.time, t.time, *t.paths, t.messages);
    ASSERT_TRUE(other.StartUp().ok); // holds the data folder
    EXPECT_FALSE(menu.Form_Load().ok);
    EXPECT_FALSE(menu.tmrClock().isEnabled());
}

TEST_F(MainWindowTest, NoToExitKeepsTheConsoleRunningFromCloseBoxOrFileMenu) {
    load();
    menu.show();
    int exits = 0;
    menu.setExitHandler([&] { ++exits; });
    t.messages.answers = {false, false};
    EXPECT_FALSE(menu.close());
    menu.mnuFileExit->trigger();
    EXPECT_EQ(t.messages.asked, (QStringList{"Exit Varnola?|Varnola", "Exit Varnola?|Varnola"}));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(menu.tmrClock().isEnabled());
    EXPECT_FALSE(t.station->isShutDown());
    EXPECT_EQ(exits, 0);
}

TEST_F(MainWindowTest, YesToExitShutsTheStationDownAndEndsTheProgram) {
    load();
    menu.show();
    int exits = 0;
    bool hookRan = false;
    menu.setExitHandler([&] { ++exits; });
    t.station->addShutdownHook([&] { hookRan = true; });
    t.messages.answers = {true};
    menu.mnuFileExit->trigger();
    EXPECT_FALSE(menu.isVisible());
    EXPECT_TRUE(hookRan);
    EXPECT_TRUE(t.station->isShutDown());
    EXPECT_FALSE(menu.tmrClock().isEnabled());
    EXPECT_EQ(exits, 1);
}

TEST_F(MainWindowTest, RendersTheDisplayModel) {
    load();
    ConsoleDisplay& d = t.station->display;
    d.Rec(2).lblNextToRecord = "Next to Record Channel 2:  Monday  News <b>x</b>";
    d.PlayList.add("20:00:00  Evening", 2);
    d.PlayList.add("15:00:00  Afternoon", 1);
    d.PlayList.selected = 0;
    d.PlayListVisible = true;
    d.cmdPlayVisible = true;
    d.PlayingVisible = false;
    d.Rec(2).LevelLeft = 20000;
    menu.show();
    menu.render();
    const auto* next = menu.findChild<QLabel*>("lblNextRecordTwo");
    EXPECT_EQ(next->text(), d.Rec(2).lblNextToRecord);
    EXPECT_EQ(next->textFormat(), Qt::PlainText);
    ASSERT_EQ(menu.PlayList->count(), 2);
    EXPECT_EQ(menu.PlayList->item(0)->text(), "15:00:00  Afternoon");
    EXPECT_EQ(menu.PlayList->currentRow(), 0);
    EXPECT_TRUE(menu.PlayList->isVisible());
    EXPECT_TRUE(menu.Label1->isVisible());
    EXPECT_TRUE(menu.cmdPlay->isVisible());
    EXPECT_FALSE(menu.cmdStop->isVisible());
    EXPECT_FALSE(menu.Label2->isVisible());
    EXPECT_FALSE(menu.MMLevelX1->isVisible());
    EXPECT_EQ(menu.findChild<LevelMeter*>("MMLevelX5")->level(), 20000);

    d.PlayList.removeAt(0);
    d.PlayListVisible = false;
    menu.render();
    EXPECT_EQ(menu.PlayList->count(), 1);
    EXPECT_FALSE(menu.PlayList->isVisible());
}

// The platform style keeps a picture of a button for every palette it is
// given: the Play and Stop buttons change colour at every play and must not
// hand it a new palette each time, or the pictures pile up for as long as
// the console runs.
class PaletteCountingStyle : public QProxyStyle {
public:
    PaletteCountingStyle() : QProxyStyle("Fusion") {}
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelButtonCommand)
            palettes.insert(option->palette.cacheKey());
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    mutable QSet<qint64> palettes;
};

TEST_F(MainWindowTest, PlaysDoNotPileUpPicturesOfThePlayAndStopButtons) {
    t.writeSettings({{Setting::PlayButtonVisible, 1}, {Setting::StopButtonVisible, 1}});
    load();
    ConsoleDisplay& d = t.station->display;
    PaletteCountingStyle style;
    for (QPushButton* b : {menu.cmdPlay, menu.cmdStop})
        b->setStyle(&style);
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    for (int play = 0; play < 8; ++play) {
        const bool playing = play % 2 == 0;
        d.cmdPlayColor =
            playing ? ConsoleDisplay::Rgb{128, 255, 128} : ConsoleDisplay::Rgb{0, 128, 0};
        d.cmdStopColor =
            playing ? ConsoleDisplay::Rgb{192, 192, 192} : ConsoleDisplay::Rgb{255, 255, 255};
        menu.render();
        menu.cmdPlay->repaint();
        menu.cmdStop->repaint();
    }
    for (QPushButton* b : {menu.cmdPlay, menu.cmdStop})
        b->setStyle(nullptr);
    EXPECT_LE(style.palettes.size(), 2);
}

TEST_F(MainWindowTest, PlayButtonFollowsTheVisibleSettingAtStartUp) {
    t.writeSettings({{Setting::PlayButtonVisible, 1}, {Setting::StopButtonVisible, 1}});
    load();
    menu.show();
    EXPECT_TRUE(menu.cmdPlay->isVisible());
    EXPECT_TRUE(menu.cmdStop->isVisible());
}

// Opening a window that is already open must bring it forward, not stack a
// second copy.
TEST_F(MainWindowTest, HelpAndAboutOpenOnceEach) {
    load();
    menu.show();
    menu.mnuHelp->trigger();
    menu.mnuHelp->trigger();
    menu.mnuAbout->trigger();
    menu.mnuAbout->trigger();
    const auto helps = menu.findChildren<frmHelp*>();
    const auto abouts = menu.findChildren<frmAbout*>();
    ASSERT_EQ(helps.size(), 1);
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_TRUE(helps[0]->isVisible());
    EXPECT_FALSE(abouts[0]->isModal());
    EXPECT_EQ(abouts[0]->windowTitle(), "About Varnola");
    // The test drives have no help file installed.
    EXPECT_EQ(helps[0]->RichTextBox1->font().family(), "Times New Roman");
}

// History entries chosen one after another while the viewer stays open: each
// shows its own kind of log.
TEST_F(MainWindowTest, EachHistoryEntryShowsItsOwnLogInTheOpenViewer) {
    load();
    TempStation::writeFile(t.host(logFileStationPath("AL", QDate(2026, 12, 4))), "01:00:00  a\r\n");
    TempStation::writeFile(t.host(logFileStationPath("EB", QDate(2026, 12, 3))), "01:00:00  e\r\n");
    const auto days = [&] {
        QStringList out;
        const auto* viewer = menu.findChild<frmActivityLog*>();
        for (int i = 0; viewer && i < viewer->lstDate->count(); ++i)
            out << viewer->lstDate->item(i)->text();
        return out;
    };
    find<QAction>("ActivityLog")->trigger();
    EXPECT_EQ(days(), QStringList{"12/04/26"});
    find<QAction>("mnuEbNo")->trigger();
    EXPECT_EQ(days(), QStringList{"12/03/26"});
    EXPECT_EQ(menu.findChild<frmActivityLog*>()->windowTitle(), "Load EbNo Log");
}

// A new station's settings are all zero: the console says what its schedules
// still need, and where to set it, until it is set.
TEST_F(MainWindowTest, SetUpLineNamesWhatTheSchedulesLackUntilItIsSet) {
    ScheduleFields f;
    f.SatName = "Morning";
    f.SatLen = "30:00";
    f.RecChan = "1";
    f.RecDays[0] = 1;
    f.RecTimes[0] = "09:00:00";
    ScheduleFile file;
    QDir().mkpath(t.host("c:\\satfile"));
    ASSERT_TRUE(file.open(t.host(ScheduleFile::StationPath), nullptr));
    ASSERT_TRUE(file.write(1, ScheduleRecord::build(f)));
    load();
    const auto* line = find<QLabel>("lblSetUp");
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(line->text().toStdString(),
              "Not set up: no wave drive (SetUp \u2192 My Computer); no serial port (SetUp \u2192 "
              "Communications); the activity log is off (SetUp \u2192 My Computer)");
    StationState& s = t.station->state;
    s.WaveDrive = "C";
    s.CommPortNo = 1;
    s.ActivityLogOn = 1;
    t.time.advance(1000);
    EXPECT_TRUE(line->isHidden());
}

} // namespace
