#pragma once

#include <QMainWindow>

class BackupFolderBox;
class QAction;
class QMenu;
class QProgressBar;
class QPushButton;
class Station;

// "Save Data": copies the four data files into the chosen folder, then closes.
class frmSaveData : public QMainWindow {
public:
    explicit frmSaveData(Station& station, QWidget* parent = nullptr);

    BackupFolderBox* folderBox;
    QPushButton* cmdSave;
    QProgressBar* ProgressBar1;
    QMenu* mnuFiles;
    QAction* mnuExit;

private:
    void save();

    Station& station_;
};
