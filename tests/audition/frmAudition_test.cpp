#include "audition/frmAudition.h"
#include "support/test.h"

#include "fakes/fake_wave_player.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "station/recording_files.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <limits>
#include <sndfile.h>

namespace {

const QString Monday = "C:\\SATFILE\\SFMON005", Tuesday = "C:\\SATFILE\\SFTUE005";

QString rgb(int r, int g, int b) {
    return QString("background-color: rgb(%1, %2, %3);").arg(r).arg(g).arg(b);
}

class AuditionTest : public ::testing::Test {
protected:
    // Play card 0, audition card 1, wave drive C; slot 3 is deleted.
    void SetUp() override {
        t.writeSettings(
            {{Setting::PlayDevice, 0}, {Setting::AuditionDevice, 1}, {Setting::WaveDriveNo, 3}});
        t.startUp();
        ScheduleFile& file = t.station->state.SatListFile;
        putSchedule(file, 2, "Morning", "1", {});
        putSchedule(file, 3, "Gone", "1", {});
        ASSERT_TRUE(file.deleteRecord(3));
        putSchedule(file, 5, "News", "1", {});
        TempStation::writeFile(t.host(Monday + ".WAV"), QByteArray(1000, 'x'));
        w = std::make_unique<frmAudition>(*t.station, players.factory());
        w->show();
    }
    ~AuditionTest() override { t.station->ShutDown(); }

    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // Slot 5 on weekday day (0 = Sunday).
    void play(int day = 1) {
        w->lstDay->setCurrentRow(day);
        w->lstSchedule->setCurrentRow(1);
        click(w->cmdPlay);
    }
    Marks marks(const QString& name = Monday) {
        const auto [eom, endOfFile] = readMarks(t.host(name + ".DAT"), 1e9);
        return {float(eom), float(endOfFile)};
    }
    void writeMarks(double eom, double endOfFile) {
        QString error;
        ASSERT_TRUE(::writeMarks(t.host(Monday + ".DAT"), eom, endOfFile, &error));
    }
    FakeWavePlayers::Player& player() { return players.last(); }
    int32_t auditionPlaying() const { return t.station->state.AuditionPlaying; }

    TempStation t;
    FakeWavePlayers players;
    std::unique_ptr<frmAudition> w;
};

} // namespace

TEST_F(AuditionTest, ListsSchedulesAndPromptsForWhatIsMissing) {
    EXPECT_EQ(w->lstDay->item(0)->text(), "Sunday");
    ASSERT_EQ(w->lstSchedule->count(), 2);
    EXPECT_EQ(w->lstSchedule->item(1)->data(Qt::UserRole).toLongLong(), 5);

    click(w->cmdPlay);
    EXPECT_EQ(w->lblWave->text(), "Select a Program");
    w->lstSchedule->setCurrentRow(1);
    EXPECT_EQ(w->lblNumber->text(), "5");
    click(w->cmdPlay);
    EXPECT_EQ(w->lblWave->text(), "  Select a Day");
    TempStation::writeFile(t.host(Tuesday + ".WAV"), {});
    for (int day : {2, 3}) {
        w->lstDay->setCurrentRow(day);
        EXPECT_EQ(w->lblWave->text(), "");
        click(w->cmdPlay);
        EXPECT_EQ(w->lblWave->text(), "  Not Available");
    }
    EXPECT_TRUE(players.made.empty());
}

TEST_F(AuditionTest, ProgrammeAndAuditionRefuseEachOtherOnOneCardAndBothPlayOnTwo) {
    StationState& s = t.station->state;
    s.AuditionDevice = s.PlayDevice;
    s.Playing = 1;
    play();
    EXPECT_EQ(t.messages.shown, QStringList{WaveAlreadyPlayingText});
    EXPECT_TRUE(players.made.empty());

    s.Playing = 0;
    play();
    EXPECT_FALSE(ProgrammeMayPlay(s));

    click(w->cmdStopPlay);
    s.AuditionDevice = 1;
    s.Playing = 1;
    play();
    EXPECT_EQ(player().device, 1);
    EXPECT_EQ(auditionPlaying(), 1);
    EXPECT_TRUE(ProgrammeMayPlay(s));
}

TEST_F(AuditionTest, PauseResumeAndStopShowTheirColours) {
    EXPECT_EQ(w->cmdPause->styleSheet(), rgb(255, 255, 192));
    play();
    EXPECT_EQ(w->cmdPlay->styleSheet(), rgb(128, 255, 128));
    EXPECT_EQ(w->lblMode->text(), "Stereo16 Bit 44100");
    EXPECT_TRUE(t.station->fileInUse(t.host(Monday + ".WAV"))) << "the purge must keep it";
    click(w->cmdPause);
    EXPECT_TRUE(player().paused);
    EXPECT_EQ(w->cmdPause->styleSheet() + w->cmdPlay->styleSheet(),
              rgb(255, 255, 0) + rgb(0, 128, 0));
    click(w->cmdPlay);
    EXPECT_EQ(players.made.size(), 1u);
    EXPECT_FALSE(player().paused);
    EXPECT_EQ(w->cmdPause->styleSheet(), rgb(255, 255, 192));

    player().play(5000);
    t.time.advance(100);
    EXPECT_EQ(w->lblTime->text(), "00:05");
    click(w->cmdPause);
    click(w->cmdStopPlay);
    EXPECT_FALSE(player().playing);
    EXPECT_EQ(w->cmdPlay->styleSheet() + w->lblTime->text() + w->lblDown->text(), "");
    EXPECT_EQ(w->cmdPause->styleSheet(), rgb(255, 255, 192));
    EXPECT_EQ(auditionPlaying(), 0);
    // A stop while paused ends the pause: Play starts afresh.
    play();
    EXPECT_EQ(players.made.size(), 2u);
    EXPECT_TRUE(player().playing);
}

// A damaged marks file must not reach the player as a negative time.
TEST_F(AuditionTest, CountsDownToTheFullLengthWithoutAnEomAndFollowsTheSlider) {
    writeMarks(-5, std::numeric_limits<double>::quiet_NaN());
    play();
    EXPECT_EQ(player().endMs, 0);
    player().play(100400);
    t.time.advance(100);
    EXPECT_EQ(w->lblTime->text() + " " + w->lblDown->text(), "01:40 03:20");
    EXPECT_EQ(w->TrackBar->maximum(), 300000);
    EXPECT_EQ(w->TrackBar->value(), 100400);

    w->TrackBar->setSliderDown(true);
    w->TrackBar->setValue(299600);
    EXPECT_EQ(player().position, 299600);
    player().play(100);
    t.time.advance(100);
    EXPECT_EQ(w->TrackBar->value(), 299600);
    EXPECT_EQ(w->cmdEOM->styleSheet(), rgb(0, 255, 255));
    w->TrackBar->setSliderDown(false);

    w->TrackBar->setValue(1000);
    t.time.advance(100);
    EXPECT_EQ(w->cmdEOM->styleSheet(), "");
    EXPECT_EQ(w->lblDown->text(), "04:59");
}

TEST_F(AuditionTest, TrimAndEomMoveTheMarks) {
    writeMarks(120, 0);
    click(w->cmdTrim);
    EXPECT_EQ(marks(), (Marks{120, 0}));

    play();
    player().play(90000);
    click(w->cmdTrim);
    EXPECT_EQ(marks(), (Marks{90, 90}));
    EXPECT_FALSE(player().playing);
    EXPECT_EQ(auditionPlaying(), 0);

    play();
    EXPECT_EQ(player().endMs, 90000);
    player().play(42500);
    click(w->cmdEOM);
    EXPECT_EQ(marks(), (Marks{42.5f, 90}));
    click(w->cmdStopPlay);
    click(w->cmdEOM);
    EXPECT_EQ(marks().eom, 42.5f);
    click(w->cmdTrim);
    EXPECT_EQ(marks(), (Marks{300, 300}));
}

// The card must be free once the audition is over, whether it ran to its
// end or the window closed under it.
TEST_F(AuditionTest, EndOfPlayAndClosingFreeTheCard) {
    t.station->state.AuditionDevice = 0;
    play();
    player().play(300000);
    EXPECT_EQ(auditionPlaying(), 0);
    EXPECT_TRUE(ProgrammeMayPlay(t.station->state));
    EXPECT_EQ(w->cmdPlay->styleSheet(), "");

    play();
    w->close();
    EXPECT_FALSE(player().playing);
    EXPECT_EQ(auditionPlaying(), 0);
}

// Resuming the paused recording while another is chosen would write this
// one's times into the other's marks.
TEST_F(AuditionTest, PlayWhilePausedOnAnotherRecordingLoadsThatOne) {
    TempStation::writeFile(t.host(Tuesday + ".WAV"), QByteArray(1000, 'x'));
    play();
    player().play(50000);
    click(w->cmdPause);
    play(2);
    EXPECT_EQ(player().path, t.host(Tuesday + ".WAV"));
    player().play(20000);
    click(w->cmdTrim);
    EXPECT_EQ(marks(Tuesday), (Marks{20, 20}));
    EXPECT_EQ(marks(), Marks{});
}

TEST_F(AuditionTest, DamagedWaveIsReportedAndLeavesNothingToTrim) {
    players.failLoad = true;
    play();
    EXPECT_EQ(t.messages.shown, QStringList{WaveDamagedText});
    EXPECT_EQ(auditionPlaying(), 0);
    click(w->cmdTrim);
    EXPECT_EQ(TempStation::readFile(t.host(Monday + ".DAT")), QByteArray());
}

TEST_F(AuditionTest, RealWaveFileShowsItsFormatAndLength) {
    w = std::make_unique<frmAudition>(*t.station);
    w->show();
    SF_INFO info{0, 22050, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0, 0};
    SNDFILE* f = sf_open(t.host(Monday + ".WAV").toLocal8Bit().constData(), SFM_WRITE, &info);
    std::vector<short> silence(33075, 0);
    ASSERT_EQ(sf_writef_short(f, silence.data(), 33075), 33075);
    sf_close(f);

    play();
    EXPECT_EQ(w->lblMode->text(), "Mono 8 Bit 22050");
    EXPECT_EQ(w->TrackBar->maximum(), 1500);
    click(w->cmdStopPlay);
    click(w->cmdTrim);
    EXPECT_EQ(marks(), (Marks{1.5f, 1.5f}));
}

// "Not Available" for the day chosen must leave nothing of the recording
// heard before: not its format or slider, not its sound, and not its marks
// for a Trim meant for the recording asked for.
TEST_F(AuditionTest, UnavailableRecordingLeavesNothingOfTheOneBefore) {
    play();
    player().play(50000);
    t.time.advance(100);
    ASSERT_EQ(w->TrackBar->value(), 50000);
    play(2);
    EXPECT_EQ(w->lblWave->text(), "  Not Available");
    EXPECT_EQ(w->lblMode->text(), "");
    EXPECT_EQ(w->TrackBar->maximum(), 0);
    EXPECT_EQ(w->TrackBar->value(), 0);
    EXPECT_EQ(auditionPlaying(), 0);
    EXPECT_FALSE(t.station->fileInUse(t.host(Monday + ".WAV")));
    t.time.advance(100);
    EXPECT_EQ(w->lblTime->text() + w->lblDown->text(), "");
    click(w->cmdTrim);
    EXPECT_EQ(marks(), Marks{});
    EXPECT_EQ(players.made.size(), 1u);
}
