#include "fakes/assembled_station.h"
#include "fakes/schedules.h"
#include "fakes/takes.h"
#include "fakes/temp_station.h"
#include "fakes/wave_files.h"
#include "recording/take_measures.h"
#include "station/export_record.h"
#include "support/test.h"

#include <csignal>
#include <sys/resource.h>

namespace {
using enum Setting;

const QDate Saturday(2026, 3, 7);

class RecordingTest : public ::testing::Test {
protected:
    RecordingTest() : t(QDateTime(Saturday, QTime(9, 59, 0))) { openSchedules(scheduleFile, t); }

    void load(const SettingRecords& settings = {}) {
        // clang-format off
        t.writeSettings({{CommPortNo, 1}, {BaudIndex, 2}, {ActivityLogOn, 1}, {WaveDriveNo, 3},
                         {RecordThreshold, 6}, {RecDevice2, 1}});
        // clang-format on
        t.writeSettings(settings);
        StationAssembly& parts = a.assemble();
        recording = &parts.recording;
        a.startCards();
        ASSERT_TRUE(parts.dispatcher.Form_Load().ok);
    }
    void runUntil(const QTime& at, const QDate& day = Saturday) { t.time.advanceTo({day, at}); }
    QByteArray log(const char* kind, const QDate& day = Saturday) { return t.log(kind, day); }
    QString wave(int slot) {
        return t.host(QString("C:\\SATFILE\\SFSAT%1.WAV").arg(slot, 3, 10, QChar('0')));
    }
    StationState& s() { return t.station->state; }
    QStringList rows() { return describeTakes(a.parts->history.since(QDateTime())); }

    TempStation t;
    ScheduleFile scheduleFile;
    AssembledStation a{t};
    RecordingControl* recording = nullptr;
    qint16 (&level)[2] = a.level;
};

// Channel 2 records the left route alone as mono; a shut-down in its next
// take closes the file.
TEST_F(RecordingTest, TakesRunFromTheFirstAudioForTheirLengthAndEndAtAShutDown) {
    putOnDay(scheduleFile, 12, "Morning", "1", 7, "10:00:00", "00:30");
    putOnDay(scheduleFile, 2, "Mono", "2", 7, "10:00:00", "00:05");
    ScheduleFields f = scheduleFile.read(2)->parse();
    f.SatRoute = "2";
    ASSERT_TRUE(scheduleFile.write(2, ScheduleRecord::build(f)));
    putOnDay(scheduleFile, 3, "Cut", "2", 7, "10:00:30", "05:00");
    load();
    level[1] = 800;
    for (const auto& [until, audio] : {std::pair{QTime(10, 0, 2), 1000},
                                       {QTime(10, 0, 5), 0},
                                       {QTime(10, 0, 15), 1000},
                                       {QTime(10, 0, 20), 0},
                                       {QTime(10, 0, 25), 1000},
                                       {QTime(10, 0, 40), 0}}) {
        runUntil(until);
        level[0] = qint16(audio);
        // The third programme's cue finds the serial line gone.
        if (until == QTime(10, 0, 15)) {
            a.parts->ebNo.readingHeard(12.5);
            a.parts->ebNo.readingHeard(10.5);
            a.serial.failOpen = "No such file or directory";
        }
    }
    const WaveContents w = readWave(wave(12));
    EXPECT_EQ(w.channels, 2);
    // Exactly the length: the buffer that runs past it is cut.
    ASSERT_EQ(w.frames, 30 * AudioSampleRate);
    EXPECT_EQ(w.samples.front(), 1000); // nothing from before the audio
    const QByteArray marks = TempStation::readFile(t.host("C:\\SATFILE\\SFSAT012.DAT"));
    ASSERT_EQ(marks.size(), 8);
    const float* eom = reinterpret_cast<const float*>(marks.constData()); // and end of file
    EXPECT_EQ(eom[0], eom[1]);
    EXPECT_NEAR(eom[0], 30.0, 0.1);
    EXPECT_EQ(readWave(wave(2)).channels, 1);
    EXPECT_EQ(readWave(wave(2)).frames, 5 * AudioSampleRate);
    EXPECT_TRUE(log("AL").contains("10:00:02  Record Morning"));
    EXPECT_TRUE(log("AL").contains("10:00:32  Stop   Morning"));
    EXPECT_EQ(s().Rec(1).RecActive, 0);
    EXPECT_EQ(t.station->display.Rec(1).lblRecordName, QString(40, ' '));
    // A gap is said once, by where it began in the file; a pause of exactly
    // five seconds is not one.
    EXPECT_EQ(log("ER"), "10:00:10  Morning                   Audio 00:02\r\n"
                         "10:00:26  Receiver command \"SETAUDIO 1 S AA1 0  \" not sent: 1 No "
                         "such file or directory\r\n");
    t.station->ShutDown();
    EXPECT_TRUE(log("AL").endsWith("10:00:40  Stop   Cut                      \r\n"));
    EXPECT_NEAR(double(readWave(wave(3)).frames) / AudioSampleRate, 10.5, 0.1);
    // First audio by its buffer's place in the stream.
    EXPECT_EQ(rows(),
              QStringList({"Cut #3 ch2 short: the program ended, cue failed: No such file or "
                           "directory, at Sat 10:00:30+-0.5 10:00:29.500, 10.5/300 s, gaps 0/0.0, "
                           "peak -32.2, -55.5 LUFS, Eb/No nan/nan, C:\\SATFILE\\SFSAT003.WAV",
                           "Morning #12 ch1 recorded, cue answered, at Sat 10:00:00+2.0 "
                           "10:00:02.008, 30.0/30 s, gaps 1/10.0, peak -30.3, -54.0 LUFS, Eb/No "
                           "10.5/11.5, C:\\SATFILE\\SFSAT012.WAV",
                           "Mono #2 ch2 recorded, cue answered, at Sat 10:00:00+-0.5 09:59:59.500, "
                           "5.0/5 s, gaps 0/0.0, peak -32.2, -55.5 LUFS, Eb/No nan/nan, "
                           "C:\\SATFILE\\SFSAT002.WAV"}));
}

// The relays a cue resets are the receiver's table for its port. The level
// test ORs the two peak magnitudes: 4 | 3 = 7 beats a threshold of 6, though
// neither peak does; 4 | 2 = 6 does not.
TEST_F(RecordingTest, CuesArmsAndSwitches) {
    putOnDay(scheduleFile, 1, "Port", "1", 7, "10:00:00");
    putOnDay(scheduleFile, 5, "Feed", "3", 7, "10:00:10");
    load({{ResetExpansionRelays, 1}});
    recording->ArmRecordChannel(1);
    recording->ArmRecordChannel(1);
    EXPECT_EQ(s().Rec(1).RecPending, 0);
    EXPECT_EQ(log("ER").count("was not cued"), 1);
    recording->channel(2).CueAndArm();
    EXPECT_EQ(t.messages.shown.mid(1),
              QStringList{"Record channel 2: there is no programme to cue"});
    runUntil(QTime(9, 59, 59, 600));
    ASSERT_EQ(s().Rec(1).RecPending, 1);
    a.card->setEnabled(false);
    a.audio.input(0)->push(levelBuffer(2, 4, 2));
    EXPECT_EQ(s().Rec(1).RecPending, 1);
    a.audio.input(0)->push(levelBuffer(2, 4, 3));
    EXPECT_EQ(std::pair(s().Rec(1).RecPending, s().Rec(1).RecActive), std::pair(2, 1));
    EXPECT_EQ(t.station->display.Rec(1).lblRecordName, "Recording Port                     ");
    runUntil(QTime(10, 0, 11));
    EXPECT_EQ(a.serial.sessions, (QByteArrayList{"SETAUDIO 1 S AA1 0  \r", "ER D 11\r", "ER D 14\r",
                                                 "SETAUDIO 1 S AA1 0 \r"}));
    EXPECT_EQ(log("AL"),
              "09:59:53  SETAUDIO 1 S AA1 0  \r\n09:59:53  Turn off Relay 11\r\n"
              "09:59:53  Turn off Relay 14\r\n09:59:59  Record Port                     \r\n"
              "10:00:10  SETAUDIO 1 S AA1 0  Switch Only\r\n");
    EXPECT_EQ(s().Rec(2).RecPending, 0);
    EXPECT_FALSE(t.station->display.Rec(2).PanelVisible);
}

// A full disk ends the take cleanly: what was written stays playable.
TEST_F(RecordingTest, WriteFailureStopsTheChannelAndKeepsWhatWasWritten) {
    putOnDay(scheduleFile, 1, "Big", "1", 7, "10:00:00", "01:00");
    load();
    level[0] = 700;
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{400000, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    runUntil(QTime(10, 0, 10));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(log("ER").contains("writing C:\\SATFILE\\SFSAT001.WAV failed"))
        << log("ER").toStdString();
    EXPECT_TRUE(log("AL").contains("Stop   Big"));
    EXPECT_EQ(s().Rec(1).RecActive, 0);
    const WaveContents w = readWave(wave(1));
    EXPECT_GT(w.frames, 90000);
    EXPECT_LE(w.frames * 4 + 44, 400000);
    runUntil(QTime(10, 0, 20)); // the station goes on
    EXPECT_TRUE(t.station->display.lblClock.endsWith("10:00:20"));
}

// One the history holds, a switch and one ahead are not missed.
TEST_F(RecordingTest, TakesDueWhileTheConsoleWasAwayAreMissed) {
    for (const auto& [n, name, channel, time] : {std::tuple{1, "Away", "1", "09:30:00"},
                                                 {2, "Kept", "2", "09:40:00"},
                                                 {3, "Switch", "3", "09:45:00"},
                                                 {4, "Ahead", "1", "10:00:00"}})
        putOnDay(scheduleFile, n, name, channel, 7, time);
    {
        TakeHistory before(*t.station);
        TakeRecord kept = TakeStation::take("Kept", TakeOutcome::Recorded,
                                            QDateTime(Saturday, QTime(9, 40)), {}, 2);
        before.write(kept);
        before.markRunning(QDateTime(Saturday, QTime(9, 0)));
    }
    load();
    runUntil(QTime(10, 5));
    EXPECT_EQ(
        rows().filter("missed"),
        QStringList{"Away #1 ch1 missed: the console was not running, cue not used, at Sat "
                    "09:30:00+nan , 0.0/30 s, gaps 0/0.0, peak nan, nan LUFS, Eb/No nan/nan, "});
}

// After the time change moved Sunday 00:15 to Saturday 23:15 in Sunday's
// row, the take is still Sunday's programme: named and exported as Sunday's,
// or Sunday's playlist would never find it. The purge at 00:30 deletes
// yesterday's recordings, but not the one still being written across midnight.
TEST_F(RecordingTest, TakesAreNamedByTheirRowAndThePurgeKeepsTheOneRunning) {
    putSchedule(scheduleFile, 4, "Shifted", "2", {{7, "23:59:20"}}, "00:05"); // Sunday's row
    putOnDay(scheduleFile, 1, "Midnight", "1", 7, "23:59:50", "01:00");
    t.time.jumpTo(QDateTime(Saturday, QTime(23, 59, 0)));
    load({{WaveKeepDays, 1}});
    const ExportRecord rule{ExportUserDefined,
                            {1, 1, 1, 1, 1, 1, 1},
                            {"D:\\SUNDAY", "", "", "", "", "", "D:\\SATURDAY"},
                            0,
                            "30:00"};
    ASSERT_TRUE(WriteExportRecord(s().ExportFile, 4, rule, nullptr));
    level[0] = level[1] = 700;
    TempStation::writeFile(wave(2), QByteArray(5000, 'x'), t.time.now().addDays(-7)); // to go
    QDir(t.drive('P')).removeRecursively(); // the second store is away
    runUntil(QTime(23, 59, 40));
    for (int ticks = 0; a.parts->exportHandOff.busy(2) && ticks < 100; ++ticks) {
        ASSERT_TRUE(a.parts->exportHandOff.waitForCopy(2, 30000));
        t.time.advance(100);
    }
    EXPECT_EQ(rows().value(0).section(", ", 9),
              "D:\\SUNDAY.wav verified, P:\\SUNDAY.wav failed: drive P: is not available");
    EXPECT_EQ(readWave(t.host("C:\\SATFILE\\SFSUN004.WAV")).frames, 5 * AudioSampleRate);
    EXPECT_FALSE(QFile::exists(wave(4)));
    const QDate sunday = Saturday.addDays(1);
    runUntil(QTime(0, 1, 0), sunday);
    EXPECT_FALSE(QFile::exists(wave(2)));
    EXPECT_EQ(readWave(wave(1)).frames, 60 * AudioSampleRate);
    EXPECT_EQ(QFileInfo(wave(1)).lastModified().date(), sunday); // the station's, for the purge
    EXPECT_TRUE(log("AL", sunday).contains("00:00:30  Kept SFSAT001.WAV, in use"));
    EXPECT_TRUE(log("AL", sunday).contains("Stop   Midnight"));
}

// The standard's references. A mono take is heard on both loudspeakers; a hum
// too quiet for the silence gate has no loudness.
TEST(LoudnessTest, TenSecondsOfTheReferenceSines) {
    const std::tuple<int, double, double, double> sines[] = {{2, -20, NAN, -23.0},
                                                             {2, 0, NAN, -3.01},
                                                             {2, -23, -23, -23.0},
                                                             {1, -23, NAN, -23.0},
                                                             {2, NAN, NAN, NAN}};
    for (const auto& [channels, left, right, lufs] : sines) {
        LoudnessMeter meter(channels);
        for (qint64 first = 0; first < 10 * AudioSampleRate;
             first += AudioBufferBytes / 2 / channels)
            meter.add(std::isnan(left) ? levelBuffer(channels, 7, 7)
                                       : sineBuffer(channels, left, right, first));
        if (std::isnan(lufs))
            EXPECT_TRUE(std::isnan(meter.integrated())) << meter.integrated();
        else
            EXPECT_NEAR(meter.integrated(), lufs, 0.3) << channels << " " << left << " " << right;
    }
    EXPECT_TRUE(std::isnan(peakDbfs(0)));
}

// A refused arm records nothing, so the panel must not say "Cue" all along;
// the operator and the take history are told the same reason.
// clang-format off
struct Unrecorded {
    const char* what; SettingRecords settings; qint16 level; QTime until;
    QByteArray activity, error; int messages; QString message; qint64 otherFrames;
    friend void PrintTo(const Unrecorded& c, std::ostream* os) { *os << c.what; }
};
// clang-format on

class UnrecordedTest : public RecordingTest, public ::testing::WithParamInterface<Unrecorded> {};

TEST_P(UnrecordedTest, ChannelIsLeftIdleAndTheReasonSaid) {
    const Unrecorded& c = GetParam();
    TempStation::writeFile(t.drive('D') + "/satfile", "not a folder");
    putOnDay(scheduleFile, 1, "Lost", "1", 7, "10:00:00", "00:05");
    putOnDay(scheduleFile, 2, "Two", "2", 7, "10:00:00", "00:05");
    putOnDay(scheduleFile, 3, "Later", "1", 7, "11:00:00");
    load(c.settings);
    level[0] = c.level;
    level[1] = 900;
    runUntil(c.until);
    EXPECT_EQ(log("AL"), c.activity);
    EXPECT_EQ(c.error.isEmpty() ? 1 : log("ER").count(c.error), 1) << log("ER").toStdString();
    EXPECT_EQ(t.messages.shown.size(), c.messages);
    EXPECT_TRUE(t.messages.shown.value(0, "").startsWith(c.message))
        << t.messages.shown.value(0).toStdString();
    EXPECT_FALSE(QFile::exists(wave(1)));
    EXPECT_EQ(readWave(wave(2)).frames, c.otherFrames);
    const ConsoleDisplay& d = t.station->display;
    EXPECT_EQ(std::tuple(s().Rec(1).RecPending, s().Rec(1).NextRecSlot, d.Rec(1).PanelVisible,
                         d.Rec(1).lblRecordName, d.lblClock.right(8)),
              std::tuple(0, 3, false, QString(40, ' '), c.until.toString("HH:mm:ss")));
    const QString why = c.message.isEmpty() ? "dumped: no audio above the threshold"
                                            : "refused: " + c.message.section(" (", 0, 0);
    EXPECT_EQ(rows().filter("Lost #1 "),
              QStringList{"Lost #1 ch1 " + why +
                          ", cue answered, at Sat 10:00:00+nan , 0.0/5 s, gaps 0/0.0, peak nan, "
                          "nan LUFS, Eb/No nan/nan, "});
}

const qint64 FiveSeconds = 5 * AudioSampleRate;
const QByteArray Cues = "09:59:53  SETAUDIO 1 S AA1 0  \r\n09:59:56  SETAUDIO 1 S AA1 0  \r\n";
const QByteArray Record2 = "09:59:59  Record Two                      \r\n";
const QByteArray Stop2 = "10:00:04  Stop   Two                      \r\n";
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    RecordingTest, UnrecordedTest,
    ::testing::Values(
        Unrecorded{"silent", {}, 0, QTime(10, 0, 30),
                   Cues + Record2 + "10:00:04  Dump Lost                     \r\n" + Stop2,
                   "", 0, "", FiveSeconds},
        Unrecorded{"wave store is a plain file", {{WaveDriveNo, 4}}, 700, QTime(10, 0, 10),
                   Cues + "09:59:59  Dump Lost                     \r\n"
                                 "09:59:59  Dump Two                      \r\n",
                   "cannot create D:\\SATFILE\\SFSAT001.WAV", 2,
                   "Record channel 1: cannot create D:\\SATFILE\\SFSAT001.WAV (", -1},
        Unrecorded{"no sound card", {{RecDevice1, 5}}, 700, QTime(10, 0, 10),
                   Cues + Record2 + Stop2, "audio input 5 cannot be used", 1,
                   "Record channel 1: audio input 5 cannot be used: device unavailable", FiveSeconds},
        Unrecorded{"no wave drive", {{WaveDriveNo, 0}}, 700, QTime(10, 0, 10), Cues, "", 2,
                   "Record channel 1: no drive is chosen for the wave files (SetUp, My Computer)", -1}));
// clang-format on
} // namespace
