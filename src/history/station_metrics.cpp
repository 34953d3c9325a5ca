#include "history/station_metrics.h"

#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/timers.h"
#include "station/log_files.h"
#include "station/station.h"

#include <QLocale>
#include <QSaveFile>
#include <QStorageInfo>
#include <utility>

namespace {

constexpr int MinuteMs = 60'000;
constexpr auto Outcomes = {TakeOutcome::Recorded, TakeOutcome::Short, TakeOutcome::Dumped,
                           TakeOutcome::Refused, TakeOutcome::Missed};

using Labels = QList<std::pair<QString, QString>>;

QString number(double value) {
    if (std::isnan(value))
        return "NaN";
    // The shortest text that reads back as the same value: an epoch time
    // keeps its milliseconds and a byte count all its digits.
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// One metric: its help and type lines, then a sample per label set.
class Family {
public:
    Family(QString& out, const char* name, const char* type, const char* help)
        : out_(out), name_(name) {
        out_ += QString("# HELP %1 %2\n# TYPE %1 %3\n").arg(name_, help, type);
    }
    void sample(double value, const Labels& labels = {}) {
        out_ += name_;
        if (!labels.isEmpty()) {
            QStringList pairs;
            for (const auto& [label, v] : labels)
                pairs << QString("%1=\"%2\"").arg(label, metricLabelValue(v));
            out_ += "{" + pairs.join(',') + "}";
        }
        out_ += " " + number(value) + "\n";
    }

private:
    QString& out_;
    QString name_;
};

double epochSeconds(const QDateTime& t) {
    return double(t.toMSecsSinceEpoch()) / 1000.0;
}

} // namespace

QString metricLabelValue(const QString& value) {
    QString escaped;
    for (const QChar c : value) {
        if (c == '\\' || c == '"')
            escaped += QString('\\') + c;
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

StationMetrics::StationMetrics(Station& station, QString hostPath)
    : station_(station), path_(std::move(hostPath)), timer_(station.timers().create(MinuteMs)) {
    timer_->setHandler([this] { write(); });
}

StationMetrics::~StationMetrics() = default;

void StationMetrics::start() {
    up_ = true;
    write();
    timer_->setEnabled(true);
}

void StationMetrics::stop() {
    if (!up_)
        return;
    timer_->setEnabled(false);
    up_ = false;
    write();
}

void StationMetrics::taken(const TakeRecord& take) {
    if (take.channel != 1 && take.channel != 2)
        return;
    const size_t ch = size_t(take.channel - 1);
    ++takes_[ch][size_t(take.outcome)];
    lastOutcome_[ch] = take.outcome;
    lastTakeAt_[ch] = station_.clock().now();
    for (const HandOffResult& h : take.handOffs)
        handedOff(take.id, h);
}

void StationMetrics::handedOff(qint64 id, const HandOffResult& result) {
    if (result.outcome != "failed")
        return;
    // A row the database could not keep has no id: each of its failures counts.
    if (id == 0 || !failedCopies_.contains(QString("%1 %2").arg(id).arg(result.destination))) {
        if (id != 0)
            failedCopies_.insert(QString("%1 %2").arg(id).arg(result.destination));
        ++handOffFailures_;
    }
}

QString StationMetrics::text() const {
    QString out;
    Family(out, "varnola_up", "gauge", "1 while the station console runs, 0 after it stopped.")
        .sample(up_ ? 1 : 0);
    Family(out, "varnola_last_tick_timestamp_seconds", "gauge",
           "The station clock when this file was written, in seconds since the epoch.")
        .sample(epochSeconds(lastTick_));

    Family total(out, "varnola_takes_total", "counter",
                 "Takes due on a record channel since the console started, by outcome.");
    for (int ch = 1; ch <= 2; ++ch)
        for (const TakeOutcome o : Outcomes)
            total.sample(double(takes_[size_t(ch - 1)][size_t(o)]),
                         {{"channel", QString::number(ch)}, {"outcome", outcomeWord(o)}});
    Family last(out, "varnola_last_take_outcome", "gauge",
                "1 for the outcome of the channel's last take, 0 for the others.");
    for (int ch = 1; ch <= 2; ++ch)
        for (const TakeOutcome o : Outcomes)
            last.sample(lastOutcome_[size_t(ch - 1)] == o ? 1 : 0,
                        {{"channel", QString::number(ch)}, {"outcome", outcomeWord(o)}});
    // A channel without a take since the start has no time to give.
    Family lastAt(out, "varnola_last_take_timestamp_seconds", "gauge",
                  "When the channel's last take ended, in seconds since the epoch.");
    for (int ch = 1; ch <= 2; ++ch)
        if (lastTakeAt_[size_t(ch - 1)].isValid())
            lastAt.sample(epochSeconds(lastTakeAt_[size_t(ch - 1)]),
                          {{"channel", QString::number(ch)}});

    Family(out, "varnola_ebno_db", "gauge",
           "The receiver's last Eb/No reading in dB; NaN before the first.")
        .sample(ebNo_);
    Family store(out, "varnola_store_free_bytes", "gauge",
                 "Free bytes on the file system of each drive letter's folder.");
    for (const QString& drive : station_.paths().availableDrives()) {
        const QStorageInfo info(station_.paths().driveFolder(drive.at(0)));
        if (info.isValid() && info.isReady())
            store.sample(double(info.bytesAvailable()), {{"drive", drive}});
    }
    Family(out, "varnola_handoff_failures_total", "counter",
           "Copies to the playout store that failed since the console started.")
        .sample(double(handOffFailures_));
    return out;
}

void StationMetrics::write() {
    lastTick_ = station_.clock().now();
    QSaveFile file(path_);
    const QByteArray bytes = text().toUtf8();
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && !failing_)
        LogError(
            station_,
            QString("The monitoring file %1 cannot be written: %2").arg(path_, file.errorString()));
    failing_ = !ok;
}
