#include "windows/system_info.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

QStringList systemInfoViewers() {
    return {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor", "lshw-gtk", "sysinfo"};
}

QStringList systemSearchPath() {
    const QString path = QProcessEnvironment::systemEnvironment().value("PATH");
    return path.split(QDir::listSeparator(), Qt::SkipEmptyParts);
}

QString findSystemInfoViewer(const QStringList& searchPath) {
    for (const QString& viewer : systemInfoViewers()) {
        for (const QString& dir : searchPath) {
            if (dir.isEmpty())
                continue;
            const QFileInfo candidate(QDir(dir).filePath(viewer));
            if (candidate.isFile() && candidate.isExecutable())
                return candidate.absoluteFilePath();
        }
    }
    return {};
}

bool startSystemInfoViewer(const QString& program) {
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {});
}
