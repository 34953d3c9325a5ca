#include "platform/installed_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString installedDataFile(const QString& name) {
    if (QCoreApplication::instance()) {
        const QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" +
                                               VARNOLA_DATA_FROM_BINARY + "/" + name);
        if (QFileInfo(beside).isFile())
            return beside;
    }
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, "varnola/" + name);
}
