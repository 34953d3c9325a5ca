#include "export/hand_off.h"
#include "export/playout_store.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "fakes/wave_files.h"
#include "platform/record_file.h"
#include "station/export_record.h"
#include "support/test.h"

#include <QtEndian>

namespace {

const std::array<QString, 8> Days{"Off",       "Sunday",   "Monday", "Tuesday",
                                  "Wednesday", "Thursday", "Friday", "Saturday"};

// Zero bytes written as '|'.
QByteArray zeros(const char* text) {
    return QByteArray(text).replace('|', '\0');
}

auto fields(const ExportRecord& x) {
    return std::tie(x.ExportMode, x.ExportDays, x.ExportPaths, x.ExportFade, x.ExportLength,
                    x.WinjockNumber);
}

// Other tools read the rule file by these offsets.
TEST(ExportRecordTest, FieldsOffsetsModeChangeTypedNumbersAndGauge) {
    const ExportRecord r{ExportWinjock, {0, 1}, {"", "H:\\programs\\SF8005NNN.wav"}, 1,
                         "30:00",       8005};
    const QByteArray b = r.bytes();
    ASSERT_EQ(b.size(), 235);
    EXPECT_EQ(b.mid(0, 6), zeros("\x02|||\x01|"));
    EXPECT_EQ(b.mid(16, 60), QByteArray(30, ' ') + "H:\\programs\\SF8005NNN.wav     ");
    EXPECT_EQ(b.mid(226, 7), zeros("\x01|30:00"));
    EXPECT_EQ(qFromLittleEndian<qint16>(b.constData() + 233), 8005);
    EXPECT_EQ(fields(ExportRecord::parse(b)), fields(r));
    // Choosing a mode for a slot never given a rule leaves every other byte.
    QTemporaryDir dir;
    RecordFile file;
    ASSERT_TRUE(file.open(dir.filePath("Exportinfo.dat"), ExportRecord::Length, nullptr));
    ASSERT_TRUE(WriteExportMode(file, 3, ExportUserDefined, nullptr));
    for (ScheduleNo n : {1, 2, 7})
        EXPECT_EQ(fields(ReadExportRecord(file, n)), fields(ExportRecord{})) << n;
    EXPECT_EQ(*file.read(3), QByteArray("\x01", 1) + QByteArray(234, '\0'));
    // Typed numbers must fit the stored 16 bits; the gauge keeps its value
    // without a total.
    for (const auto& [text, number] : std::vector<std::pair<const char*, int>>{
             {" 8005", 8005}, {"12.5x", 12}, {"13.5", 14}, {"x12", 0}, {"99999", 0}})
        EXPECT_EQ(TypedNumber(text), number) << text;
    for (const auto& [text, ms] : std::vector<std::pair<const char*, std::optional<qint64>>>{
             {"30:00", 1800000}, {"5:30", 330000}, {"", std::nullopt}, {"00:00", std::nullopt}})
        EXPECT_EQ(ExportLengthMs(text), ms) << text;
    EXPECT_EQ((std::array{ExportGaugeValue(50, 100), ExportGaugeValue(100, 100),
                          ExportGaugeValue(2, 3), ExportGaugeValue(10, 0)}),
              (std::array<std::optional<int>, 4>{50, 100, 67, std::nullopt}));
}

// Dated names take the next date on the recorded weekday, today included.
TEST(PlayoutNamingTest, SuffixesLabelsAndCompanionRecord) {
    const std::vector<std::tuple<char, int, QDate, QString>> cases = {
        {'1', 1, Monday, "061 03-02-2026"},
        {'1', 0, Monday, "067 03-08-2026"},
        {'1', 6, QDate(2026, 12, 28), "002 01-02-2027"},
        {'2', 1, Monday, "902 2Monday   "},
        {'2', 6, Monday, "907 7Saturday "},
        {'3', 4, Monday, "000 Evergreen "}};
    for (const auto& [kind, weekday, today, expected] : cases) {
        const auto naming = namingOf(kind, weekday, today, Days);
        ASSERT_TRUE(naming) << kind << weekday;
        EXPECT_EQ(naming->suffix + " " + naming->label, expected);
    }
    EXPECT_FALSE(namingOf('0', 4, Monday, Days));
    // Whole seconds round half to even; a fade takes two off the first.
    EXPECT_EQ(CompanionDataRecord(1700000, false, "2Monday   "), zeros("1700|1700|2Monday   "));
    EXPECT_EQ(CompanionDataRecord(1700000, true, "2Monday   ").left(10), zeros("1698|1700|"));
    EXPECT_EQ(CompanionDataRecord(1700500, false, "").mid(5, 5), zeros("1700|"));
}

// A low sample rate keeps half an hour of stereo small.
constexpr int Rate = 200;
const QString Recording = "C:\\SATFILE\\SFMON005.WAV";

class HandOffTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.startUp();
        t.station->state.ActivityLogOn = 1;
        // Left: every frame its own value; right: a steady level.
        std::vector<short> samples;
        for (qint64 f = 0; f < 1750 * Rate; ++f) {
            samples.push_back(short(f * 37 % 30000 - 15000));
            samples.push_back(10000);
        }
        writeWave(t.host(Recording), samples, 2, Rate);
        source = readWave(t.host(Recording));
    }

    // Schedule 5's rule: Monday to the path, 30 minutes, Winjock slot 8005.
    void rule(int16_t mode, const QString& mondayPath = {}, int16_t fade = 0) {
        const ExportRecord r{mode, {0, 1}, {"", mondayPath}, fade, "30:00", 8005};
        ASSERT_TRUE(WriteExportRecord(t.station->state.ExportFile, 5, r, nullptr));
    }

    void programTable(QChar drive, char kind) {
        QByteArray table = QByteArray(4 * 32, '1');
        table += kind + QByteArray("Morning Show").leftJustified(25) + "06:00" + "0";
        TempStation::writeFile(t.host(QString(drive) + ":\\programs\\Program.dat"), table);
    }

    void handOff(double lastAudio = 1700) {
        h.RecordingFinished({1, 5, 1, Recording, "C:\\SATFILE\\SFMON005.DAT", lastAudio});
        // The purge must not delete a recording that is being copied.
        EXPECT_EQ(t.station->fileInUse(t.host(Recording)), h.busy(1));
        for (int ticks = 0; h.busy(1) && ticks < 100; ++ticks) {
            ASSERT_TRUE(h.waitForCopy(1, 30000));
            t.time.advance(100);
        }
        ASSERT_FALSE(h.busy(1));
    }

    QString log(const char* kind) { return QString::fromLatin1(t.log(kind, t.time.today())); }

    QStringList leftovers(const QString& stationFolder) {
        return QDir(t.host(stationFolder)).entryList({"*.part"}, QDir::Files | QDir::Hidden);
    }

    TempStation t;
    ExportHandOff h{*t.station};
    WaveContents source;
};

// Each store labels its companion file by its own programme table; the file
// names are the first store's.
TEST_F(HandOffTest, WinjockCopiesToHThenPWithTheCompanionFileAndFades) {
    rule(ExportWinjock);
    programTable('H', '2');
    programTable('P', '3');
    handOff();

    const QString activity = log("AL");
    const qsizetype toH = activity.indexOf("Export->H:\\programs\\SF8005902.wav");
    EXPECT_GE(toH, 0) << activity.toStdString();
    EXPECT_GT(activity.indexOf("Export->P:\\programs\\SF8005902.wav"), toH);
    for (QChar drive : {'H', 'P'}) {
        const QString folder = QString(drive) + ":\\programs\\";
        const WaveContents copy = readWave(t.host(folder + "SF8005902.wav"));
        // The last audio (1700 s) is shorter than the rule's 30:00.
        ASSERT_EQ(copy.frames, 1700 * Rate) << drive.toLatin1();
        EXPECT_TRUE(std::equal(copy.samples.begin(), copy.samples.end(), source.samples.begin()));
        EXPECT_EQ(TempStation::readFile(t.host(folder + "DF8005902.dat")),
                  zeros("1700|1700|") + (drive == 'H' ? "2Monday   " : "Evergreen "));
        EXPECT_TRUE(leftovers(folder).isEmpty());
    }
    EXPECT_EQ(t.station->display.Rec(1).Gauge, 100);
    EXPECT_FALSE(t.station->display.Rec(1).GaugeVisible);
    EXPECT_FALSE(h.exportTimer(1).isEnabled());

    // A fade ramps the last five seconds to silence and keeps every sample before.
    rule(ExportWinjock, {}, 1);
    handOff();

    const WaveContents copy = readWave(t.host("H:\\programs\\SF8005902.wav"));
    ASSERT_EQ(copy.frames, 1700 * Rate);
    const size_t fadeFrom = size_t(1695 * Rate) * 2;
    EXPECT_TRUE(std::equal(copy.samples.begin(), copy.samples.begin() + qsizetype(fadeFrom),
                           source.samples.begin()));
    // The steady right channel shows the ramp: down all the way, half way at half time.
    for (size_t i = fadeFrom + 3; i < copy.samples.size(); i += 2)
        EXPECT_LE(copy.samples[i], copy.samples[i - 2]);
    EXPECT_NEAR(copy.samples[fadeFrom + 5 * Rate + 1], 5000, 30);
    EXPECT_EQ(std::vector(copy.samples.end() - 2, copy.samples.end()), std::vector<short>(2, 0));
    EXPECT_EQ(TempStation::readFile(t.host("P:\\programs\\DF8005902.dat")),
              zeros("1698|1700|Evergreen "));
}

// A failed copy must not leave last week's programme under this week's name:
// the previous file goes, and the error log says so.
TEST_F(HandOffTest, UserDefinedCopiesToItsPathThenToPAndAFailureRemovesThePreviousFile) {
    rule(ExportUserDefined, "D:\\shows\\news");
    TempStation::writeFile(t.host("P:\\shows\\news.wav"), "last week's");
    QDir().mkpath(t.host("D:\\shows"));
    handOff(1720);
    EXPECT_EQ(readWave(t.host("D:\\shows\\news.wav")).frames, 1720 * Rate);
    EXPECT_EQ(readWave(t.host("P:\\shows\\news.wav")).frames, 1720 * Rate);

    QFile::remove(t.host(Recording));
    handOff();
    EXPECT_FALSE(QFile::exists(t.host("D:\\shows\\news.wav")));
    EXPECT_FALSE(QFile::exists(t.host("P:\\shows\\news.wav")));
    EXPECT_EQ(log("ER").count("Export->"), 2) << log("ER").toStdString();
    EXPECT_TRUE(log("ER").contains("Removed P:\\shows\\news.wav, left from an earlier export"));
    EXPECT_TRUE(leftovers("P:\\shows").isEmpty());
}

TEST_F(HandOffTest, NamesThatCannotBeFormedOrFoldersThatAreMissingAreLoggedAndNotGuessed) {
    rule(ExportWinjock);
    handOff();
    EXPECT_TRUE(log("ER").contains("H:\\programs\\Program.dat")) << log("ER").toStdString();
    programTable('H', '0');
    handOff();
    EXPECT_TRUE(log("ER").contains("is not active")) << log("ER").toStdString();
    EXPECT_TRUE(QDir(t.host("P:\\programs")).entryList({"SF*", "DF*"}).isEmpty());
    EXPECT_EQ(log("AL").count("Export->"), 0);

    // A destination that cannot be replaced (here a folder of that name)
    // fails that copy alone; a missing folder on P is reported, not made.
    rule(ExportUserDefined, "D:\\shows\\news");
    QDir().mkpath(t.host("D:\\shows\\news.wav"));
    handOff();
    const QString errors = log("ER");
    EXPECT_TRUE(errors.contains("Export->D:\\shows\\news.wav failed")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("P:\\shows\\")) << errors.toStdString();
    EXPECT_FALSE(QDir(t.host("P:\\shows")).exists());
    EXPECT_TRUE(leftovers("D:\\shows").isEmpty());

    const qsizetype linesBefore = log("ER").size() + log("AL").size();
    rule(ExportInactive);
    handOff();
    EXPECT_EQ(log("ER").size() + log("AL").size(), linesBefore);
}

} // namespace
