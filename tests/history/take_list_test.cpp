#include "fakes/takes.h"
#include "history/take_list.h"
#include "support/test.h"

namespace {

const QDateTime Nine(QDate(2026, 3, 2), QTime(9, 0));

class TakeListTest : public ::testing::Test, protected TakeStation {};

TEST_F(TakeListTest, RowsFiltersAndSpans) {
    TakeRecord good =
        take("Morning News", TakeOutcome::Recorded, Nine, "P:\\satfile\\SFMON012.WAV");
    good.firstAudio = good.scheduled.addMSecs(420);
    good.firstAudioOffset = 0.42;
    good.lengthRecorded = 1799.6;
    good.gaps = 2;
    good.longestGap = 1.5;
    good.peakDbfs = -3.04;
    good.loudnessLufs = -23.01;
    good.ebNoMin = 8.1;
    good.ebNoMean = 9.34;
    good.handOffs = {{"H:\\programs", "verified", {}}};
    TempStation::writeFile(t.host(good.waveFile), "RIFF");
    TakeRecord dumped = take("Farm report", TakeOutcome::Dumped, Nine);
    dumped.why = "no audio";
    TakeRecord shortTake =
        take("Evening news", TakeOutcome::Short, Nine, "P:\\satfile\\SFSUN012.WAV");
    shortTake.lengthRecorded = 65;
    shortTake.handOffs = {{"H:\\programs", "failed", "disk full"}, {"P:\\air", "none", {}}};
    TakeRecord foreign = take("Jazz", TakeOutcome::Recorded, Nine, "D:\\satfile\\SFMON012.WAV");
    TempStation::writeFile(t.host(foreign.waveFile), "RIFF");

    const QList<TakeRow> rows = takeRows({good, dumped, shortTake, foreign}, *t.station);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].texts,
              QStringList({"Mon 03/02/26 09:00:00", "2", "12", "Morning News", "recorded",
                           "+0.42 s", "30:00 / 30:00", "2 (longest 1.5 s)", "-3.0", "-23.0",
                           "8.1 / 9.3", "H:\\programs: verified", ""}));
    EXPECT_EQ(rows[1].texts.mid(4),
              QStringList({"dumped", "", "00:00 / 30:00", "0", "", "", "", "", "no audio"}));
    EXPECT_EQ(rows[2].texts.mid(11, 1),
              QStringList{"H:\\programs: failed (disk full); P:\\air: none"});
    struct Expected {
        bool failure, handOffFailed;
        int weekday;
        QString refusal;
    };
    const QList<Expected> expected = {
        {false, false, 1, ""},
        {true, false, -1, "Nothing was recorded of Farm report (Mon 03/02/26 09:00:00)."},
        {true, true, 0,
         "The recording of Evening news (Mon 03/02/26 09:00:00) no longer exists: "
         "P:\\satfile\\SFSUN012.WAV"},
        {false, false, -1,
         "The recording of Jazz (Mon 03/02/26 09:00:00) is not on the wave drive the audition "
         "plays from: D:\\satfile\\SFMON012.WAV"}};
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name.toStdString());
        EXPECT_EQ(rows[i].failure, expected[i].failure);
        EXPECT_EQ(rows[i].handOffFailed, expected[i].handOffFailed);
        EXPECT_EQ(rows[i].weekday, expected[i].weekday);
        EXPECT_EQ(auditionRefusal(rows[i]), expected[i].refusal);
    }
    EXPECT_EQ(rows[0].hostPath, t.host(good.waveFile));

    const auto names = [&](const TakeFilter& f) {
        QStringList out;
        for (const TakeRow& r : filtered(rows, f))
            out << r.name;
        return out;
    };
    // Failures include a take whose copy to the playout store failed.
    for (const auto& [filter, want] : QList<std::pair<TakeFilter, QStringList>>{
             {{}, {"Morning News", "Farm report", "Evening news", "Jazz"}},
             {{FailedTakes, ""}, {"Farm report", "Evening news"}},
             {{"recorded", ""}, {"Morning News", "Jazz"}},
             {{AllTakes, " NEWS "}, {"Morning News", "Evening news"}},
             {{"short", "news"}, {"Evening news"}},
             {{"missed", ""}, {}}})
        EXPECT_EQ(names(filter), want) << filter.outcome.toStdString();
    EXPECT_EQ(takeOutcomeChoices().size(), 7);
    EXPECT_EQ(takesFrom(QDate(2026, 3, 2), 7), QDateTime(QDate(2026, 2, 24), QTime(0, 0)));

    // A band runs from the first audio for the length recorded, else from the
    // schedule for its length; a take across midnight is cut to the day.
    TakeRecord late = take("Overnight", TakeOutcome::Recorded, Nine);
    late.scheduled = QDateTime(QDate(2026, 3, 1), QTime(23, 50));
    late.lengthRecorded = 1200;
    TakeRecord tomorrow = take("Tomorrow", TakeOutcome::Missed, Nine);
    tomorrow.scheduled = tomorrow.scheduled.addDays(1);
    const auto at = [](int h, int m, int ms = 0) {
        return QDateTime(QDate(2026, 3, 2), QTime(h, m)).addMSecs(ms);
    };
    EXPECT_EQ(takeSpansOn({tomorrow, good, dumped, late}, QDate(2026, 3, 2)),
              (QList<TakeSpan>{{at(0, 0), at(0, 10), "Overnight", false},
                               {at(9, 0), at(9, 30), "Farm report", true},
                               {at(9, 0, 420), at(9, 30, 20), "Morning News", false}}));
}

} // namespace
