// Costs of the schedule file walks every finder and list builds on, and of
// the console's start-up, on a full file of 999 schedules.
#include "console/station.h"
#include "platform/clock.h"
#include "platform/drive_paths.h"
#include "platform/timers.h"
#include "schedule/schedule_file.h"
#include "windows/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class SilentMessages : public Messages {
public:
    void ShowMessage(const QString&) override {}
    bool AskYesNo(const QString&, const QString&) override { return false; }
};

struct FullStation {
    QTemporaryDir dir;
    std::unique_ptr<DrivePaths> paths;

    FullStation() {
        StationConfig config;
        config.drivesRoot = dir.filePath("drives");
        config.drives.insert('C', dir.filePath("drives/C"));
        paths = std::make_unique<DrivePaths>(config);
        QDir().mkpath(paths->resolve("c:\\satfile"));
        ScheduleFile file;
        QString error;
        file.open(paths->resolve(ScheduleFile::StationPath), &error);
        ScheduleFields f;
        f.SatLen = "30:00";
        f.SatLang = "AA1";
        f.SatPort = "1";
        f.SatRoute = "S";
        f.SatAtt = "0";
        f.SatPlayStart = "M";
        f.SatRecordStart = "T";
        for (ScheduleNo n = 1; n <= ScheduleFile::MaxSchedules; ++n) {
            f.SatName = QString("Programme %1").arg(n);
            f.RecChan = QString::number(1 + n % 3);
            for (int r = 0; r < 7; ++r) {
                f.RecDays[r] = 1 + (n + r) % 7;
                f.RecTimes[r] =
                    QTime(0, 0).addSecs(int(n * 61 + r * 3607) % 86400).toString("HH:mm:ss");
            }
            for (int k = 0; k < 28; ++k)
                f.PlayTimes[k] = (k % 4 == 0) ? QString("15:00:00") : QString();
            file.write(n, ScheduleRecord::build(f));
        }
    }
};

FullStation& fullStation() {
    static FullStation s;
    return s;
}

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
