// Every entry of the console's menu bar does something: opens its window or
// carries out its action. A console built with all its parts, offscreen.
#include "app/mnuMenu.h"
#include "fakes/assembled_station.h"
#include "support/test.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {

QList<QAction*> entries(const QList<QAction*>& actions) {
    QList<QAction*> out;
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        if (a->menu())
            out += entries(a->menu()->actions());
        else
            out << a;
    }
    return out;
}

QSet<QWidget*> visibleWindows() {
    QSet<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            out.insert(w);
    return out;
}

TEST(MenuWalkTest, EveryEntryOpensItsWindowOrActs) {
    TempStation t;
    t.writeSettings({{Setting::CommPortNo, 1}, {Setting::BaudIndex, 2}, {Setting::WaveDriveNo, 3}});
    AssembledStation a(t);
    StationAssembly& parts = a.assemble();
    mnuMenu menu(*t.station, parts.dispatcher, nullptr, ConsoleParts::of(parts));
    ASSERT_TRUE(menu.Form_Load().ok);
    menu.show();

    QStringList silent;
    for (QAction* a : entries(menu.menuBar()->actions())) {
        const QString name = a->objectName();
        if (!a->isEnabled()) {
            ADD_FAILURE() << name.toStdString() << " is disabled";
            continue;
        }
        if (name == "mnuFileExit") {
            t.messages.answers = {false};
            a->trigger();
            EXPECT_EQ(t.messages.asked.last(), "Exit Varnola?|Varnola");
            EXPECT_TRUE(menu.isVisible());
            continue;
        }
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

} // namespace
