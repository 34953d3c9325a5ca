#include "console/clock_tick.h"
#include "console/playback.h"
#include "fakes/assembled_station.h"
#include "fakes/schedules.h"
#include "fakes/temp_station.h"
#include "io/remote_control.h"
#include "platform/io_ports.h"
#include "station/log_files.h"
#include "support/test.h"

#include <QFile>

namespace {

// Monday 2 March 2026; Monday's play slots are entries 4..7.
const QDate Monday(2026, 3, 2);

class PlaybackTest : public ::testing::Test {
protected:
    using enum Setting;
    explicit PlaybackTest(const QTime& start = QTime(14, 0, 0)) : t(QDateTime(Monday, start)) {}

    // A schedule with play times on Monday (and Tuesday when given).
    void plays(ScheduleNo slot, const QString& name, const QStringList& monday,
               const QStringList& tuesday = {}) {
        putSchedule(file(), slot, name, "1", {});
        ScheduleFields f = file().read(slot)->parse();
        for (int j = 0; j < monday.size(); ++j)
            f.PlayTimes[size_t(4 + j)] = monday[j];
        for (int j = 0; j < tuesday.size(); ++j)
            f.PlayTimes[size_t(8 + j)] = tuesday[j];
        ASSERT_TRUE(file().write(slot, ScheduleRecord::build(f)));
    }
    void recording(ScheduleNo slot, int bytes) {
        TempStation::writeFile(
            t.host(QString("C:\\SATFILE\\SFMON%1.WAV").arg(slot, 3, 10, QChar('0'))),
            QByteArray(bytes, 'x'));
    }
    ScheduleFile& file() {
        if (!scheduleFile.isOpen()) {
            QDir().mkpath(t.host("c:\\satfile"));
            EXPECT_TRUE(scheduleFile.open(t.host(ScheduleFile::StationPath), nullptr));
        }
        return scheduleFile;
    }
    void load(const SettingRecords& settings = {}) {
        const SettingRecords usual = {{WaveDriveNo, 3},       {PlayButtonVisible, 1},
                                      {StopButtonVisible, 1}, {RelayCardType, 1},
                                      {ActivityLogOn, 1},     {AuditionDevice, 1}};
        t.writeSettings(usual);
        t.writeSettings(settings);
        StationAssembly& parts = a.assemble();
        playback = &parts.playback;
        dispatcher = &parts.dispatcher;
        ASSERT_TRUE(dispatcher->Form_Load().ok);
    }
    QStringList listed() const {
        QStringList out;
        for (const auto& i : t.station->display.PlayList.items())
            out << i.text.left(8) + " " + i.text.mid(10).trimmed();
        return out;
    }
    int port(int n) const { return uint8_t(TempStation::readFile(portFile).at(n)); }
    void setPort(int n, uint8_t v) { a.setPort(n, v); }
    StationState& s() { return t.station->state; }

    TempStation t;
    ScheduleFile scheduleFile;
    AssembledStation a{t};
    const QString& portFile = a.portFile;
    FakeWavePlayers& players = a.players;
    Playback* playback = nullptr;
    ClockDispatcher* dispatcher = nullptr;
};

TEST_F(PlaybackTest, StartUpListsOnlyTheRestOfTodayInTimeOrder) {
    plays(1, "Evening", {"20:00:00"});
    plays(2, "Morning", {"09:00:00", "15:00:00"});
    load();
    EXPECT_EQ(listed(), (QStringList{"15:00:00 Morning", "20:00:00 Evening"}));
    EXPECT_TRUE(t.station->display.PlayListVisible);
    EXPECT_TRUE(t.station->display.cmdPlayVisible);
    // "&Load Play List" takes the whole day.
    playback->LoadPlayList();
    EXPECT_EQ(listed(), (QStringList{"09:00:00 Morning", "15:00:00 Morning", "20:00:00 Evening"}));
}

class NightTest : public PlaybackTest {
protected:
    NightTest() : PlaybackTest(QTime(23, 59, 0)) {}
};

TEST_F(NightTest, FiveToMidnightListsAllOfTomorrow) {
    plays(1, "Late", {"23:59:30"}, {"00:00:10", "06:00:00"});
    load();
    EXPECT_EQ(listed(), QStringList{"23:59:30 Late"});
    t.time.advanceTo(QDateTime(Monday, QTime(23, 59, 56)));
    EXPECT_EQ(listed(), (QStringList{"00:00:10 Late", "06:00:00 Late"}));
}

TEST_F(PlaybackTest, EqualPlayTimesPlayInNameOrderAndEmptyWavesAreDropped) {
    plays(1, "Zulu", {"15:00:00"});
    plays(2, "Alpha", {"15:00:00"});
    plays(3, "Mike", {"16:00:00"});
    recording(1, 5000);
    recording(2, 0);
    recording(3, 5000);
    load();
    EXPECT_EQ(listed(), (QStringList{"15:00:00 Alpha", "15:00:00 Zulu", "16:00:00 Mike"}));
    playback->PlayProgramme(); // Alpha's file is empty: gone, and Zulu is first
    EXPECT_FALSE(QFile::exists(t.host("C:\\SATFILE\\SFMON002.WAV")));
    EXPECT_EQ(listed(), (QStringList{"15:00:00 Zulu", "16:00:00 Mike"}));
    EXPECT_EQ(s().Playing, 0);
    playback->PlayProgramme();
    EXPECT_EQ(s().Playing, 1);
    EXPECT_EQ(s().PlayingSlot, 1);
    EXPECT_TRUE(players.last().path.endsWith("SFMON001.WAV"));
}

TEST_F(PlaybackTest, AuditionOnTheSameCardRefusesPlay) {
    plays(1, "One", {"15:00:00"});
    recording(1, 5000);
    load({{PlayDevice, 1}, {AuditionDevice, 1}});
    s().AuditionPlaying = 1;
    playback->PlayProgramme();
    EXPECT_EQ(s().Playing, 0);
    EXPECT_EQ(
        t.messages.shown,
        QStringList{"A wave file is already playing.  Please try again after it is finished."});
    s().AuditionDevice = 0;
    playback->PlayProgramme();
    EXPECT_EQ(s().Playing, 1);
}

// The end-of-message relay pulses once, about a second long, whether the
// countdown passes zero before the player stops or the stop comes first.
TEST_F(PlaybackTest, EomPulsesOnceWhicheverComesFirst) {
    plays(1, "First", {"15:00:00"});
    plays(2, "Second", {"15:30:00"});
    recording(1, 5000);
    recording(2, 5000);
    players.durationMs = 10000;
    load();
    playback->PlayProgramme();
    QList<int> relay;
    for (int i = 0; i < 60; ++i) {
        t.time.advance(100);
        if (i == 40)
            players.last().play(20000); // the player ends after the countdown
        relay << port(888);
    }
    EXPECT_EQ(relay.count(1), 10) << "pulse length in tenths";
    EXPECT_EQ(relay.last(), 0);
    EXPECT_EQ(listed(), QStringList{"15:30:00 Second"});

    // Second programme: the file ends (end-of-file mark) before its EOM point.
    TempStation::writeFile(t.host("C:\\SATFILE\\SFMON002.DAT"),
                           QByteArray::fromHex("0000a0410000a040")); // EOM 20 s, end 5 s
    playback->PlayProgramme();
    EXPECT_EQ(players.last().endMs, 5000);
    relay.clear();
    for (int i = 0; i < 60; ++i) {
        t.time.advance(100);
        if (i == 5)
            players.last().play(5000);
        relay << port(888);
    }
    EXPECT_GE(relay.count(1), 9);
    EXPECT_LE(relay.count(1), 11);
    EXPECT_EQ(relay.last(), 0);
    EXPECT_FALSE(t.station->display.PlayListVisible);
    EXPECT_EQ(t.station->display.lblPlayDay, "No Schedules to Play");
}

TEST_F(PlaybackTest, PlayContactStartsTheFirstProgramme) {
    plays(1, "Remote", {"15:00:00"});
    recording(1, 5000);
    load();
    setPort(889, 63); // parallel status: 127 - 63 = 64, Play only
    t.time.advance(100);
    EXPECT_EQ(s().Playing, 1);
    EXPECT_EQ(a.parts->remote.PlayInput, 1);
    EXPECT_EQ(a.parts->remote.RecordInput, 0);
    EXPECT_EQ(a.parts->remote.AlarmInput, 0);
    EXPECT_EQ(t.station->display.lblPlayRelay, "PLAY");
}

TEST_F(PlaybackTest, DamagedRecordingIsLoggedAndSkipped) {
    plays(1, "Broken", {"15:00:00"});
    plays(2, "Fine", {"16:00:00"});
    recording(1, 5000);
    load();
    players.failLoad = true;
    playback->PlayProgramme();
    EXPECT_EQ(s().Playing, 0);
    EXPECT_EQ(listed(), QStringList{"16:00:00 Fine"});
    EXPECT_TRUE(
        TempStation::readFile(t.host("c:\\satfile\\logs\\ER260302.log")).contains("Cannot play"));
}

TEST_F(PlaybackTest, DeleteKeyRemovesTheSelectedEntry) {
    plays(1, "One", {"15:00:00"});
    plays(2, "Two", {"16:00:00"});
    load();
    t.station->display.PlayList.selected = 1;
    playback->DeleteSelected();
    EXPECT_EQ(listed(), QStringList{"15:00:00 One"});
    t.station->display.PlayList.selected = 0;
    playback->DeleteSelected();
    EXPECT_FALSE(t.station->display.PlayListVisible);
    EXPECT_EQ(t.station->display.lblPlayDay, "  No Schedules to Play");
}

// A play card chosen while a programme plays: the programme ends on its own
// card with its normal end, and the next one starts on the new card.
TEST_F(PlaybackTest, PlayDeviceChosenWhilePlayingTakesOverAtTheNextStart) {
    plays(1, "First", {"15:00:00"});
    plays(2, "Second", {"15:30:00"});
    recording(1, 5000);
    recording(2, 5000);
    load();
    playback->PlayProgramme();
    playback->usePlayDevice(1);
    EXPECT_EQ(players.last().device, 0);
    playback->StopPlayer();
    EXPECT_EQ(s().Playing, 0);
    EXPECT_EQ(port(888), 1); // the end-of-message pulse
    EXPECT_EQ(listed(), QStringList{"15:30:00 Second"});
    playback->PlayProgramme();
    EXPECT_EQ(s().Playing, 1);
    EXPECT_EQ(players.last().device, 1);
}

// Marks near the largest float pass as numbers; they must not reach the
// countdown, whose formatter once recursed forever on the smallest integer.
TEST_F(PlaybackTest, MarksBeyondTheRecordingReadAsUnset) {
    plays(1, "Odd", {"15:00:00"});
    recording(1, 5000);
    players.durationMs = 10000;
    load();
    TempStation::writeFile(t.host("C:\\SATFILE\\SFMON001.DAT"),
                           QByteArray::fromHex("ffff7f7fffff7f7f"));
    playback->PlayProgramme();
    EXPECT_EQ(s().EomTime, 0);
    EXPECT_EQ(players.last().endMs, 0);
    t.time.advance(1000);
    EXPECT_EQ(t.station->display.lblPlayTime, "00:09");
}

TEST_F(PlaybackTest, FilledListClearsTheNoSchedulesHeading) {
    load();
    EXPECT_EQ(t.station->display.lblPlayDay, "  No Schedules to Play");
    plays(1, "Later", {"15:00:00"});
    playback->LoadPlayList();
    EXPECT_EQ(listed(), QStringList{"15:00:00 Later"});
    EXPECT_EQ(t.station->display.lblPlayDay, "");
}

// A programme on air across midnight: the purge keeps its files, and its end
// takes nothing off tomorrow's list, not even tomorrow's showing of itself.
TEST_F(NightTest, PlayAcrossMidnightKeepsItsFilesAndTomorrowsList) {
    plays(1, "Late", {"23:59:30"}, {"00:30:00", "23:59:30"});
    recording(1, 5000);
    players.durationMs = 120000;
    load({{WaveKeepDays, 1}});
    t.time.advanceTo(QDateTime(Monday, QTime(23, 59, 30)));
    playback->PlayProgramme();
    const QDate tuesday = Monday.addDays(1);
    t.time.advanceTo(QDateTime(tuesday, QTime(0, 0, 40)));
    EXPECT_TRUE(QFile::exists(t.host("C:\\SATFILE\\SFMON001.WAV")));
    EXPECT_TRUE(TempStation::readFile(t.host(logFileStationPath("AL", tuesday)))
                    .contains("Kept SFMON001.WAV, in use"));
    players.last().play(120000);
    EXPECT_EQ(s().Playing, 0);
    EXPECT_EQ(listed(), (QStringList{"00:30:00 Late", "23:59:30 Late"}));
}

} // namespace
