#include "fakes/temp_station.h"
#include "history/station_metrics.h"
#include "support/test.h"

namespace {

// The monitoring file on the station's timers: written only once started,
// current every minute, every channel and outcome listed, a failed copy
// counted once however often it is told, a file that cannot be written one
// error-log line an outage, and up 0 at the stop.
TEST(StationMetricsTest, RewrittenEveryMinuteWithOneErrorLineAnOutage) {
    TempStation t;
    t.startUp();
    QStringList errors;
    t.station->logLineHeard = [&](const QString& prefix, const QString& text) {
        if (prefix == "ER")
            errors << text;
    };
    const QString path = t.root() + "/monitoring/varnola.prom";
    StationMetrics metrics(*t.station, path);
    const HandOffResult failed{"P:\\programs\\news.wav", "failed", "disk full"};
    TakeRecord take;
    take.id = 4;
    take.channel = 2;
    take.handOffs = {failed};
    take.outcome = TakeOutcome::Dumped;
    metrics.taken(take);
    metrics.handedOff(4, failed);
    metrics.ebNoRead(9.8);
    t.time.advance(60'000);
    EXPECT_TRUE(errors.isEmpty()) << "written before the start";
    metrics.start();
    t.time.advance(60'000);
    EXPECT_EQ(errors, QStringList{"The monitoring file " + path +
                                  " cannot be written: No such file or directory"});
    QDir().mkpath(t.root() + "/monitoring");
    t.time.advance(60'000);
    const QString text = TempStation::readFile(path);
    const qint64 started = t.station->clock().now().toSecsSinceEpoch();
    for (const QString& line :
         {QString("varnola_up 1"), QString("varnola_last_tick_timestamp_seconds %1").arg(started),
          QString(R"(varnola_takes_total{channel="2",outcome="dumped"} 1)"),
          QString(R"(varnola_takes_total{channel="1",outcome="missed"} 0)"),
          QString(R"(varnola_last_take_outcome{channel="2",outcome="dumped"} 1)"),
          QString(R"(varnola_last_take_timestamp_seconds{channel="2"} %1)").arg(started - 180),
          QString("varnola_ebno_db 9.8"), QString("varnola_handoff_failures_total 1"),
          QString(R"(varnola_store_free_bytes{drive="C"} )")})
        EXPECT_TRUE(text.contains("\n" + line)) << line.toStdString() << "\n" << text.toStdString();
    EXPECT_EQ(text.count("\nvarnola_takes_total{"), 10);
    metrics.stop();
    EXPECT_TRUE(TempStation::readFile(path).contains("\nvarnola_up 0\n"));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(metricLabelValue("a\"b\\c\nd"), R"(a\"b\\c\nd)");
}

} // namespace
