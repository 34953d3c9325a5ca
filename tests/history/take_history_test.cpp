#include "fakes/takes.h"
#include "history/take_history.h"
#include "support/test.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace {

const QDateTime Monday(QDate(2026, 3, 2), QTime(6, 0, 0));

// A lock holder, an older or a newer program.
bool otherProgram(const QString& path, const QString& sql) {
    QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "other");
    d.setDatabaseName(path);
    return d.open() && QSqlQuery(d).exec(sql);
}
void otherProgramEnds() {
    QSqlDatabase::database("other", false).close();
    QSqlDatabase::removeDatabase("other");
}

class TakeHistoryTest : public ::testing::Test {
protected:
    TakeHistoryTest() {
        QDir().mkpath(folder);
        t.station->logLineHeard = [this](const QString& kind, const QString& text) {
            if (kind == "ER")
                errors << text;
        };
        history.taken = [this](const TakeRecord& r) { heard << r.name; };
        history.handedOff = [this](qint64, const HandOffResult& h) { heard << h.destination; };
    }
    TempStation t;
    const QString folder = t.host("c:\\satfile");
    const QString path = folder + "/history.db";
    TakeHistory history{*t.station};
    QStringList errors, heard;
};

TEST_F(TakeHistoryTest, RoundTripsNewestFirstAndPurges) {
    // clang-format off
    TakeRecord full{0, 7, "Morning Report", 2, Monday, "failed: no answer", Monday.addMSecs(1250),
                    1.25, 1800, 1799.5, 3, 2.5, -0.4, -23.04, 6.5, 8.25,
                    {{"H:\\air", "verified", ""}, {"P:\\b", "failed", "full"}}, TakeOutcome::Short,
                    "stopped", "D:\\satfile\\SFMon1.wav"};
    // clang-format on
    TakeRecord silent = TakeStation::take("Silence", TakeOutcome::Dumped, Monday.addSecs(3600)),
               old = TakeStation::take("Old", TakeOutcome::Missed, Monday.addDays(-1));
    for (TakeRecord* r : {&old, &full, &silent})
        EXPECT_TRUE(history.write(*r));
    EXPECT_TRUE(history.setHandOff(silent.id, {"H:\\air", "failed", "no space"}));
    EXPECT_TRUE(history.setHandOff(silent.id, {"H:\\air", "verified", ""})); // replaces it
    silent.handOffs = {{"H:\\air", "verified", ""}};
    EXPECT_EQ(describeTakes(history.since(Monday)), describeTakes({silent, full}));
    EXPECT_EQ(heard, QStringList({"Old", "Morning Report", "Silence", "H:\\air", "H:\\air"}));

    // A reader sees the same rows and cannot write; it never makes a file.
    QString error;
    auto reader = TakeHistory::openForReading(path, &error);
    ASSERT_TRUE(reader) << error.toStdString();
    EXPECT_EQ(describeTakes(reader->since(QDateTime())), describeTakes({silent, full, old}));
    EXPECT_FALSE(reader->write(old));
    EXPECT_FALSE(TakeHistory::openForReading(folder + "/none.db", &error));
    EXPECT_EQ(error, "Cannot read the take history " + folder + "/none.db: no such file");
    EXPECT_FALSE(QFile::exists(folder + "/none.db"));
    history.purgeBefore(Monday.date());
    EXPECT_EQ(describeTakes(reader->since(QDateTime())), describeTakes({silent, full}));
    // A database of the version before is brought up to date, its takes kept.
    EXPECT_TRUE(otherProgram(path, "DROP TABLE running") &&
                QSqlQuery(QSqlDatabase::database("other")).exec("PRAGMA user_version=1"));
    otherProgramEnds();
    TakeHistory older(*t.station);
    EXPECT_TRUE(older.markRunning(Monday));
    EXPECT_EQ(describeTakes(older.since(QDateTime())), describeTakes({silent, full}));
    EXPECT_EQ(errors, QStringList());
}

// A database the station cannot use is one error line however many takes
// end, a false answer and never a crash; said again only after it worked.
TEST_F(TakeHistoryTest, UnusableDatabaseIsOneErrorLine) {
    const auto write = [&](const QByteArray& b) { TempStation::writeFile(path, b); };
    const auto remove = [&] { QFile::remove(path); };
    struct Case {
        const char* reason;
        std::function<void()> spoil, mend;
        bool again; // a file replaced under an open connection goes unseen
    };
    const Case cases[] = {
        {"file is not a database", [&] { write(QByteArray(8192, '\x5a')); }, remove, false},
        {"database is locked", [&] { otherProgram(path, "BEGIN EXCLUSIVE"); }, otherProgramEnds,
         true},
        {"its version 99 is newer than this program's 2",
         [&] { otherProgram(path, "PRAGMA user_version=99"), otherProgramEnds(); }, remove, false},
        // Last: the folder comes back in another letter case, as start-up makes it.
        {"unable to open database file", [&] { QDir(t.drive('C')).removeRecursively(); },
         [&] { QDir().mkpath(t.drive('C') + "/SATFILE"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TakeHistory h(*t.station);
        errors.clear();
        c.spoil();
        TakeRecord r = TakeStation::take("Spoilt", TakeOutcome::Recorded, Monday);
        EXPECT_FALSE(h.write(r) || h.write(r) || h.setHandOff(1, {"H:\\air", "verified", ""}));
        EXPECT_EQ(h.since(QDateTime()).size(), 0);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_THAT(errors[0].toStdString(), testing::AllOf(testing::HasSubstr(path.toStdString()),
                                                            testing::HasSubstr(c.reason)));
        c.mend();
        EXPECT_TRUE(h.write(r)) << h.lastError().toStdString();
        EXPECT_EQ(h.since(QDateTime()).size(), 1);
        if (c.again) {
            c.spoil();
            EXPECT_FALSE(h.write(r));
            c.mend();
            EXPECT_EQ(errors.size(), 2);
        }
        remove();
    }
}

} // namespace
