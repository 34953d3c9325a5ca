#include "soak.h"

#include "station_layout.h"

#include <QFile>
#include <QTextStream>

void Plan::save(const QString& path) const {
    QByteArray text = QString("soak %1 %2\n").arg(begin).arg(end).toLatin1();
    for (const PlannedTake& t : takes)
        text += QString("take %1 %2 %3 %4 %5 %6 %7 %8\n")
                    .arg(t.slot)
                    .arg(t.channel)
                    .arg(t.at)
                    .arg(t.seconds)
                    .arg(t.channels)
                    .arg(t.winjock)
                    .arg(t.wave, t.name)
                    .toLatin1();
    writeLayoutFile(path, text);
}

bool Plan::load(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = path + ": " + f.errorString();
        return false;
    }
    takes.clear();
    while (!f.atEnd()) {
        const QString line = QString::fromLatin1(f.readLine()).trimmed();
        const QStringList w = line.split(' ');
        if (w.value(0) == "soak" && w.size() == 3) {
            begin = w[1].toLongLong();
            end = w[2].toLongLong();
        } else if (w.value(0) == "take" && w.size() >= 9) {
            PlannedTake t;
            t.slot = w[1].toLongLong();
            t.channel = w[2].toInt();
            t.at = w[3].toLongLong();
            t.seconds = w[4].toInt();
            t.channels = w[5].toInt();
            t.winjock = w[6].toInt();
            t.wave = w[7];
            t.name = w.mid(8).join(' ');
            takes << t;
        } else if (!line.isEmpty()) {
            *error = path + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    if (end <= begin || takes.isEmpty()) {
        *error = path + ": no soak is planned in it";
        return false;
    }
    return true;
}
