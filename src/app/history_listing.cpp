#include "app/history_listing.h"

#include "platform/drive_paths.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

QString field(const QString& text) {
    if (!text.contains(QRegularExpression("[\",\r\n]")))
        return text;
    return '"' + QString(text).replace('"', "\"\"") + '"';
}

QString figure(double value, int decimals) {
    return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

QString moment(const QDateTime& t, const char* format) {
    return t.isValid() ? t.toString(format) : QString();
}

// "destination=outcome" or "destination=failed: why", one a destination.
QString handOffs(const QList<HandOffResult>& results) {
    QStringList parts;
    for (const HandOffResult& h : results)
        parts << h.destination + "=" + h.outcome + (h.why.isEmpty() ? "" : ": " + h.why);
    return parts.join("; ");
}

} // namespace

QString TakesCsv(const QList<TakeRecord>& takes) {
    QString csv = "scheduled,slot,name,channel,cue,first_audio,first_audio_offset_s,"
                  "length_scheduled_s,length_recorded_s,gaps,longest_gap_s,peak_dbfs,"
                  "loudness_lufs,ebno_min_db,ebno_mean_db,handoffs,outcome,why,wave_file\n";
    for (const TakeRecord& t : takes) {
        const QStringList fields = {moment(t.scheduled, "yyyy-MM-dd HH:mm:ss"),
                                    QString::number(t.slot),
                                    t.name,
                                    QString::number(t.channel),
                                    t.cueOutcome,
                                    moment(t.firstAudio, "yyyy-MM-dd HH:mm:ss.zzz"),
                                    figure(t.firstAudioOffset, 3),
                                    QString::number(t.lengthScheduled),
                                    figure(t.lengthRecorded, 3),
                                    QString::number(t.gaps),
                                    figure(t.longestGap, 3),
                                    figure(t.peakDbfs, 1),
                                    figure(t.loudnessLufs, 1),
                                    figure(t.ebNoMin, 1),
                                    figure(t.ebNoMean, 1),
                                    handOffs(t.handOffs),
                                    outcomeWord(t.outcome),
                                    t.why,
                                    t.waveFile};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << field(f);
        csv += quoted.join(',') + "\n";
    }
    return csv;
}

HistoryListing ListHistory(const StationConfig& config, const QDateTime& now, int days) {
    HistoryListing listing;
    const QString path = DrivePaths(config).resolve(TakeHistory::StationPath);
    // Opening a database that is not there would create one.
    if (!QFileInfo::exists(path)) {
        listing.csv = TakesCsv({});
        return listing;
    }
    QString error;
    const std::unique_ptr<TakeHistory> history = TakeHistory::openForReading(path, &error);
    if (!history) {
        listing.exitStatus = 1;
        listing.error = error;
        return listing;
    }
    QList<TakeRecord> takes = history->since(now.addDays(-days));
    // A file that is no database opens and fails only when read.
    if (!history->lastError().isEmpty()) {
        listing.exitStatus = 1;
        listing.error = history->lastError();
        return listing;
    }
    std::reverse(takes.begin(), takes.end());
    listing.csv = TakesCsv(takes);
    return listing;
}
