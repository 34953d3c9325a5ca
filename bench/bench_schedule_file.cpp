// Costs of the schedule file walks every finder and list builds on, and of
// the console's start-up, on a full file of 999 schedules.
#include "full_station.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/timers.h"
#include "station/schedule_file.h"
#include "station/station.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_ScanFullScheduleFile(benchmark::State& state) {
    ScheduleFile file;
    QString error;
    file.open(fullStation().paths->resolve(ScheduleFile::StationPath), &error);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.scan());
}
BENCHMARK(BM_ScanFullScheduleFile)->Unit(benchmark::kMillisecond);

void BM_FreeSlotOfFullFile(benchmark::State& state) {
    ScheduleFile file;
    QString error;
    file.open(fullStation().paths->resolve(ScheduleFile::StationPath), &error);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.freeSlot());
}
BENCHMARK(BM_FreeSlotOfFullFile)->Unit(benchmark::kMillisecond);

void BM_StartUp(benchmark::State& state) {
    SystemClock clock;
    QtTimers timers;
    SilentMessages messages;
    for (auto _ : state) {
        Station station(clock, timers, *fullStation().paths, messages);
        benchmark::DoNotOptimize(station.StartUp());
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
