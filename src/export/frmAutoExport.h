#pragma once

#include "export/export_setup.h"

#include <QMainWindow>
#include <array>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class Station;

// "Export SetUp": each schedule's export rule. Choosing a naming mode is
// saved at once; the rest is saved by Apply.
class frmAutoExport : public QMainWindow {
public:
    explicit frmAutoExport(Station& station, QWidget* parent = nullptr);

    // The schedule whose rule is shown; 0 while none is selected.
    ScheduleNo selectedSchedule() const { return current_; }

    QListWidget* lstName;
    std::array<QRadioButton*, 3> Option1;
    std::array<QCheckBox*, 7> chkDay; // chkDay(1..7): Sunday first
    std::array<QLineEdit*, 7> txtPath;
    QCheckBox* chkFade;
    QLineEdit *txtLength, *txtNumber;
    QLabel *lblDestination, *lblLength, *lblNumber;
    QPushButton *cmdApply, *cmdClose;
    QMenu *mnuFiles, *mnuView;
    QAction *mnuExit, *mnuViewNames, *mnuViewNumber;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void LoadPrograms();
    void select(int row);
    void chooseMode(int mode);
    // Shows the window as a naming mode has it.
    void arrange(int mode);
    void dayToggled();
    void apply();
    void report(const QString& failure);
    void setPathBox(QLineEdit* box, bool enabled, bool grey);

    Station& station_;
    ExportListView view_ = ExportListView::Names;
    ScheduleNo current_ = 0;
    int16_t mode_ = ExportInactive;
};
