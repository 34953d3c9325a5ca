#include "audition/frmAudition.h"
#include "support/test.h"

#include "fakes/fake_wave_player.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "station/recording_files.h"

#include <QtWidgets>

namespace {

const QString MondayTake = "C:\\SATFILE\\SFMON005", TuesdayTake = "C:\\SATFILE\\SFTUE005";

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
        TempStation::writeFile(t.host(MondayTake + ".WAV"), QByteArray(1000, 'x'));
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
    Marks marks(const QString& name = MondayTake) {
        const auto [eom, endOfFile] = readMarks(t.host(name + ".DAT"), 1e9);
        return {float(eom), float(endOfFile)};
    }
    FakeWavePlayers::Player& player() { return players.last(); }
    int32_t auditionPlaying() const { return t.station->state.AuditionPlaying; }
    // A button's colour as "r, g, b"; empty for its own.
    static QString colour(const QPushButton* b) {
        return QString(b->styleSheet()).remove("background-color: rgb(").remove(");");
    }
    // Wave, mode, time, count-down; Play, Pause and EOM colours; slider
    // position/maximum; whether the audition holds its card.
    QString shown() const {
        return QStringList(
                   {w->lblWave->text(), w->lblMode->text(), w->lblTime->text(), w->lblDown->text(),
                    colour(w->cmdPlay) + "/" + colour(w->cmdPause) + "/" + colour(w->cmdEOM),
                    QString("%1/%2").arg(w->TrackBar->value()).arg(w->TrackBar->maximum()),
                    QString::number(auditionPlaying())})
            .join('|');
    }

    TempStation t;
    FakeWavePlayers players;
    std::unique_ptr<frmAudition> w;
};

} // namespace

TEST_F(AuditionTest, PromptsForWhatIsMissingAndSharesTheCardWithTheProgramme) {
    click(w->cmdPlay);
    EXPECT_EQ(w->lblWave->text(), "Select a Program");
    w->lstSchedule->setCurrentRow(1);
    EXPECT_EQ(w->lblNumber->text(), "5");
    click(w->cmdPlay);
    EXPECT_EQ(w->lblWave->text(), "  Select a Day");
    TempStation::writeFile(t.host(TuesdayTake + ".WAV"), {});
    for (int day : {2, 3}) {
        w->lstDay->setCurrentRow(day);
        EXPECT_EQ(w->lblWave->text(), "");
        click(w->cmdPlay);
        EXPECT_EQ(w->lblWave->text(), "  Not Available");
    }

    // On one card a programme and an audition refuse each other; on two both play.
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
    EXPECT_EQ(player().device * 10 + auditionPlaying(), 11);
    EXPECT_TRUE(ProgrammeMayPlay(s));
}

// A stop while paused ends the pause: Play starts afresh.
TEST_F(AuditionTest, PauseResumeAndStopShowTheirColours) {
    EXPECT_EQ(shown(), "||||/255, 255, 192/|0/0|0");
    play();
    EXPECT_EQ(shown(), "|Stereo16 Bit 44100|||128, 255, 128/255, 255, 192/|0/300000|1");
    EXPECT_TRUE(t.station->fileInUse(t.host(MondayTake + ".WAV"))) << "the purge must keep it";
    click(w->cmdPause);
    EXPECT_TRUE(player().paused);
    EXPECT_EQ(shown(), "|Stereo16 Bit 44100|||0, 128, 0/255, 255, 0/|0/300000|1");
    click(w->cmdPlay);
    EXPECT_FALSE(player().paused);
    EXPECT_EQ(shown(), "|Stereo16 Bit 44100|||128, 255, 128/255, 255, 192/|0/300000|1");
    player().play(5000);
    t.time.advance(100);
    EXPECT_EQ(shown(),
              "|Stereo16 Bit 44100|00:05|04:55|128, 255, 128/255, 255, 192/|5000/300000|1");
    click(w->cmdPause);
    click(w->cmdStopPlay);
    EXPECT_FALSE(player().playing);
    EXPECT_EQ(shown(), "|Stereo16 Bit 44100|||/255, 255, 192/|5000/300000|0");
    play();
    EXPECT_EQ(players.made.size(), 2u);
    EXPECT_TRUE(player().playing);
}

// A damaged marks file must not reach the player as a negative time.
TEST_F(AuditionTest, CountsDownToTheFullLengthWithoutAnEomAndFollowsTheSlider) {
    ASSERT_TRUE(writeMarks(t.host(MondayTake + ".DAT"), -5, NAN, nullptr));
    play();
    EXPECT_EQ(player().endMs, 0);
    player().play(100400);
    t.time.advance(100);
    EXPECT_EQ(shown(),
              "|Stereo16 Bit 44100|01:40|03:20|128, 255, 128/255, 255, 192/|100400/300000|1");
    w->TrackBar->setSliderDown(true);
    w->TrackBar->setValue(299600);
    EXPECT_EQ(player().position, 299600);
    player().play(100);
    t.time.advance(100);
    EXPECT_EQ(
        shown(),
        "|Stereo16 Bit 44100|05:00|03:20|128, 255, 128/255, 255, 192/0, 255, 255|299600/300000|1");
    w->TrackBar->setSliderDown(false);
    w->TrackBar->setValue(1000);
    t.time.advance(100);
    EXPECT_EQ(shown(),
              "|Stereo16 Bit 44100|00:01|04:59|128, 255, 128/255, 255, 192/|1000/300000|1");
}

// Idle, Trim restores the whole recording.
TEST_F(AuditionTest, TrimAndEomMoveTheMarks) {
    ASSERT_TRUE(writeMarks(t.host(MondayTake + ".DAT"), 120, 0, nullptr));
    click(w->cmdTrim);
    EXPECT_EQ(marks(), (Marks{120, 0}));
    play();
    player().play(90000);
    click(w->cmdTrim);
    EXPECT_EQ(marks(), (Marks{90, 90}));
    EXPECT_FALSE(player().playing || auditionPlaying());
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

// The card must be free once the audition is over, whether it ran to its end
// or the window closed under it.
TEST_F(AuditionTest, EndOfPlayClosingAndDamageFreeTheCard) {
    t.station->state.AuditionDevice = 0;
    play();
    player().play(300000);
    EXPECT_TRUE(ProgrammeMayPlay(t.station->state));
    EXPECT_EQ(shown(), "|Stereo16 Bit 44100|||/255, 255, 192/|0/300000|0");
    play();
    w->close();
    EXPECT_FALSE(player().playing || auditionPlaying());
    w->show();
    players.failLoad = true;
    play();
    EXPECT_EQ(t.messages.shown, QStringList{WaveDamagedText});
    EXPECT_EQ(auditionPlaying(), 0);
    QFile::remove(t.host(MondayTake + ".DAT"));
    click(w->cmdTrim);
    EXPECT_FALSE(QFile::exists(t.host(MondayTake + ".DAT")));
}

// Resuming the paused recording while another is chosen would write this
// one's times into the other's marks. "Not Available" must leave nothing of
// the recording heard before, not even its marks for a Trim.
TEST_F(AuditionTest, ChoosingAnotherDayLeavesNothingOfTheRecordingBefore) {
    play();
    player().play(50000);
    t.time.advance(100);
    ASSERT_EQ(w->TrackBar->value(), 50000);
    play(2);
    EXPECT_EQ(shown(), "  Not Available||||/255, 255, 192/|0/0|0");
    EXPECT_FALSE(t.station->fileInUse(t.host(MondayTake + ".WAV")));
    t.time.advance(100);
    EXPECT_EQ(shown(), "  Not Available||||/255, 255, 192/|0/0|0");
    click(w->cmdTrim);
    EXPECT_EQ(marks(), Marks{});
    EXPECT_EQ(players.made.size(), 1u);

    TempStation::writeFile(t.host(TuesdayTake + ".WAV"), QByteArray(1000, 'x'));
    play();
    player().play(50000);
    click(w->cmdPause);
    play(2);
    EXPECT_EQ(player().path, t.host(TuesdayTake + ".WAV"));
    player().play(20000);
    click(w->cmdTrim);
    EXPECT_EQ(marks(TuesdayTake), (Marks{20, 20}));
    EXPECT_EQ(marks(), Marks{});
}
