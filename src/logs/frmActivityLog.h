#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class QRadioButton;
class Station;

// Shows one day of the activity, error or Eb/No log. The kind is the
// station's LogKind when the window opens.
class frmActivityLog : public QDialog {
public:
    explicit frmActivityLog(Station& station, QWidget* parent = nullptr);

    QListWidget* lstDate;
    QRadioButton *Option1, *Option2;
    QPushButton* cmdOk;
    QListWidget* lstActivityLog;
    QPushButton* cmdClose;

    // Shows the station's LogKind, reloading when it differs from the kind
    // shown: a History entry chosen while the viewer is open.
    void followLogKind();

private:
    void load();
    void showDay();

    Station& station_;
    QString kind_;
};
