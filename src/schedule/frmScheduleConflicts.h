#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;
class QPushButton;

// What the last save in the schedule editor overlaps, one line a finding.
class frmScheduleConflicts : public QWidget {
public:
    explicit frmScheduleConflicts(QWidget* parent = nullptr);

    // Shows the lines of a save; with none the list is emptied and the window
    // is not brought up.
    void showConflicts(const QStringList& lines);

    QListWidget* lstConflicts;
    QPushButton* cmdClose;
};
