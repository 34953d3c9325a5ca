#include "fakes/temp_station.h"
#include "history/station_metrics.h"
#include "support/test.h"

namespace {

// A failed copy is counted once however often it is told.
TEST(StationMetricsTest, RewrittenEveryMinuteWithOneErrorLineAnOutage) {
    TempStation t;
    t.startUp();
    QStringList errors;
    t.station->logLineHeard = [&](const QString& kind, const QString& text) {
        errors << kind + " " + text;
    };
    const QString path = t.root() + "/monitoring/varnola.prom";
    StationMetrics metrics(*t.station, path);
    TakeRecord take;
    take.id = 4, take.channel = 2, take.outcome = TakeOutcome::Dumped;
    take.handOffs = {{"P:\\programs\\news.wav", "failed", "disk full"}};
    metrics.taken(take);
    metrics.handedOff(4, take.handOffs[0]);
    metrics.ebNoRead(9.8);
    metrics.start();
    t.time.advance(60'000);
    QDir().mkpath(t.root() + "/monitoring");
    t.time.advance(60'000);
    EXPECT_EQ(errors, QStringList{"ER The monitoring file " + path +
                                  " cannot be written: No such file or directory"});
    const QString text = TempStation::readFile(path),
                  now = QString::number(t.time.now().toSecsSinceEpoch());
    for (const QString& line :
         QStringList{"varnola_up 1", "varnola_last_tick_timestamp_seconds " + now,
                     R"(varnola_takes_total{channel="2",outcome="dumped"} 1)",
                     R"(varnola_last_take_outcome{channel="2",outcome="dumped"} 1)",
                     "varnola_ebno_db 9.8", "varnola_handoff_failures_total 1"})
        EXPECT_TRUE(text.contains("\n" + line + "\n")) << line.toStdString();
    EXPECT_EQ(metricLabelValue("a\"b\\c\nd"), R"(a\"b\\c\nd)");
}

} // namespace
