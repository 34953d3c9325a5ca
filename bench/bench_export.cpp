// The hand-off copy against cp: an hour of stereo through the real hand-off
// (to H, then to P) while a 50 ms timer stands in for the clock tick, and cp
// of the same file in the same run; and the cost of the copy's checksum.
#include "export/export_copy.h"
#include "export/hand_off.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/timers.h"
#include "recording/wave_file.h"
#include "station/export_record.h"
#include "station/messages.h"
#include "station/station.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

void BM_AudioChecksum(benchmark::State& state) {
    std::vector<int16_t> samples(size_t(1) << 20);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(i * 7919);
    for (auto _ : state) {
        AudioChecksum sum;
        sum.add(samples.data(), samples.size() * sizeof(int16_t));
        benchmark::DoNotOptimize(sum.value());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(samples.size()) * 2);
}
BENCHMARK(BM_AudioChecksum)->Unit(benchmark::kMicrosecond);

class Silent : public Messages {
public:
    void ShowMessage(const QString& m) override { std::printf("message: %s\n", qPrintable(m)); }
    bool AskYesNo(const QString&, const QString&) override { return false; }
};

bool writeHour(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    WaveWriter writer;
    QString error;
    if (!writer.open(path, 2, AudioSampleRate, &error))
        return false;
    QByteArray second(AudioSampleRate * 4, '\0');
    auto* p = reinterpret_cast<uchar*>(second.data());
    for (int i = 0; i < AudioSampleRate * 2; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(i / 2 * 0.142)), p + 2 * i);
    for (int s = 0; s < 3600; ++s)
        if (!writer.write(second, &error))
            return false;
    return true;
}

void BM_HandOffAgainstCp(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "bench_export";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    StationConfig config;
    config.drivesRoot = dir.filePath("drives");
    for (QChar letter : {'C', 'H', 'P'}) {
        config.drives.insert(letter, dir.filePath(QString("drives/") + letter));
        QDir().mkpath(dir.filePath(QString("drives/") + letter));
    }
    DrivePaths paths(config);
    QDir().mkpath(paths.resolve("c:\\satfile"));
    const QString source = paths.resolve("C:\\SATFILE\\SFMON005.WAV");
    if (!writeHour(source)) {
        state.SkipWithError("cannot write the recording");
        return;
    }
    const qint64 bytes = QFileInfo(source).size();
    for (QChar drive : {'H', 'P'}) {
        QDir().mkpath(paths.resolve(QString(drive) + ":\\programs"));
        QFile table(paths.resolve(QString(drive) + ":\\programs\\Program.dat"));
        table.open(QIODevice::WriteOnly);
        table.write(QByteArray(4 * 32, ' ') + "2Bench" + QByteArray(26, ' '));
    }

    SystemClock clock;
    QtTimers timers;
    Silent messages;
    Station station(clock, timers, paths, messages);
    if (!station.StartUp().ok) {
        state.SkipWithError("the station does not start");
        return;
    }
    ExportRecord rule;
    rule.ExportMode = ExportWinjock;
    rule.ExportDays[1] = 1;
    rule.ExportLength = "60:00";
    rule.WinjockNumber = 8005;
    WriteExportRecord(station.state.ExportFile, 5, rule, nullptr);

    // Each round starts from the same state: no copies yet, nothing left to
    // write back from the round before.
    const QString cpCopy = dir.filePath("cp-copy.wav");
    const QStringList outputs{cpCopy, paths.resolve("H:\\programs\\SF8005902.wav"),
                              paths.resolve("P:\\programs\\SF8005902.wav")};
    const auto fresh = [&] {
        for (const QString& f : outputs)
            QFile::remove(f);
        ::sync();
    };
    ExportHandOff handOff(station);
    std::vector<double> cpSeconds, handOffSeconds;
    qint64 longestGapMs = 0;
    bool complete = true;
    for (auto _ : state)
        for (int round = 0; round < 5; ++round) {
            fresh();
            QElapsedTimer took;
            took.start();
            QProcess::execute("cp", {source, cpCopy});
            cpSeconds.push_back(took.nsecsElapsed() / 1e9);

            fresh();
            QElapsedTimer sinceTick;
            QTimer tick, done;
            tick.setInterval(50);
            QObject::connect(&tick, &QTimer::timeout,
                             [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
            // Looks for the end far more often than the tick, so that the time
            // measured is the copy's.
            done.setInterval(1);
            QObject::connect(&done, &QTimer::timeout, [&] {
                if (!handOff.busy(1))
                    QCoreApplication::quit();
            });
            took.start();
            sinceTick.start();
            tick.start();
            done.start();
            handOff.RecordingFinished({1, 5, 1, "C:\\SATFILE\\SFMON005.WAV", {}, 3600.0});
            QCoreApplication::exec();
            handOffSeconds.push_back(took.nsecsElapsed() / 1e9);
            std::printf("round %d: cp %.3f s, hand-off %.3f s\n", round + 1, cpSeconds.back(),
                        handOffSeconds.back());
            complete = complete && QFileInfo(outputs.last()).size() == bytes;
        }
    fresh();

    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double cpRate = bytes / median(cpSeconds) / 1e6;
    // The hand-off writes the recording twice, to H and then to P.
    const double handOffRate = 2.0 * bytes / median(handOffSeconds) / 1e6;
    std::printf("recording: %.1f MB, 60 minutes stereo 44.1 kHz 16-bit; median of 5 rounds\n",
                bytes / 1e6);
    std::printf("cp: %.3f s, %.0f MB/s\n", median(cpSeconds), cpRate);
    std::printf("hand-off, copy to H then to P%s: %.3f s, %.0f MB/s per copy\n",
                complete ? "" : " (INCOMPLETE)", median(handOffSeconds), handOffRate);
    std::printf("throughput ratio hand-off / cp: %.2f (at least 0.5 wanted)\n",
                handOffRate / cpRate);
    std::printf("longest gap between 50 ms ticks during the copies: %lld ms (under 100 wanted)\n",
                static_cast<long long>(longestGapMs));
    if (!complete)
        state.SkipWithError("a copy to P is missing or incomplete");
    state.counters["cp_MBps"] = cpRate;
    state.counters["handoff_MBps"] = handOffRate;
    state.counters["ratio"] = handOffRate / cpRate;
    state.counters["tick_gap_ms"] = double(longestGapMs);
}
// One run of five rounds: the figures are the medians, not a timing loop.
BENCHMARK(BM_HandOffAgainstCp)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
