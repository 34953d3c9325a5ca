#include "backup/frmLoadData.h"

#include "backup/backup_folder_box.h"
#include "backup/data_backup.h"
#include "station/station.h"

#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

frmLoadData::frmLoadData(Station& station, AudioDeviceChoice* devices, QWidget* parent)
    : QMainWindow(parent), station_(station), devices_(devices) {
    setObjectName("frmLoadData");
    setWindowTitle("Load Data");
    auto* central = new QWidget(this);
    setCentralWidget(central);
    folderBox = new BackupFolderBox(station.paths(), central);
    cmdClose = new QPushButton("Close", central);
    cmdClose->setObjectName("cmdClose");
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(folderBox);
    layout->addWidget(cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    mnuFiles = menuBar()->addMenu("Files");
    mnuFiles->setObjectName("mnuFiles");
    const char* captions[] = {"Load AutoExport", "Load Schedules", "Load Souce Codes",
                              "Load Setup Files"};
    const std::function<void()> loads[] = {
        [this] { LoadExportRules(station_, folderBox->folder()); },
        [this] { LoadSchedules(station_, folderBox->folder()); },
        [this] { LoadSourceCodes(station_, folderBox->folder()); },
        [this] { LoadSetup(station_, folderBox->folder(), devices_); },
    };
    for (int i = 0; i < 4; ++i) {
        mnuLoad[size_t(i)] = mnuFiles->addAction(captions[i]);
        mnuLoad[size_t(i)]->setObjectName(QString("mnuLoad_%1").arg(i));
        connect(mnuLoad[size_t(i)], &QAction::triggered, this, loads[i]);
    }
    mnuExit = mnuFiles->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
}
