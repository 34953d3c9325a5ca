#include "backup/backup_folder_box.h"

#include "backup/data_backup.h"
#include "platform/drive_paths.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

FolderChooser& backupFolderChooser() {
    static FolderChooser chooser = [](QWidget* parent, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, "Select Folder", start);
    };
    return chooser;
}

BackupFolderBox::BackupFolderBox(const DrivePaths& paths, QWidget* parent)
    : QWidget(parent), Drive1(new QComboBox(this)), Dir1(new QLineEdit(this)),
      cmdBrowse(new QPushButton("Folder...", this)), paths_(paths) {
    Drive1->setObjectName("Drive1");
    Dir1->setObjectName("Dir1");
    Dir1->setReadOnly(true);
    cmdBrowse->setObjectName("cmdBrowse");
    Drive1->addItems(paths.availableDrives());
    Drive1->setCurrentIndex(std::max(0, Drive1->findText("C")));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(cmdBrowse);
    connect(Drive1, &QComboBox::currentTextChanged, this,
            [this](const QString& letter) { setFolder(letter + ":\\"); });
    connect(cmdBrowse, &QPushButton::clicked, this, &BackupFolderBox::browse);
    setFolder("C:\\");
}

void BackupFolderBox::browse() {
    const QString start = backupFileHost(paths_, folder_, QString());
    const QString chosen = backupFolderChooser()(this, start);
    if (!chosen.isEmpty())
        setFolder(backupFolderOfHost(paths_, chosen));
}

void BackupFolderBox::setFolder(const QString& folder) {
    folder_ = backupFolderPath(folder);
    Dir1->setText(folder_);
}
