#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class Station;

// The week's plays or recordings in time order, read from the schedule file
// each time a view is chosen.
class frmWeeklySchedule : public QMainWindow {
public:
    enum class View { Play, Record };

    frmWeeklySchedule(Station& station, View view, QWidget* parent = nullptr);

    // Fills the lists afresh for the view and sets the caption.
    void showView(View view);

    QLabel* lblHeadings; // the view's column heads, over the list's text
    QListWidget* lstWeeklySchedule;
    QListWidget* lstSort; // hidden: the key lines in sorted order
    QPushButton* cmdClose;
    QMenu* mnuFiles;
    QAction* mnuExit;

private:
    Station& station_;
};
