#include "schedule/source_codes.h"

#include "platform/drive_paths.h"

#include <QFile>

QStringList readSourceCodes(const DrivePaths& paths) {
    QFile file(paths.resolve(SourceCodesStationPath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList codes;
    // Split on LF only: trimming takes the CR of files written on the old
    // station along with any padding blanks.
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString code = QString::fromLatin1(line).trimmed();
        if (!code.isEmpty())
            codes << code;
    }
    return codes;
}
