#include "console/playback.h"
#include "fakes/assembled_station.h"
#include "fakes/schedules.h"
#include "support/test.h"

#include <QFile>

namespace {

class PlaybackTest : public ::testing::Test {
protected:
    using enum Setting;
    PlaybackTest() { openSchedules(file, t); }
    // Monday's recording of that many bytes, if any.
    void plays(ScheduleNo slot, const QString& name, const QStringList& monday,
               const QStringList& tuesday = {}, int bytes = -1) {
        ScheduleFields f = scheduleFields(name);
        for (int j = 0; j < 8; ++j)
            f.PlayTimes[size_t(4 + j)] = (j < 4 ? monday : tuesday).value(j % 4);
        put(file, slot, f);
        if (bytes >= 0)
            TempStation::writeFile(wave(slot), QByteArray(bytes, 'x'));
    }
    QString wave(ScheduleNo slot, const char* ext = "WAV") const {
        return t.host(QString("C:\\SATFILE\\SFMON%1.%2").arg(slot, 3, 10, QChar('0')).arg(ext));
    }
    void load(const SettingRecords& settings = {}) {
        t.writeSettings({{WaveDriveNo, 3},
                         {PlayButtonVisible, 1},
                         {StopButtonVisible, 1},
                         {RelayCardType, 1},
                         {ActivityLogOn, 1},
                         {AuditionDevice, 1}});
        t.writeSettings(settings);
        playback = &a.assemble().playback;
        ASSERT_TRUE(a.parts->dispatcher.Form_Load().ok);
    }
    QString listed() const {
        QStringList out;
        for (const auto& i : d.PlayList.items())
            out << i.text.left(8) + " " + i.text.mid(10).trimmed();
        return out.join(", ");
    }
    QString log(const char* kind, const QDate& date = Monday) const {
        return QString(t.log(kind, date)).replace("\r\n", "\n");
    }
    int relay() const { return uint8_t(TempStation::readFile(a.portFile).at(888)); }

    TempStation t{QDateTime(Monday, QTime(14, 0, 0))};
    ScheduleFile file;
    AssembledStation a{t};
    ConsoleDisplay& d = t.station->display;
    StationState& s = t.station->state;
    FakeWavePlayers& players = a.players;
    Playback* playback = nullptr;
};

// "&Load Play List" takes the whole day, or says there is nothing.
TEST_F(PlaybackTest, ListHoldsTheRestOfTodayInTimeThenNameOrder) {
    plays(1, "Evening", {"20:00:00"});
    plays(2, "Morning", {"09:00:00", "15:00:00"});
    plays(3, "Zulu", {"15:00:00"});
    plays(4, "Alpha", {"15:00:00"});
    load();
    EXPECT_EQ(listed(), "15:00:00 Alpha, 15:00:00 Morning, 15:00:00 Zulu, 20:00:00 Evening");
    EXPECT_TRUE(d.PlayListVisible && d.cmdPlayVisible);
    d.PlayList.selected = 1;
    playback->DeleteSelected();
    EXPECT_EQ(listed(), "15:00:00 Alpha, 15:00:00 Zulu, 20:00:00 Evening");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(d.PlayListVisible);
        d.PlayList.selected = 0;
        playback->DeleteSelected();
    }
    EXPECT_FALSE(d.PlayListVisible);
    EXPECT_EQ(d.lblPlayDay, "  No Schedules to Play");
    playback->LoadPlayList();
    EXPECT_EQ(listed(), "09:00:00 Morning, 15:00:00 Alpha, 15:00:00 Morning, 15:00:00 Zulu, "
                        "20:00:00 Evening");
    EXPECT_EQ(d.lblPlayDay, "");
    for (ScheduleNo slot : {1, 2, 3, 4})
        ASSERT_TRUE(file.deleteRecord(slot));
    playback->LoadPlayList();
    EXPECT_FALSE(d.PlayListVisible || d.cmdPlayVisible);
    EXPECT_EQ(d.lblPlayDay, "  No Schedules to Play");
}

// The end-of-message relay pulses once, a second long, whether the countdown
// passes zero before the player stops or the stop comes first. Marks near the
// largest float pass as numbers; they must read as unset.
TEST_F(PlaybackTest, PlayTakesThePlayableEntriesAndPulsesOnceAtEachEnd) {
    // The .DAT, the player's end, the tenth at which it plays out, and the
    // countdown a second in.
    const std::tuple<const char*, qint64, int, const char*> cases[] = {
        {"", 0, 40, "00:09"},                    // the player stops first
        {"0000004000000000", 0, 60, "00:01"},    // the countdown passes first
        {"000000410000a040", 5000, 20, "00:07"}, // the end-of-file mark ends it
        {"ffff7f7f0000a041", 0, 110, "00:09"}};  // marks beyond the recording
    players.durationMs = 10000;
    plays(1, "Empty", {"14:30:00"}, {}, 0);
    plays(2, "Broken", {"14:40:00"}, {}, 5000);
    for (int i = 0; i < 4; ++i) {
        plays(i + 3, QString("Prog %1").arg(i + 3),
              {QString("15:%1:00").arg(i * 10, 2, 10, QChar('0'))}, {}, 5000);
        TempStation::writeFile(wave(i + 3, "DAT"), QByteArray::fromHex(std::get<0>(cases[i])));
    }
    load({{PlayDevice, 1}});
    s.AuditionPlaying = 1;
    playback->PlayProgramme();
    EXPECT_EQ(t.messages.shown.join(""),
              "A wave file is already playing.  Please try again after it is finished.");
    s.AuditionDevice = 0;
    playback->PlayProgramme();
    EXPECT_FALSE(QFile::exists(wave(1)));
    players.failLoad = true;
    playback->PlayProgramme();
    EXPECT_EQ(listed(), "15:00:00 Prog 3, 15:10:00 Prog 4, 15:20:00 Prog 5, 15:30:00 Prog 6");
    EXPECT_EQ(log("ER"), "14:00:00  Cannot play C:\\SATFILE\\SFMON002.WAV: damaged\n");
    players.failLoad = false;
    ScheduleNo slot = 3;
    for (const auto& [marks, endMs, endsAt, countdown] : cases) {
        playback->PlayProgramme();
        const FakeWavePlayers::Player& p = players.last();
        EXPECT_EQ(std::tuple(s.Playing, p.path, p.device, p.endMs),
                  std::tuple(1, wave(slot++), 1, endMs))
            << marks;
        QList<int> relays;
        for (int tenth = 1; tenth <= 120; ++tenth) {
            t.time.advance(100);
            EXPECT_TRUE(tenth != 10 || d.lblPlayTime == countdown) << marks;
            if (tenth == endsAt)
                players.last().play(10000);
            relays << relay();
        }
        EXPECT_EQ(relays.count(1), 10) << marks << ": pulse length in tenths";
        EXPECT_EQ(relays.last() + s.Playing, 0) << marks;
    }
    EXPECT_EQ(listed(), "");
    EXPECT_TRUE(log("AL").contains("14:00:00  Play " + QString("Prog 3").leftJustified(25) + "\n"));
    EXPECT_FALSE(d.PlayListVisible);
    EXPECT_EQ(d.lblPlayDay, "No Schedules to Play");
}

// A play card chosen while a programme plays: it ends on its own card.
TEST_F(PlaybackTest, ANewCardTakesOverAtTheNextStart) {
    plays(1, "First", {"15:00:00"}, {}, 5000);
    plays(2, "Second", {"15:30:00"}, {}, 5000);
    load();
    playback->PlayProgramme();
    playback->usePlayDevice(1);
    EXPECT_EQ(players.last().device, 0);
    playback->StopPlayer();
    EXPECT_EQ(s.Playing, 0);
    EXPECT_EQ(relay(), 1); // the end-of-message pulse
    EXPECT_EQ(listed(), "15:30:00 Second");
    playback->PlayProgramme();
    EXPECT_EQ(players.last().device, 1);
}

// A programme on air across midnight: the purge keeps its files, and its end
// takes nothing off tomorrow's list, not even tomorrow's showing of itself.
TEST_F(PlaybackTest, FiveToMidnightListsTomorrowAndAPlayAcrossItKeepsItsFiles) {
    t.time.jumpTo(QDateTime(Monday, QTime(23, 59, 0)));
    plays(1, "Late", {"23:59:30"}, {"00:30:00", "23:59:30"}, 5000);
    players.durationMs = 120000;
    load({{WaveKeepDays, 1}});
    EXPECT_EQ(listed(), "23:59:30 Late");
    t.time.advanceTo(QDateTime(Monday, QTime(23, 59, 30)));
    playback->PlayProgramme();
    t.time.advanceTo(QDateTime(Monday, QTime(23, 59, 56)));
    EXPECT_EQ(listed(), "00:30:00 Late, 23:59:30 Late");
    t.time.advanceTo(QDateTime(Monday.addDays(1), QTime(0, 0, 40)));
    EXPECT_TRUE(QFile::exists(wave(1)));
    EXPECT_TRUE(log("AL", Monday.addDays(1)).contains("00:00:30  Kept SFMON001.WAV, in use"));
    players.last().play(120000);
    EXPECT_EQ(s.Playing, 0);
    EXPECT_EQ(listed(), "00:30:00 Late, 23:59:30 Late");
}

} // namespace
