// The console's running costs with a full schedule file: one clock tick with
// both channels counting down, one finder run, the load up to the first tick,
// and the real program's CPU use while idle.
#include "app/mnuMenu.h"
#include "console/clock_tick.h"
#include "full_station.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "schedule/next_event_finder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

namespace {

struct LoadedStation : AssembledFullStation {
    ClockDispatcher& dispatcher = parts.dispatcher;
    bool loaded = dispatcher.Form_Load().ok;
};

void BM_ClockTickWith999Schedules(benchmark::State& state) {
    LoadedStation s;
    const StationState& st = s.station.state;
    if (!s.loaded || st.Rec(1).NextRecTime.size() != 8 || st.Rec(2).NextRecTime.size() != 8 ||
        st.NextSwitchTime.size() != 8) {
        state.SkipWithError("next events not found");
        return;
    }
    for (auto _ : state)
        s.dispatcher.ClockTick();
}
BENCHMARK(BM_ClockTickWith999Schedules)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

void BM_FinderOver999Schedules(benchmark::State& state) {
    LoadedStation s;
    for (auto _ : state)
        FindNextRecord(s.station, 1);
}
BENCHMARK(BM_FinderOver999Schedules)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// The whole console window: built, loaded (start-up, finders, first tick).
void BM_ConsoleLoadToFirstTick(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<AssembledFullStation>();
        state.ResumeTiming();
        {
            mnuMenu console(s->station, s->parts.dispatcher, nullptr, ConsoleParts::of(s->parts));
            benchmark::DoNotOptimize(console.Form_Load());
            state.PauseTiming();
        }
        s.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ConsoleLoadToFirstTick)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

double cpuSeconds(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double ticks = f.value(11).toDouble() + f.value(12).toDouble(); // utime, stime
    return ticks / double(sysconf(_SC_CLK_TCK));
}

bool holdsLock(qint64 pid) {
    QFile locks("/proc/locks");
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 4 && f[1] == "FLOCK" && f[4] == QByteArray::number(pid))
            return true;
    }
    return false;
}

// The program itself, offscreen, on the full schedule file.
void measureProgram(int idleSeconds) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VARNOLA_CONFIG", fullStation().configFile());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    QElapsedTimer launch;
    launch.start();
    p.start(VARNOLA_BINARY, {});
    if (!p.waitForStarted(10000)) {
        std::printf("program did not start\n");
        return;
    }
    while (!holdsLock(p.processId()) && launch.elapsed() < 10000)
        QThread::usleep(200);
    std::printf("%-44s %8.1f ms\n", "program launch to data files open",
                launch.nsecsElapsed() / 1e6);
    QThread::sleep(2);
    const double before = cpuSeconds(p.processId());
    QElapsedTimer idle;
    idle.start();
    QThread::sleep(idleSeconds);
    const double used = cpuSeconds(p.processId()) - before;
    const double wall = idle.nsecsElapsed() / 1e9;
    std::printf("%-44s %8.2f %% of a core (%.2f s CPU in %.0f s)\n", "program idle CPU, offscreen",
                100.0 * used / wall, used, wall);
    p.terminate();
    p.waitForFinished(10000);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    measureProgram(60);
    return 0;
}
