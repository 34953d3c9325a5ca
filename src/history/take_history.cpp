#include "history/take_history.h"

#include "platform/drive_paths.h"
#include "station/log_files.h"
#include "station/station.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <optional>

namespace {

// Each entry brings a database from the version before it to its own
// (entry 0 makes version 1 from an empty file). New versions are added at the
// end and never change the ones before them.
const QStringList Migrations[] = {
    {"CREATE TABLE takes (id INTEGER PRIMARY KEY, slot INTEGER NOT NULL,"
     " name TEXT NOT NULL, channel INTEGER NOT NULL, scheduled TEXT NOT NULL,"
     " cue TEXT NOT NULL, first_audio TEXT, first_audio_offset REAL,"
     " length_scheduled INTEGER NOT NULL, length_recorded REAL NOT NULL,"
     " gaps INTEGER NOT NULL, longest_gap REAL NOT NULL, peak_dbfs REAL,"
     " loudness_lufs REAL, ebno_min REAL, ebno_mean REAL, outcome TEXT NOT NULL,"
     " why TEXT NOT NULL, wave_file TEXT NOT NULL)",
     "CREATE INDEX takes_scheduled ON takes (scheduled)",
     "CREATE TABLE hand_offs (take_id INTEGER NOT NULL,"
     " destination TEXT NOT NULL, outcome TEXT NOT NULL, why TEXT NOT NULL,"
     " PRIMARY KEY (take_id, destination))"},
    {"CREATE TABLE running (id INTEGER PRIMARY KEY CHECK (id = 1), last_seen TEXT NOT NULL)"},
};
constexpr int KnownVersion = int(std::size(Migrations));

// Local station times, sortable as text.
const QString TimeFormat = "yyyy-MM-ddTHH:mm:ss.zzz";

QString timeText(const QDateTime& t) {
    return t.isValid() ? t.toString(TimeFormat) : QString();
}
QDateTime timeOf(const QVariant& v) {
    return v.isNull() ? QDateTime() : QDateTime::fromString(v.toString(), TimeFormat);
}
// SQLite has no NaN: a figure that was not measured is NULL.
QVariant figure(double value) {
    return std::isnan(value) ? QVariant(QMetaType::fromType<double>()) : QVariant(value);
}
// A null string would bind as NULL: an empty text is kept as empty.
QVariant text(const QString& s) {
    return QVariant(s.isNull() ? QStringLiteral("") : s);
}
double figureOf(const QVariant& v) {
    return v.isNull() ? NAN : v.toDouble();
}

const char* const Words[] = {"recorded", "short", "dumped", "refused", "missed"};

} // namespace

QString outcomeWord(TakeOutcome outcome) {
    return Words[int(outcome)];
}

TakeOutcome outcomeFromWord(const QString& word) {
    for (int i = 0; i < int(std::size(Words)); ++i)
        if (word == Words[i])
            return TakeOutcome(i);
    return TakeOutcome::Recorded;
}

struct TakeHistory::Impl {
    Station* station = nullptr; // null when read without a station
    QString hostPath;
    QString connection;
    bool readOnly = false;
    bool isOpen = false;
    // Set by a failure and cleared by the next success, so a database that
    // stays broken is said once, not once per take.
    bool failing = false;
    QString lastError;

    ~Impl() { close(); }

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    void close() {
        if (connection.isEmpty())
            return;
        {
            QSqlDatabase d = db();
            if (d.isOpen())
                d.close();
        }
        QSqlDatabase::removeDatabase(connection);
        connection.clear();
        isOpen = false;
    }

    bool fail(const QString& what, const QString& reason) {
        lastError = what + " " + hostPath + ": " + reason;
        if (!failing && station)
            LogError(*station, lastError);
        failing = true;
        // A lock or a missing folder may clear: the next use opens afresh
        // (the connection is dropped then, when no query holds it).
        isOpen = false;
        return false;
    }
    // SQLite's own words ("database is locked"), else the driver's.
    bool fail(const QString& what, const QSqlError& error) {
        const QString reason = error.databaseText().trimmed().isEmpty()
                                   ? error.driverText().trimmed()
                                   : error.databaseText().trimmed();
        return fail(what, reason.isEmpty() ? QStringLiteral("unknown error") : reason);
    }
    void succeeded() {
        failing = false;
        lastError.clear();
    }

    bool open() {
        // A file removed under the station (by hand, or its folder) would
        // swallow every later take unseen: it is opened afresh instead.
        if (isOpen && QFileInfo::exists(hostPath))
            return true;
        close();
        // Resolved at each opening: the folder may be made, in whatever
        // letter case, after the history was set up.
        if (station)
            hostPath = station->paths().resolve(StationPath);
        static std::atomic<int> counter{0};
        connection = QStringLiteral("varnola_take_history_%1").arg(++counter);
        QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", connection);
        if (!d.isValid())
            return fail("Cannot open the take history", "the SQLite driver is missing");
        d.setDatabaseName(hostPath);
        // The busy wait runs on the UI thread: a held lock is a failed write,
        // not a stalled tick.
        d.setConnectOptions(readOnly ? "QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=50"
                                     : "QSQLITE_BUSY_TIMEOUT=50");
        if (!d.open())
            return fail("Cannot open the take history", d.lastError());
        QSqlQuery q(d);
        if (!q.exec("PRAGMA user_version") || !q.next())
            return fail("Cannot read the take history", q.lastError());
        const int version = q.value(0).toInt();
        q.finish();
        if (version > KnownVersion)
            return fail("Cannot use the take history",
                        QStringLiteral("its version %1 is newer than this program's %2")
                            .arg(version)
                            .arg(KnownVersion));
        if (readOnly && version < KnownVersion)
            return fail("Cannot read the take history",
                        version == 0 ? QStringLiteral("it holds no take history")
                                     : QStringLiteral("its version %1 is older than this "
                                                      "program's %2; start the station once")
                                           .arg(version)
                                           .arg(KnownVersion));
        if (!readOnly) {
            // Without a write-ahead log every commit waits for the disk twice;
            // with it a take's row costs the UI thread well under a
            // millisecond, and a reader never blocks the station.
            q.exec("PRAGMA journal_mode=WAL");
            q.exec("PRAGMA synchronous=NORMAL");
            if (version < KnownVersion && !migrate(d, version))
                return false;
        }
        isOpen = true;
        return true;
    }

    bool migrate(QSqlDatabase& d, int from) {
        if (!d.transaction())
            return fail("Cannot update the take history", d.lastError());
        QSqlQuery q(d);
        for (int v = from; v < KnownVersion; ++v)
            for (const QString& sql : Migrations[v])
                if (!q.exec(sql)) {
                    const QSqlError e = q.lastError();
                    d.rollback();
                    return fail("Cannot update the take history", e);
                }
        if (!q.exec(QStringLiteral("PRAGMA user_version=%1").arg(KnownVersion)) || !d.commit()) {
            const QSqlError e = q.lastError().isValid() ? q.lastError() : d.lastError();
            d.rollback();
            return fail("Cannot update the take history", e);
        }
        return true;
    }

    // Runs work in one transaction; a failure rolls it back and is reported.
    template <class Work> bool inTransaction(const QString& what, Work&& work) {
        if (!open())
            return false;
        QSqlDatabase d = db();
        if (!d.transaction())
            return fail(what, d.lastError());
        QSqlQuery q(d);
        if (!work(q)) {
            const QSqlError e = q.lastError();
            d.rollback();
            return fail(what, e);
        }
        if (!d.commit()) {
            const QSqlError e = d.lastError();
            d.rollback();
            return fail(what, e);
        }
        succeeded();
        return true;
    }

    static bool insertHandOff(QSqlQuery& q, qint64 id, const HandOffResult& h) {
        q.prepare("INSERT OR REPLACE INTO hand_offs (take_id, destination, outcome, why)"
                  " VALUES (?, ?, ?, ?)");
        q.addBindValue(id);
        q.addBindValue(text(h.destination));
        q.addBindValue(text(h.outcome));
        q.addBindValue(text(h.why));
        return q.exec();
    }
};

TakeHistory::TakeHistory(Station& station) : impl_(std::make_unique<Impl>()) {
    impl_->station = &station;
}

TakeHistory::TakeHistory(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

TakeHistory::~TakeHistory() = default;

std::unique_ptr<TakeHistory> TakeHistory::openForReading(const QString& hostPath, QString* error) {
    auto impl = std::make_unique<Impl>();
    impl->hostPath = hostPath;
    impl->readOnly = true;
    // Opening read-only must never leave a new empty file behind.
    const QFileInfo info(hostPath);
    const bool ok = !info.exists() ? impl->fail("Cannot read the take history", "no such file")
                    : info.isDir() ? impl->fail("Cannot read the take history", "it is a folder")
                                   : impl->open();
    if (!ok) {
        if (error)
            *error = impl->lastError;
        return nullptr;
    }
    return std::unique_ptr<TakeHistory>(new TakeHistory(std::move(impl)));
}

QString TakeHistory::lastError() const {
    return impl_->lastError;
}

bool TakeHistory::write(TakeRecord& record) {
    const bool ok =
        !impl_->readOnly && impl_->inTransaction("Cannot keep the take in", [&](QSqlQuery& q) {
            q.prepare("INSERT INTO takes (slot, name, channel, scheduled, cue, first_audio,"
                      " first_audio_offset, length_scheduled, length_recorded, gaps, longest_gap,"
                      " peak_dbfs, loudness_lufs, ebno_min, ebno_mean, outcome, why, wave_file)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            for (const QVariant& v :
                 {QVariant(record.slot), text(record.name), QVariant(record.channel),
                  QVariant(timeText(record.scheduled)), text(record.cueOutcome),
                  record.firstAudio.isValid() ? QVariant(timeText(record.firstAudio))
                                              : QVariant(QMetaType::fromType<QString>()),
                  figure(record.firstAudioOffset), QVariant(record.lengthScheduled),
                  QVariant(record.lengthRecorded), QVariant(record.gaps),
                  QVariant(record.longestGap), figure(record.peakDbfs), figure(record.loudnessLufs),
                  figure(record.ebNoMin), figure(record.ebNoMean),
                  QVariant(outcomeWord(record.outcome)), text(record.why), text(record.waveFile)})
                q.addBindValue(v);
            if (!q.exec())
                return false;
            const qint64 id = q.lastInsertId().toLongLong();
            for (const HandOffResult& h : record.handOffs)
                if (!Impl::insertHandOff(q, id, h))
                    return false;
            record.id = id;
            return true;
        });
    if (taken)
        taken(record);
    return ok;
}

bool TakeHistory::setHandOff(qint64 id, const HandOffResult& result) {
    const bool ok = !impl_->readOnly && id > 0 &&
                    impl_->inTransaction("Cannot keep the hand-off in", [&](QSqlQuery& q) {
                        return Impl::insertHandOff(q, id, result);
                    });
    if (handedOff)
        handedOff(id, result);
    return ok;
}

QList<TakeRecord> TakeHistory::since(const QDateTime& from) const {
    QList<TakeRecord> takes;
    const bool ok = impl_->inTransaction("Cannot read the take history", [&](QSqlQuery& q) {
        q.setForwardOnly(true);
        q.prepare("SELECT id, slot, name, channel, scheduled, cue, first_audio,"
                  " first_audio_offset, length_scheduled, length_recorded, gaps, longest_gap,"
                  " peak_dbfs, loudness_lufs, ebno_min, ebno_mean, outcome, why, wave_file"
                  " FROM takes WHERE scheduled >= ? ORDER BY scheduled DESC, id DESC");
        q.addBindValue(text(timeText(from)));
        if (!q.exec())
            return false;
        while (q.next()) {
            TakeRecord r;
            r.id = q.value(0).toLongLong();
            r.slot = q.value(1).toInt();
            r.name = q.value(2).toString();
            r.channel = q.value(3).toInt();
            r.scheduled = timeOf(q.value(4));
            r.cueOutcome = q.value(5).toString();
            r.firstAudio = timeOf(q.value(6));
            r.firstAudioOffset = figureOf(q.value(7));
            r.lengthScheduled = q.value(8).toInt();
            r.lengthRecorded = q.value(9).toDouble();
            r.gaps = q.value(10).toInt();
            r.longestGap = q.value(11).toDouble();
            r.peakDbfs = figureOf(q.value(12));
            r.loudnessLufs = figureOf(q.value(13));
            r.ebNoMin = figureOf(q.value(14));
            r.ebNoMean = figureOf(q.value(15));
            r.outcome = outcomeFromWord(q.value(16).toString());
            r.why = q.value(17).toString();
            r.waveFile = q.value(18).toString();
            takes.append(r);
        }
        if (q.lastError().isValid())
            return false;
        q.finish();
        q.prepare("SELECT take_id, destination, outcome, why FROM hand_offs"
                  " WHERE take_id IN (SELECT id FROM takes WHERE scheduled >= ?)"
                  " ORDER BY take_id, rowid");
        q.addBindValue(text(timeText(from)));
        if (!q.exec())
            return false;
        QHash<qint64, qsizetype> index;
        for (qsizetype i = 0; i < takes.size(); ++i)
            index.insert(takes[i].id, i);
        while (q.next())
            if (const auto it = index.constFind(q.value(0).toLongLong()); it != index.cend())
                takes[*it].handOffs.append(
                    {q.value(1).toString(), q.value(2).toString(), q.value(3).toString()});
        return !q.lastError().isValid();
    });
    if (!ok)
        takes.clear();
    return takes;
}

bool TakeHistory::markRunning(const QDateTime& now) {
    return !impl_->readOnly &&
           impl_->inTransaction("Cannot keep the running mark in", [&](QSqlQuery& q) {
               q.prepare("INSERT OR REPLACE INTO running (id, last_seen) VALUES (1, ?)");
               q.addBindValue(text(timeText(now)));
               return q.exec();
           });
}

QDateTime TakeHistory::lastRunning() const {
    QDateTime last;
    impl_->inTransaction("Cannot read the take history", [&](QSqlQuery& q) {
        if (!q.exec("SELECT last_seen FROM running WHERE id = 1"))
            return false;
        if (q.next())
            last = timeOf(q.value(0));
        return true;
    });
    return last;
}

void TakeHistory::purgeBefore(const QDate& date) {
    if (impl_->readOnly)
        return;
    impl_->inTransaction("Cannot purge the take history", [&](QSqlQuery& q) {
        for (const char* sql :
             {"DELETE FROM hand_offs WHERE take_id IN (SELECT id FROM takes WHERE scheduled < ?)",
              "DELETE FROM takes WHERE scheduled < ?"}) {
            q.prepare(sql);
            q.addBindValue(timeText(date.startOfDay()));
            if (!q.exec())
                return false;
        }
        return true;
    });
}
