#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;
class QRadioButton;
class Station;

// Shows one day of the activity ("AL"), error ("ER") or Eb/No ("EB") log.
class frmActivityLog : public QDialog {
public:
    frmActivityLog(Station& station, const QString& kind, QWidget* parent = nullptr);

    QListWidget* lstDate;
    QRadioButton *Option1, *Option2;
    QPushButton* cmdOk;
    QListWidget* lstActivityLog;
    QPushButton* cmdClose;

    // Reloads only for another kind than the one shown: a History entry
    // chosen while the viewer is open.
    void showKind(const QString& kind);

private:
    void load();
    void showDay();

    Station& station_;
    QString kind_;
};
