#include "export/playout_store.h"

#include "platform/drive_paths.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace {
constexpr int ProgramRecordLength = 32;
} // namespace

QString ProgramsFolder(QChar drive) {
    return QString(drive) + ":\\programs\\";
}

std::optional<QChar> ReadNamingKind(const DrivePaths& paths, QChar drive, int WinjockNumber,
                                    QString* problem) {
    const QString table = ProgramsFolder(drive) + "Program.dat";
    const QString host = paths.resolve(table);
    const auto fail = [&](const QString& why) -> std::optional<QChar> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const qint64 n = qint64(WinjockNumber) - 8000;
    if (n < 1)
        return fail(QString("Winjock number %1 has no record in %2").arg(WinjockNumber).arg(table));
    if (!QFileInfo(host).isFile())
        return fail(QString("%1 (%2) is missing").arg(table, host));
    // The table belongs to the playout store: read only, never created.
    QFile file(host);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QString("%1 (%2) cannot be read: %3").arg(table, host, file.errorString()));
    QByteArray record;
    if (file.seek((n - 1) * ProgramRecordLength))
        record = file.read(ProgramRecordLength);
    if (record.size() < ProgramRecordLength)
        return fail(QString("%1 holds no record %2 for Winjock number %3")
                        .arg(table)
                        .arg(n)
                        .arg(WinjockNumber));
    const char kind = record.at(0);
    if (kind != '1' && kind != '2' && kind != '3')
        return fail(QString("record %1 of %2 (Winjock number %3) is not active")
                        .arg(n)
                        .arg(table)
                        .arg(WinjockNumber));
    return QChar(kind);
}

QDate NextDateOnWeekday(const QDate& today, int weekday) {
    const int todayIndex = today.dayOfWeek() % 7; // 0 = Sunday
    return today.addDays((weekday - todayIndex + 7) % 7);
}

std::optional<PlayoutNaming> namingOf(QChar kind, int weekday, const QDate& today,
                                      const std::array<QString, 8>& DayNames) {
    if (kind == '1') {
        const QDate target = NextDateOnWeekday(today, weekday);
        return PlayoutNaming{QString::number(target.dayOfYear()).rightJustified(3, '0'),
                             target.toString("MM-dd-yyyy")};
    }
    if (kind == '2')
        return PlayoutNaming{QString::number(901 + weekday),
                             (QString::number(weekday + 1) + DayNames.at(size_t(weekday + 1)))
                                 .leftJustified(10, ' ', true)};
    if (kind == '3')
        return PlayoutNaming{"000", "Evergreen "};
    return std::nullopt;
}

QByteArray CompanionDataRecord(qint64 copyMs, bool fade, const QString& label) {
    QByteArray record(20, '\0');
    const qint64 seconds = qint64(std::nearbyint(double(copyMs) / 1000.0));
    const auto put = [&](int at, int width, const QByteArray& text) {
        const QByteArray t = text.left(width);
        record.replace(at, t.size(), t);
    };
    put(0, 5, QByteArray::number(std::max<qint64>(0, fade ? seconds - 2 : seconds)));
    put(5, 5, QByteArray::number(seconds));
    put(10, 10, label.toLatin1());
    return record;
}
