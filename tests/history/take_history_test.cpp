#include "fakes/temp_station.h"
#include "history/take_history.h"
#include "support/test.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QDateTime Monday(QDate(2026, 3, 2), QTime(6, 0, 0));

// Every field, so a column written or read wrongly shows in one comparison.
QString describe(const TakeRecord& r) {
    QStringList s = {QString::number(r.slot),
                     r.name,
                     QString::number(r.channel),
                     r.scheduled.toString(Qt::ISODateWithMs),
                     r.cueOutcome,
                     r.firstAudio.toString(Qt::ISODateWithMs)};
    for (double v :
         {r.firstAudioOffset, double(r.lengthScheduled), r.lengthRecorded, double(r.gaps),
          r.longestGap, r.peakDbfs, r.loudnessLufs, r.ebNoMin, r.ebNoMean})
        s << QString::number(v);
    for (const HandOffResult& h : r.handOffs)
        s << h.destination + "=" + h.outcome + ":" + h.why;
    return (s << outcomeWord(r.outcome) << r.why << r.waveFile).join('|');
}

QStringList describe(const QList<TakeRecord>& takes) {
    QStringList s;
    for (const TakeRecord& r : takes)
        s << describe(r);
    return s;
}

// A second program's connection to the same file (a reader, a lock holder).
struct OtherConnection {
    explicit OtherConnection(const QString& path) {
        QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "other");
        d.setDatabaseName(path);
        EXPECT_TRUE(d.open());
    }
    ~OtherConnection() {
        QSqlDatabase::database("other").close();
        QSqlDatabase::removeDatabase("other");
    }
    bool exec(const QString& sql) { return QSqlQuery(QSqlDatabase::database("other")).exec(sql); }
};

class TakeHistoryTest : public ::testing::Test {
protected:
    TakeHistoryTest() {
        QDir().mkpath(folder);
        t.station->logLineHeard = [this](const QString& prefix, const QString& text) {
            if (prefix == "ER")
                errors << text;
        };
        history.taken = [this](const TakeRecord& r) { heard << r.name; };
        history.handedOff = [this](qint64, const HandOffResult& h) { heard << h.destination; };
    }
    TakeRecord take(const QString& name, int minutes) {
        TakeRecord r;
        r.name = name;
        r.scheduled = Monday.addSecs(minutes * 60);
        return r;
    }
    TempStation t;
    const QString folder = t.host("c:\\satfile");
    const QString path = folder + "/history.db";
    TakeHistory history{*t.station};
    QStringList errors, heard;
};

TEST_F(TakeHistoryTest, RoundTripsNewestFirstAndPurges) {
    TakeRecord full{0,
                    7,
                    "Morning Report",
                    2,
                    Monday,
                    "failed: no answer",
                    Monday.addMSecs(1250),
                    1.25,
                    1800,
                    1799.5,
                    3,
                    2.5,
                    -0.4,
                    -23.04,
                    6.5,
                    8.25,
                    {{"H:\\air", "verified", ""}, {"P:\\b", "failed", "full"}},
                    TakeOutcome::Short,
                    "stopped",
                    "D:\\satfile\\SFMon1.wav"};
    TakeRecord silent = take("Silence", 60);
    silent.outcome = TakeOutcome::Dumped;
    TakeRecord old = take("Old", -24 * 60);
    for (TakeRecord* r : {&old, &full, &silent})
        EXPECT_TRUE(history.write(*r));
    EXPECT_TRUE(full.id > 0 && silent.id > full.id);
    EXPECT_TRUE(history.setHandOff(silent.id, {"H:\\air", "failed", "no space"}));
    EXPECT_TRUE(history.setHandOff(silent.id, {"H:\\air", "verified", ""}));
    silent.handOffs = {{"H:\\air", "verified", ""}};
    EXPECT_EQ(describe(history.since(Monday)), describe(QList{silent, full}));
    EXPECT_EQ(heard, QStringList({"Old", "Morning Report", "Silence", "H:\\air", "H:\\air"}));

    // A reader sees the same rows and cannot write; it never creates a file.
    QString error;
    auto reader = TakeHistory::openForReading(path, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    EXPECT_EQ(describe(reader->since(Monday.addDays(-7))), describe(QList{silent, full, old}));
    EXPECT_FALSE(reader->write(old));
    EXPECT_FALSE(TakeHistory::openForReading(folder + "/none.db", &error));
    EXPECT_EQ(error, "Cannot read the take history " + folder + "/none.db: no such file");
    EXPECT_FALSE(QFile::exists(folder + "/none.db"));

    history.purgeBefore(Monday.date());
    EXPECT_EQ(describe(reader->since(QDateTime())), describe(QList{silent, full}));
    OtherConnection other(path);
    QSqlQuery left(QSqlDatabase::database("other"));
    EXPECT_TRUE(left.exec("SELECT count(*) FROM hand_offs") && left.next());
    EXPECT_EQ(left.value(0).toInt(), 3);
    EXPECT_EQ(errors, QStringList());
}

// A database the station cannot use is one error line however many takes
// end, a false answer and never a crash; it is said again only after it
// worked in between.
TEST_F(TakeHistoryTest, UnusableDatabaseIsOneErrorLine) {
    const bool root = geteuid() == 0;
    struct Case {
        const char* reason;
        std::function<void()> spoil, mend;
        bool seenWhileOpen = true; // a file replaced under an open connection is not
    };
    std::unique_ptr<OtherConnection> holder;
    const std::vector<Case> cases = {
        {"file is not a database",
         [&] {
             QByteArray junk(8192, 0);
             for (char& c : junk)
                 c = char(QRandomGenerator::global()->generate());
             TempStation::writeFile(path, junk);
         },
         [&] { QFile::remove(path); }, false},
        {"database is locked",
         [&] {
             holder = std::make_unique<OtherConnection>(path);
             holder->exec("BEGIN EXCLUSIVE");
         },
         [&] { holder.reset(); }},
        {"unable to open database file",
         [&] {
             QFile::remove(path);
             if (!root || ::mount("tmpfs", qPrintable(folder), "tmpfs", MS_RDONLY, "size=64k"))
                 QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
         },
         [&] {
             if (!root || ::umount2(qPrintable(folder), MNT_DETACH))
                 QFile::setPermissions(folder,
                                       QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
         }},
        {"unable to open database file", [&] { QDir(folder).removeRecursively(); },
         [&] { QDir().mkpath(folder); }},
        {"its version 99 is newer than this program's 1",
         [&] {
             QFile::remove(path);
             OtherConnection(path).exec("PRAGMA user_version=99");
         },
         [&] { QFile::remove(path); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TakeHistory h(*t.station);
        errors.clear();
        c.spoil();
        TakeRecord r = take("Spoilt", 0);
        EXPECT_FALSE(h.write(r));
        EXPECT_FALSE(h.write(r));
        EXPECT_FALSE(h.setHandOff(1, {"H:\\air", "verified", ""}));
        EXPECT_EQ(h.since(QDateTime()).size(), 0);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_THAT(errors[0].toStdString(), testing::AllOf(testing::HasSubstr(path.toStdString()),
                                                            testing::HasSubstr(c.reason)));
        EXPECT_EQ(h.lastError(), errors[0]);
        c.mend();
        EXPECT_TRUE(h.write(r)) << h.lastError().toStdString();
        EXPECT_EQ(h.since(QDateTime()).size(), 1);
        if (c.seenWhileOpen) {
            c.spoil();
            EXPECT_FALSE(h.write(r));
            c.mend();
            EXPECT_EQ(errors.size(), 2);
        }
        QFile::remove(path);
    }
}

} // namespace
