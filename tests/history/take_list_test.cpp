#include "fakes/takes.h"
#include "history/take_list.h"
#include "support/test.h"

namespace {

const QDateTime Nine(QDate(2026, 3, 2), QTime(9, 0));

class TakeListTest : public ::testing::Test, protected TakeStation {};

// Texts (NaN shown empty), marks, the audition's day and why it cannot open.
TEST_F(TakeListTest, RowsFiltersAndSpans) {
    TakeRecord good =
        take("Morning News", TakeOutcome::Recorded, Nine, "P:\\satfile\\SFMON012.WAV");
    std::tie(good.firstAudio, good.firstAudioOffset, good.lengthRecorded, good.gaps,
             good.longestGap, good.peakDbfs, good.loudnessLufs, good.ebNoMin, good.ebNoMean) =
        std::tuple(Nine.addMSecs(420), 0.42, 1799.6, 2, 1.5, -3.04, -23.01, 8.1, 9.34);
    good.handOffs = {{"H:\\programs", "verified", {}}};
    TakeRecord dumped = take("Farm report", TakeOutcome::Dumped, Nine);
    dumped.why = "no audio";
    TakeRecord shorter =
        take("Evening news", TakeOutcome::Short, Nine, "P:\\satfile\\SFSUN012.WAV");
    shorter.handOffs = {{"H:\\programs", "failed", "disk full"}, {"P:\\air", "none", {}}};
    TakeRecord foreign = take("Jazz", TakeOutcome::Recorded, Nine, "D:\\satfile\\SFMON012.WAV");
    for (const QString& wave : {good.waveFile, foreign.waveFile})
        TempStation::writeFile(t.host(wave), "RIFF");

    const QList<TakeRow> rows = takeRows({good, dumped, shorter, foreign}, *t.station);
    QStringList described;
    for (const TakeRow& r : rows)
        described << r.texts.join('|') +
                         QString("|%1%2 %3|").arg(r.failure).arg(r.handOffFailed).arg(r.weekday) +
                         auditionRefusal(r);
    const QString day = "Mon 03/02/26 09:00:00|2|12|";
    EXPECT_EQ(
        described,
        QStringList({day + "Morning News|recorded|+0.42 s|30:00 / 30:00|2 (longest 1.5 "
                           "s)|-3.0|-23.0|8.1 / 9.3|H:\\programs: verified||00 1|",
                     day + "Farm report|dumped||00:00 / 30:00|0|||||no audio|10 -1|Nothing was "
                           "recorded of Farm report (Mon 03/02/26 09:00:00).",
                     day + "Evening news|short||00:00 / 30:00|0||||H:\\programs: failed (disk "
                           "full); P:\\air: none||11 0|The recording of Evening news (Mon 03/02/26 "
                           "09:00:00) no longer exists: P:\\satfile\\SFSUN012.WAV",
                     day + "Jazz|recorded||00:00 / 30:00|0||||||00 -1|The recording of Jazz (Mon "
                           "03/02/26 09:00:00) is not on the wave drive the audition plays from: "
                           "D:\\satfile\\SFMON012.WAV"}));

    // Failures include a take whose copy to the playout store failed.
    for (const auto& [filter, want] : QList<std::pair<TakeFilter, QStringList>>{
             {{FailedTakes, ""}, {"Farm report", "Evening news"}},
             {{"recorded", ""}, {"Morning News", "Jazz"}},
             {{AllTakes, " NEWS "}, {"Morning News", "Evening news"}},
             {{"short", "news"}, {"Evening news"}}}) {
        QStringList names;
        for (const TakeRow& r : filtered(rows, filter))
            names << r.name;
        EXPECT_EQ(names, want) << filter.outcome.toStdString();
    }

    // A band runs from the first audio for the length recorded, else from the
    // schedule for its length; a take across midnight is cut to the day.
    TakeRecord late = take("Overnight", TakeOutcome::Recorded, Nine.addSecs(-33000));
    late.lengthRecorded = 1200;
    const auto at = [](int h, int m, int ms = 0) {
        return Nine.addSecs((h - 9) * 3600 + m * 60).addMSecs(ms);
    };
    EXPECT_EQ(
        takeSpansOn({take("Tomorrow", TakeOutcome::Missed, Nine.addDays(1)), good, dumped, late},
                    Nine.date()),
        (QList<TakeSpan>{{at(0, 0), at(0, 10), "Overnight", false},
                         {at(9, 0), at(9, 30), "Farm report", true},
                         {at(9, 0, 420), at(9, 30, 20), "Morning News", false}}));
}

} // namespace
