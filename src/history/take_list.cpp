#include "history/take_list.h"

#include "platform/drive_paths.h"
#include "station/recording_files.h"
#include "station/station.h"
#include "station/time_format.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

const QStringList TakeColumns = {"Scheduled", "Ch",       "Slot",  "Programme", "Outcome",
                                 "Offset",    "Length",   "Gaps",  "Peak",      "LUFS",
                                 "Eb/No",     "Hand-off", "Reason"};
const QStringList TakeColumnTips = {"Day and time the take was due",
                                    "Record channel",
                                    "Schedule slot",
                                    "Programme name",
                                    "How the take ended",
                                    "First audio: seconds after the scheduled time",
                                    "Length recorded / length scheduled",
                                    "Gaps in the audio (the longest)",
                                    "Peak level, dBFS",
                                    "Integrated loudness, LUFS (EBU R128)",
                                    "Eb/No polled during the take, lowest / mean, dB",
                                    "The copy to each playout store destination",
                                    "Why the take was short, dumped, refused or missed"};

namespace {

QString figure(double value, int decimals = 1) {
    return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

QString duration(double seconds) {
    return FormatElapsed(int(std::nearbyint(seconds))).trimmed();
}

QString handOffText(const QList<HandOffResult>& handOffs) {
    QStringList parts;
    for (const HandOffResult& h : handOffs)
        parts << h.destination + ": " + h.outcome + (h.why.isEmpty() ? "" : " (" + h.why + ")");
    return parts.join("; ");
}

// The audition names recordings by the weekday of the schedule's row, which
// may differ from the take's own day after a time change: read it back from
// the file's name.
int auditionWeekday(const StationState& s, const TakeRecord& take) {
    if (take.waveFile.isEmpty())
        return -1;
    for (int d = 0; d < 7; ++d)
        if (recordingFileNames(s.WaveDrive, s.DayNames[size_t(d + 1)], take.slot)
                .wave.compare(take.waveFile, Qt::CaseInsensitive) == 0)
            return d;
    return -1;
}

} // namespace

QList<TakeRow> takeRows(const QList<TakeRecord>& takes, const Station& station) {
    QList<TakeRow> rows;
    for (const TakeRecord& t : takes) {
        TakeRow r;
        r.name = t.name;
        r.outcome = outcomeWord(t.outcome);
        r.failure = isFailure(t.outcome);
        r.handOffFailed = std::any_of(t.handOffs.begin(), t.handOffs.end(),
                                      [](const HandOffResult& h) { return h.outcome == "failed"; });
        r.waveFile = t.waveFile;
        if (!t.waveFile.isEmpty()) {
            const QString host = station.paths().resolve(t.waveFile);
            if (QFileInfo(host).isFile())
                r.hostPath = host;
        }
        r.weekday = auditionWeekday(station.state, t);
        r.slot = t.slot;
        const QString offset = std::isnan(t.firstAudioOffset)
                                   ? QString()
                                   : QString::asprintf("%+.2f s", t.firstAudioOffset);
        const QString gaps =
            t.gaps > 0 ? QString::number(t.gaps) + " (longest " + figure(t.longestGap) + " s)"
                       : QString::number(t.gaps);
        const QString ebNo = std::isnan(t.ebNoMin) && std::isnan(t.ebNoMean)
                                 ? QString()
                                 : figure(t.ebNoMin) + " / " + figure(t.ebNoMean);
        r.texts = QStringList{t.scheduled.toString("ddd MM/dd/yy HH:mm:ss"),
                              QString::number(t.channel),
                              QString::number(t.slot),
                              t.name,
                              r.outcome,
                              offset,
                              duration(t.lengthRecorded) + " / " + duration(t.lengthScheduled),
                              gaps,
                              figure(t.peakDbfs),
                              figure(t.loudnessLufs),
                              ebNo,
                              handOffText(t.handOffs),
                              t.why};
        rows << r;
    }
    return rows;
}

QString auditionRefusal(const TakeRow& row) {
    const QString take = row.name + " (" + row.texts.value(0) + ")";
    if (row.waveFile.isEmpty())
        return "Nothing was recorded of " + take + ".";
    if (row.hostPath.isEmpty())
        return "The recording of " + take + " no longer exists: " + row.waveFile;
    if (row.weekday < 0)
        return "The recording of " + take +
               " is not on the wave drive the audition plays from: " + row.waveFile;
    return {};
}

QDateTime takesFrom(const QDate& today, int days) {
    return QDateTime(today.addDays(1 - std::max(days, 1)), QTime(0, 0));
}

QList<std::pair<QString, QString>> takeOutcomeChoices() {
    QList<std::pair<QString, QString>> choices{{"All takes", AllTakes},
                                               {"Failures only", FailedTakes}};
    for (TakeOutcome o : {TakeOutcome::Recorded, TakeOutcome::Short, TakeOutcome::Dumped,
                          TakeOutcome::Refused, TakeOutcome::Missed})
        choices.append({outcomeWord(o), outcomeWord(o)});
    return choices;
}

bool TakeFilter::accepts(const TakeRow& row) const {
    const bool outcomeOk =
        outcome == AllTakes ||
        (outcome == FailedTakes ? row.failure || row.handOffFailed : row.outcome == outcome);
    return outcomeOk && row.name.contains(programme.trimmed(), Qt::CaseInsensitive);
}

QList<TakeRow> filtered(const QList<TakeRow>& rows, const TakeFilter& filter) {
    QList<TakeRow> out;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(out),
                 [&](const TakeRow& r) { return filter.accepts(r); });
    return out;
}

QList<TakeSpan> takeSpansOn(const QList<TakeRecord>& takes, const QDate& day) {
    const QDateTime dayStart(day, QTime(0, 0)), dayEnd(day.addDays(1), QTime(0, 0));
    QList<TakeSpan> spans;
    for (const TakeRecord& t : takes) {
        const QDateTime from = t.firstAudio.isValid() ? t.firstAudio : t.scheduled;
        const double length = t.lengthRecorded > 0 ? t.lengthRecorded : t.lengthScheduled;
        const QDateTime to = from.addMSecs(qint64(std::nearbyint(length * 1000)));
        if (!from.isValid() || to <= dayStart || from >= dayEnd)
            continue;
        spans << TakeSpan{std::max(from, dayStart), std::min(to, dayEnd), t.name,
                          isFailure(t.outcome)};
    }
    std::stable_sort(spans.begin(), spans.end(),
                     [](const TakeSpan& a, const TakeSpan& b) { return a.from < b.from; });
    return spans;
}
