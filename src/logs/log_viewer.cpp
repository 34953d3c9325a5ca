#include "logs/log_viewer.h"

#include "platform/file_system.h"
#include "station/log_files.h"
#include "station/sorted_list.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>

namespace {

constexpr const char* LogFolder = "c:\\satfile\\logs\\";
constexpr int TimeLength = 8;

QString kindName(const QString& kind) {
    if (kind == "EB")
        return "EbNo";
    if (kind == "ER")
        return "Error";
    return "Activity";
}

} // namespace

QStringList logDays(const DrivePaths& paths, const QString& kind) {
    static const QRegularExpression dated("^..(\\d\\d)(\\d\\d)(\\d\\d)");
    const QStringList names = files::listFiles(paths, LogFolder + kind + "*.*");
    QStringList days;
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        const auto m = dated.match(*it);
        if (m.hasMatch())
            days << m.captured(2) + "/" + m.captured(3) + "/" + m.captured(1);
    }
    if (days.isEmpty())
        days << NoLogsFound;
    return days;
}

QString logWindowCaption(const QString& kind) {
    return "Load " + kindName(kind) + " Log";
}

QString logDayCaption(const QString& kind, const QString& day) {
    return kindName(kind) + " Log for " + day;
}

QString logSelectPrompt(const QString& kind) {
    return "Select " + kindName(kind) + " Log";
}

QDate logDayDate(const QString& day) {
    const QStringList parts = day.split('/');
    return parts.size() == 3 ? QDate(2000 + parts[2].toInt(), parts[0].toInt(), parts[1].toInt())
                             : QDate();
}

QStringList logDayLines(const DrivePaths& paths, const QString& kind, const QString& day,
                        bool byEvent) {
    const QDate date = logDayDate(day);
    QFile file(date.isValid() ? paths.resolve(logFileStationPath(kind, date)) : QString());
    if (!date.isValid() || !file.open(QIODevice::ReadOnly))
        return {"Log for " + day + " does not exist."};
    QStringList lines;
    SortedList sorted;
    while (!file.atEnd()) {
        QString line = QString::fromLatin1(file.readLine());
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (!byEvent)
            lines << line;
        else if (kind == "RL")
            sorted.add(line, 0);
        else
            sorted.add(line.mid(TimeLength).trimmed() + " " + line.left(TimeLength), 0);
    }
    for (const SortedList::Item& item : sorted.items())
        lines << item.text;
    return lines;
}

QList<EbNoReading> ebNoReadings(const QStringList& lines) {
    static const QRegularExpression reading(
        "^(\\d\\d:\\d\\d:\\d\\d)\\s+([-+]?\\d+(?:\\.\\d+)?)\\s*(?:dB)?\\s*$",
        QRegularExpression::CaseInsensitiveOption);
    QList<EbNoReading> out;
    for (const QString& line : lines) {
        const auto m = reading.match(line);
        const QTime time = QTime::fromString(m.captured(1), "HH:mm:ss");
        if (m.hasMatch() && time.isValid())
            out.append({time, m.captured(2).toDouble()});
    }
    return out;
}
