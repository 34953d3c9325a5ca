#pragma once

#include "station/messages.h"
#include "windows/system_info.h"

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;

// Names the program and its version, and opens the host's system-information
// viewer for whoever is looking into a fault at the station.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    static inline const QString ApplicationTitle = "Varnola";
    static inline const QString UnavailableText = "System Information Is Unavailable At This Time";

    // The viewer is looked for in searchPath when the button is pressed, so
    // one installed while the window is open is still found.
    explicit frmAbout(Messages& messages, QStringList searchPath = systemSearchPath(),
                      QWidget* parent = nullptr);

    // "Version major.minor.patch" of this build.
    static QString versionText();
    // The window's icon, drawn so that no image file has to be installed.
    static QPixmap drawIcon(int size);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    void startSysInfo();

    Messages& messages_;
    QStringList searchPath_;
};
