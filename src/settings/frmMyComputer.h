#pragma once

#include <QMainWindow>
#include <array>

class AudioDevices;
class IoPorts;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class Station;

// "My Computer": the per-computer settings. Most choices take effect in
// memory when clicked; Apply makes them permanent. Every opening re-reads
// the settings file.
class frmMyComputer : public QMainWindow {
public:
    // ports may be null where the station has no I/O port access.
    frmMyComputer(Station& station, AudioDevices& devices, IoPorts* ports,
                  QWidget* parent = nullptr);

    QListWidget *lstMM1, *lstMM2, *lstMM3, *lstMM4;
    QLineEdit* txtThreshold;
    QListWidget *List1, *List2, *List3, *List4;
    QCheckBox* Check2;
    QGroupBox* Frame3;
    std::array<QRadioButton*, 3> Option2;
    QCheckBox *Check1, *Check3, *Check4, *chkTimeChange;
    QLabel* Label11;
    QListWidget* lstDrv;
    QPushButton *cmdApply, *cmdClose;
    QMenu* mnuFiles;
    QAction* mnuExit;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectClicks();
    void load();
    void apply();

    Station& station_;
    AudioDevices& devices_;
    IoPorts* ports_;
    // Set when the window closes, so the next showing reads the file again.
    bool stale_ = false;
};
