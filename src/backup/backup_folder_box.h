#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class DrivePaths;
class QComboBox;
class QLineEdit;
class QPushButton;

// Picks a host folder starting from another; an empty result means cancelled.
// The windows use the platform's folder dialog; tests replace it.
using FolderChooser = std::function<QString(QWidget* parent, const QString& startHostFolder)>;
FolderChooser& backupFolderChooser();

// The drive list and folder of the backup windows. The path always ends in
// one "\" and starts as "C:\".
class BackupFolderBox : public QWidget {
public:
    BackupFolderBox(const DrivePaths& paths, QWidget* parent);

    const QString& folder() const { return folder_; }

    QComboBox* Drive1;
    QLineEdit* Dir1;
    QPushButton* cmdBrowse;

private:
    void browse();
    void setFolder(const QString& folder);

    const DrivePaths& paths_;
    QString folder_;
};
