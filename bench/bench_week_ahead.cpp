// The dry run of the week ahead on a full schedule file (999 schedules of all
// three kinds, seven rows each): in process, and as `varnola --week-ahead 7`
// with the CPU the program used.
#include "app/week_ahead.h"
#include "full_station.h"

#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/resource.h>

namespace {

void BM_WeekAheadOver999Schedules(benchmark::State& state) {
    size_t events = 0;
    for (auto _ : state)
        events = RunWeekAhead(fullStation().paths->config(), QDateTime::currentDateTime(), 7)
                     .events.size();
    state.counters["events"] = double(events);
}
BENCHMARK(BM_WeekAheadOver999Schedules)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

double childrenCpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_CHILDREN, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

void measureProgram() {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VARNOLA_CONFIG", fullStation().configFile());
    p.setProcessEnvironment(env);
    const double before = childrenCpuSeconds();
    p.start(VARNOLA_BINARY, {"--week-ahead", "7"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::printf("varnola --week-ahead 7 failed: %s\n", p.readAllStandardError().constData());
        return;
    }
    const qsizetype lines = p.readAllStandardOutput().count('\n');
    std::printf("%-44s %8.2f s CPU (%lld lines)\n", "varnola --week-ahead 7, 999 schedules",
                childrenCpuSeconds() - before, qlonglong(lines));
}

} // namespace

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    measureProgram();
}
