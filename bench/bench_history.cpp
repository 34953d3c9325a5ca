// What the take history costs the UI thread: one take's row, with its two
// copies to the playout store, written in its transaction to a database on
// disk, as a record channel writes it when a take ends.
#include "full_station.h"
#include "history/take_history.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

void BM_WriteTakeRow(benchmark::State& state) {
    QTemporaryDir dir;
    StationConfig config;
    config.drivesRoot = dir.filePath("drives");
    config.drives.insert('C', dir.filePath("drives/C"));
    const DrivePaths paths(config);
    QDir().mkpath(paths.resolve("c:\\satfile\\logs"));
    SystemClock clock;
    QtTimers timers;
    SilentMessages messages;
    Station station(clock, timers, paths, messages);
    station.state.ActivityLogOn = 1;
    TakeHistory history(station);

    const QDateTime at = clock.now();
    TakeRecord take;
    take.slot = 17;
    take.name = "Morning News";
    take.channel = 1;
    take.scheduled = at;
    take.cueOutcome = "answered";
    take.firstAudio = at.addMSecs(480);
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
    for (auto _ : state) {
        take.id = 0;
        kept = history.write(take) && kept;
    }
    if (!kept)
        state.SkipWithError("the database did not keep every row (see the error log)");
}
BENCHMARK(BM_WriteTakeRow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
