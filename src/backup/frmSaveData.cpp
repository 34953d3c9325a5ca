#include "backup/frmSaveData.h"

#include "backup/backup_folder_box.h"
#include "backup/data_backup.h"
#include "station/station.h"

#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmSaveData::frmSaveData(Station& station, QWidget* parent)
    : QMainWindow(parent), station_(station) {
    setObjectName("frmSaveData");
    setWindowTitle("Save Data");
    auto* central = new QWidget(this);
    setCentralWidget(central);
    folderBox = new BackupFolderBox(station.paths(), central);
    cmdSave = new QPushButton("Save", central);
    cmdSave->setObjectName("cmdSave");
    ProgressBar1 = new QProgressBar(central);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->hide();
    mnuFiles = menuBar()->addMenu("Files");
    mnuFiles->setObjectName("mnuFiles");
    mnuExit = mnuFiles->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(folderBox);
    layout->addWidget(ProgressBar1);
    layout->addWidget(cmdSave);
    connect(cmdSave, &QPushButton::clicked, this, &frmSaveData::save);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
}

void frmSaveData::save() {
    folderBox->hide();
    ProgressBar1->setRange(0, 5);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    const bool saved = SaveDataFiles(station_, folderBox->folder(),
                                     [this] { ProgressBar1->setValue(ProgressBar1->value() + 1); });
    ProgressBar1->hide();
    // After a failure the operator may pick another folder and try again.
    folderBox->show();
    if (saved)
        close();
}
