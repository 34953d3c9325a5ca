// Copies the shipped help text to where the station looks for it, under the
// same drive mapping the console uses. Leaves a newer or edited copy alone.
#include "platform/drive_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnola-install-help <sathelp.rtf>\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const DrivePaths paths(StationConfig::fromEnvironment());
    const QString target = paths.resolve("c:\\program files\\duzidazoda\\sathelp.rtf");
    const QFileInfo existing(target);
    if (existing.exists() && existing.lastModified() >= QFileInfo(source).lastModified())
        return 0;
    QDir().mkpath(existing.path());
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        std::fprintf(stderr, "varnola-install-help: cannot copy %s to %s\n", qPrintable(source),
                     qPrintable(target));
        return 1;
    }
    return 0;
}
