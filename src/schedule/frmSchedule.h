#pragma once

#include "schedule/schedule_editor.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class Station;
class PlayListControl;
class frmDialog1;
class frmScheduleConflicts;

// The schedule editor: every schedule on the left, one schedule's fields on
// the right. Apply saves the schedule shown, reports what it overlaps and
// lets the station find its next events again; closing rebuilds the
// console's playlist (when there is one).
class frmSchedule : public QMainWindow {
public:
    frmSchedule(Station& station, PlayListControl* playList, QWidget* parent = nullptr);
    ~frmSchedule() override;

    // The schedule shown, which Apply writes and Delete removes; 0 for none.
    ScheduleNo currentScheduleNo() const { return current_; }
    // The conflicts window of the last save, while it exists.
    frmScheduleConflicts* conflictsWindow() const;
    // The delete question while it waits for an answer.
    frmDialog1* deleteDialog() const;
    // Print into this PDF file instead of on the default printer.
    void setPrintFile(const QString& pdfPath) { printFile_ = pdfPath; }

    QListWidget* lstDisplaySchedule;
    QLabel* lblScheduleNo;
    QLineEdit* txtSatName;
    QLineEdit* txtSatLen;
    QLabel* lblPgmLen;
    QComboBox *cboSatLang, *cboSatPort, *cboSatRoute, *cboSatAtt;
    QComboBox *cboSatPlayStart, *cboSatRecordStart;
    QListWidget* lstRecChan;
    std::array<QLineEdit*, 28> txtPlay;
    std::array<QLabel*, 7> lblPlay; // lblPlaySun .. lblPlaySat
    std::array<QLineEdit*, 7> txtRec;
    std::array<QComboBox*, 7> cboRec;
    QLabel* Label2;
    QPushButton *cmdNew, *cmdDelete, *cmdApply, *cmdScheduleClose;
    QMenu *mnuFiles, *mnuView, *mnuHiddenPopupMenu;
    QAction *mnuPrint, *mnuExit, *mnuViewName, *mnuViewNumber, *mnuHiddenPopupDelete;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void open();
    void LoadBoxes();
    void LoadSchedules();
    void select(int row);
    void channel(int row);
    void newSchedule();
    void apply();
    void askDelete(bool needSelection);
    void print();
    void closeWithConflicts();
    ScheduleForm form() const;
    bool keyPressed(QObject* watched, int key);

    Station& station_;
    PlayListControl* playList_;
    ScheduleListView view_ = ScheduleListView::ByName;
    ScheduleNo current_ = 0;
    // The channel chosen for the schedule shown; blank until one is chosen.
    QString recChan_;
    QString printFile_;
    QPointer<frmScheduleConflicts> conflicts_;
    QPointer<frmDialog1> dialog_;
};
