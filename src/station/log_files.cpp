#include "station/log_files.h"

#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/file_system.h"
#include "station/station.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

bool appendLine(Station& station, const QString& prefix, const QString& text) {
    const QDateTime now = station.clock().now();
    QFile file(station.paths().resolve(logFileStationPath(prefix, now.date())));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    // Lines are single-byte text, as the log viewer and other tools read them.
    const QByteArray line = (now.time().toString("HH:mm:ss") + "  " + text + "\r\n").toLatin1();
    const bool ok = file.write(line) == line.size();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

QString usDate(const QDate& d) {
    return d.toString("MM-dd-yyyy");
}

} // namespace

QString logFileStationPath(const QString& prefix, const QDate& date) {
    return "c:\\satfile\\logs\\" + prefix + date.toString("yyMMdd") + ".log";
}

bool LogActivity(Station& station, const QString& LogText) {
    if (station.logLineHeard)
        station.logLineHeard("AL", LogText);
    if (station.state.ActivityLogOn != 1)
        return true;
    return appendLine(station, "AL", LogText);
}

bool LogError(Station& station, const QString& LogText) {
    if (station.logLineHeard)
        station.logLineHeard("ER", LogText);
    if (station.state.ActivityLogOn != 1)
        return true;
    return appendLine(station, "ER", LogText);
}

bool LogEbNo(Station& station, const QString& EbNoText) {
    return appendLine(station, "EB", EbNoText);
}

std::optional<QDate> onePeriodBefore(const QDate& date, int periodCode) {
    switch (periodCode) {
    case 1:
        return date.addDays(-1);
    case 2:
        return date.addDays(-7);
    case 3:
        return date.addMonths(-1);
    case 4:
        return date.addYears(-1);
    default:
        return std::nullopt;
    }
}

void PurgeOldFiles(Station& station) {
    StationState& s = station.state;
    const DrivePaths& paths = station.paths();
    const QDate today = station.clock().today();
    const QLocale english(QLocale::English, QLocale::UnitedStates);

    // Recordings are named by weekday only, so a keep of more than a week (or
    // none chosen) would name this week's recordings: those are left alone.
    // Without a wave-store drive there is nothing of ours to delete.
    const bool driveChosen = s.WaveDrive.size() == 1 && s.WaveDrive.at(0).isLetter();
    if (s.WaveKeepDays >= 1 && s.WaveKeepDays <= 7 && driveChosen) {
        const QDate day = today.addDays(-s.WaveKeepDays);
        const QString dayName = english.dayName(day.dayOfWeek(), QLocale::LongFormat);
        // A file that a part has open is today's recording (a take running
        // across the purge, a programme on air, a copy to the store): the
        // parts are asked, never guessed from the time. A file is named by
        // its schedule row's day, which need not be the day it was recorded
        // (a row for another day, a take begun before midnight): one
        // written after the day being cleared has not had its keep yet. Its
        // age is counted in days of the station's clock, as the purge counts
        // them; a time ahead of that clock (a clock set back) is no age.
        QStringList failures, kept;
        const auto keep = [&](const QString& host) {
            const QFileInfo file(host);
            const QDate written = file.lastModified().date();
            if (station.fileInUse(host))
                kept << file.fileName() + ", in use";
            else if (written > day)
                kept << file.fileName() + ", written " + usDate(written);
            else
                return false;
            return true;
        };
        files::deleteFiles(paths, s.WaveDrive + ":\\satfile\\SF" + dayName.left(3) + "*.*",
                           &failures, keep);
        for (const QString& f : failures)
            LogError(station, "Cannot delete " + f);
        for (const QString& f : kept)
            LogActivity(station, "Kept " + f);
        LogActivity(station, "Deleted " + dayName + " Sound Files");
    }

    const auto purgeLog = [&](const QString& prefix, const QDate& date, const QString& what) {
        QFile::remove(paths.resolve(logFileStationPath(prefix, date)));
        LogActivity(station, "Deleted " + usDate(date) + " " + what);
    };
    if (const auto date = onePeriodBefore(today, s.ActivityLogKeep)) {
        purgeLog("AL", *date, "Activity Log");
        purgeLog("ER", *date, "Error Log");
        if (station.purgeTakesBefore)
            station.purgeTakesBefore(date->addDays(1));
    }
    if (const auto date = onePeriodBefore(today, s.EbNoLogKeep))
        purgeLog("EB", *date, "EbNo Log");

    s.LogPurgeLatch = 1;
}
