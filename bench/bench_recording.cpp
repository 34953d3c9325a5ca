// The recording path's costs: level check plus write per buffer, and an hour
// of audio on both channels through the real record channels on a manual
// clock, counting buffers that did not reach the files and peak memory.
#include "history/take_history.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/timers.h"
#include "recording/record_channel.h"
#include "recording/wave_file.h"
#include "schedule/next_event_finder.h"
#include "station/messages.h"
#include "station/schedule_file.h"
#include "station/settings_file.h"
#include "station/station.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <sndfile.h>
#include <sys/resource.h>

namespace {

QByteArray toneBuffer(int channels) {
    QByteArray b(AudioBufferBytes, '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    for (int i = 0; i < AudioBufferBytes / 2; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(i / channels * 0.142)), p + 2 * i);
    return b;
}

void BM_LevelCheckAndWrite(benchmark::State& state) {
    QTemporaryDir dir;
    WaveWriter writer;
    QString error;
    writer.open(dir.filePath("take.wav"), 2, AudioSampleRate, &error);
    const QByteArray buffer = toneBuffer(2);
    for (auto _ : state) {
        const Peaks p = bufferPeaks(buffer, 2);
        benchmark::DoNotOptimize((std::abs(p.left) | std::abs(p.right)) > 100);
        writer.write(buffer, &error);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * AudioBufferBytes);
}
BENCHMARK(BM_LevelCheckAndWrite)->Unit(benchmark::kMicrosecond);

class ManualClock : public Clock {
public:
    QDateTime now() const override { return start_.addMSecs(ms_); }
    qint64 monotonicMs() const override { return ms_; }
    bool setTimeOfDay(const QTime&, QString*) override { return false; }
    void advanceMs(double ms) {
        frac_ += ms;
        ms_ += qint64(frac_);
        frac_ -= qint64(frac_);
    }

private:
    QDateTime start_{QDate(2026, 3, 7), QTime(9, 59, 55)};
    qint64 ms_ = 0;
    double frac_ = 0;
};

class Silent : public Messages {
public:
    void ShowMessage(const QString& m) override { std::printf("message: %s\n", qPrintable(m)); }
    bool AskYesNo(const QString&, const QString&) override { return false; }
};

// Inputs the bench feeds by hand.
class HandInput : public AudioInput {
public:
    bool start(int channels, QString*) override {
        channels_ = channels;
        running_ = true;
        return true;
    }
    void stop() override { running_ = false; }
    bool isRunning() const override { return running_; }
    void push(const QByteArray& b) {
        if (running_)
            deliver(b, channels_);
    }
    int channels_ = 2;
    bool running_ = false;
};

class HandDevices : public AudioDevices {
public:
    QStringList inputNames() const override { return {"1", "2"}; }
    QStringList outputNames() const override { return {}; }
    std::unique_ptr<AudioInput> createInput(int device) override {
        auto in = std::make_unique<HandInput>();
        inputs[device] = in.get();
        return in;
    }
    HandInput* inputs[2] = {nullptr, nullptr};
};

// One take's row, with its two copies to the playout store, written in its
// transaction to the take history on disk, as a record channel writes it on
// the UI thread when a take ends.
void BM_WriteTakeRow(benchmark::State& state) {
    QTemporaryDir dir;
    StationConfig config;
    config.drivesRoot = dir.filePath("drives");
    config.drives.insert('C', dir.filePath("drives/C"));
    const DrivePaths paths(config);
    QDir().mkpath(paths.resolve("c:\\satfile\\logs"));
    ManualClock clock;
    QtTimers timers;
    Silent messages;
    Station station(clock, timers, paths, messages);
    TakeHistory history(station);
    TakeRecord take;
    take.slot = 17;
    take.name = "Morning News";
    take.channel = 1;
    take.scheduled = clock.now();
    take.cueOutcome = "answered";
    take.firstAudio = clock.now().addMSecs(480);
    take.firstAudioOffset = 0.48;
    take.lengthScheduled = 1800;
    take.lengthRecorded = 1800;
    take.gaps = 1;
    take.longestGap = 6.2;
    take.peakDbfs = -1.5;
    take.loudnessLufs = -23.1;
    take.ebNoMin = 9.1;
    take.ebNoMean = 9.8;
    take.handOffs = {{"H:\\programs\\news.wav", "verified", {}},
                     {"P:\\programs\\news.wav", "failed", "no space left on the device"}};
    take.waveFile = "C:\\satfile\\SFMON017.WAV";
    bool kept = true;
    for (auto _ : state)
        kept = history.write(take) && kept;
    if (!kept)
        state.SkipWithError(qPrintable(history.lastError()));
}
BENCHMARK(BM_WriteTakeRow)->Unit(benchmark::kMicrosecond);

long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void simulatedHour() {
    QTemporaryDir dir;
    StationConfig config;
    config.drivesRoot = dir.filePath("drives");
    config.drives.insert('C', dir.filePath("drives/C"));
    DrivePaths paths(config);
    QDir().mkpath(paths.resolve("c:\\satfile"));
    {
        SettingsFile s;
        s.open(paths.resolve(SettingsFile::StationPath), nullptr);
        s.write(Setting::WaveDriveNo, 3);
        s.write(Setting::RecordThreshold, 100);
        s.write(Setting::RecDevice2, 1);
        ScheduleFile f;
        f.open(paths.resolve(ScheduleFile::StationPath), nullptr);
        for (int ch = 1; ch <= 2; ++ch) {
            ScheduleFields fields =
                StarterSchedule(QString("Hour %1").arg(ch), QString::number(ch), "60:00");
            fields.RecDays[6] = 7; // Saturday's row, which names the take SFSAT
            fields.RecTimes[6] = "10:00:00";
            f.write(ch, ScheduleRecord::build(fields));
        }
    }
    ManualClock clock;
    QtTimers timers;
    Silent messages;
    Station station(clock, timers, paths, messages);
    HandDevices devices;
    RecordingControl recording(station, devices, nullptr, nullptr);
    RecordingDeviceChoice choice(recording);
    station.setAudioDeviceChoice(&choice);
    if (!station.StartUp().ok)
        return;
    FindNextRecord(station, 1);
    FindNextRecord(station, 2);
    for (int ch = 1; ch <= 2; ++ch) {
        recording.CueRecordChannel(ch);
        recording.ArmRecordChannel(ch);
    }
    const QByteArray buffer = toneBuffer(2);
    const long rssBefore = maxRssKb();
    const qint64 buffers = qint64(3600) * AudioSampleRate / 1024;
    long rssMid = 0;
    QElapsedTimer took;
    took.start();
    for (qint64 i = 0; i < buffers; ++i) {
        for (HandInput* in : devices.inputs)
            in->push(buffer);
        clock.advanceMs(1024 * 1000.0 / AudioSampleRate);
        if (i == buffers / 2)
            rssMid = maxRssKb();
    }
    const double seconds = took.nsecsElapsed() / 1e9;
    recording.shutDown();
    for (int ch = 1; ch <= 2; ++ch) {
        SF_INFO info{};
        SNDFILE* f = sf_open(
            paths.resolve(QString("C:\\SATFILE\\SFSAT00%1.WAV").arg(ch)).toLocal8Bit().constData(),
            SFM_READ, &info);
        const qint64 frames = f ? info.frames : 0;
        if (f)
            sf_close(f);
        std::printf("simulated hour, channel %d: %lld buffers, %lld not in the file\n", ch,
                    static_cast<long long>(buffers),
                    static_cast<long long>(buffers - frames / 1024));
    }
    std::printf("simulated hour, both channels: %.2f s of CPU-bound work, peak memory %ld kB "
                "before, %ld kB half way, %ld kB after\n",
                seconds, rssBefore, rssMid, maxRssKb());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    simulatedHour();
    return 0;
}
