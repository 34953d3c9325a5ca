#pragma once

#include <QMainWindow>
#include <array>

class AudioDeviceChoice;
class BackupFolderBox;
class QAction;
class QMenu;
class QPushButton;
class Station;

// "Load Data": loads each data file from the chosen folder by its own menu
// entry; the window stays open for the next.
class frmLoadData : public QMainWindow {
public:
    // devices receives the restored device numbers; may be null.
    frmLoadData(Station& station, AudioDeviceChoice* devices, QWidget* parent = nullptr);

    BackupFolderBox* folderBox;
    QPushButton* cmdClose;
    QMenu* mnuFiles;
    // AutoExport, Schedules, source codes, setup.
    std::array<QAction*, 4> mnuLoad;
    QAction* mnuExit;

private:
    Station& station_;
    AudioDeviceChoice* devices_;
};
